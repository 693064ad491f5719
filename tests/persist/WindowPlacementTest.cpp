#include "persist/WindowPlacement.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "tests/platform/TempHome.h"

namespace {

using namespace persist;

// Every value differs from the others, so a value stored or read under the wrong name shows.
const WindowPlacement kSaved{2, kShowNormal, {-32000, -31999}, {-4, -8}, {101, 102, 1003, 804}};
// The window's own placement, handed in before anything is restored.
const WindowPlacement kCurrent{1, kShowNormal, {-1, -1}, {-7, -9}, {10, 20, 30, 40}};

class WindowPlacementTest : public ::testing::Test {
protected:
    testing_support::TempHome home_;
};

TEST_F(WindowPlacementTest, EmptyStoreOpensRestoredCentredWithAllBars) {
    const WindowPlacement restored = restoreWindowPlacement(kCurrent, 1920, 1040);

    WindowPlacement expected = kCurrent;  // keeps the window's maximised position
    expected.flags = 0;
    expected.showCmd = kShowRestore;
    expected.minPosition = {500, 345};
    expected.normalPosition = {525, 235, 1395, 805};
    EXPECT_EQ(restored, expected);
    EXPECT_EQ(readBarVisibility(), (BarVisibility{true, true, true}));
}

struct WorkArea {
    std::int32_t width;
    std::int32_t height;
    WindowPlacement::Rect rect;
};

class DefaultRectangleTest : public ::testing::TestWithParam<WorkArea> {};

TEST_P(DefaultRectangleTest, CentredByTruncatingDivision) {
    const WorkArea& area = GetParam();
    EXPECT_EQ(defaultPlacement(kCurrent, area.width, area.height).normalPosition, area.rect);
}

INSTANTIATE_TEST_SUITE_P(
    WorkAreas, DefaultRectangleTest,
    ::testing::Values(WorkArea{1366, 728, {248, 79, 1118, 649}},
                      // An odd margin: the rectangle grows by one pixel on the far side.
                      WorkArea{1001, 601, {65, 15, 936, 586}}, WorkArea{870, 570, {0, 0, 870, 570}},
                      // Smaller than the window: the margins turn negative, rounded toward zero.
                      WorkArea{799, 500, {-35, -35, 834, 535}}));

TEST_F(WindowPlacementTest, SavedMaximisedWindowOpensNormalAtItsRectangle) {
    WindowPlacement saved = kSaved;
    saved.showCmd = kShowMaximised;
    ASSERT_TRUE(saveWindowPlacement(saved, {}));

    WindowPlacement expected = saved;
    expected.flags = 0;
    expected.showCmd = kShowRestore;
    EXPECT_EQ(restoreWindowPlacement(kCurrent, 1920, 1040), expected);
}

struct ShowCase {
    std::int32_t saved;
    std::int32_t restored;
};

class ShowStateTest : public WindowPlacementTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowStateTest, OnlyHiddenMinimisedAndMaximisedBecomeRestore) {
    WindowPlacement saved = kSaved;
    saved.showCmd = GetParam().saved;
    ASSERT_TRUE(saveWindowPlacement(saved, {}));
    EXPECT_EQ(restoreWindowPlacement(kCurrent, 1920, 1040).showCmd, GetParam().restored);
}

INSTANTIATE_TEST_SUITE_P(ShowStates, ShowStateTest,
                         ::testing::Values(ShowCase{kShowHidden, kShowRestore},
                                           ShowCase{kShowMinimised, kShowRestore},
                                           ShowCase{kShowMinimisedInactive, kShowRestore},
                                           ShowCase{kShowMaximised, kShowRestore},
                                           ShowCase{kShowNormal, kShowNormal},
                                           ShowCase{kShowRestore, kShowRestore}));

class MissingValueTest : public WindowPlacementTest,
                         public ::testing::WithParamInterface<std::string_view> {};

TEST_P(MissingValueTest, AnyMissingValueDiscardsTheWholeSavedPlacement) {
    ASSERT_TRUE(saveWindowPlacement(kSaved, {}));
    std::vector<std::pair<std::string_view, std::int32_t>> stored;
    for (const std::string_view name : kPlacementNames)
        stored.emplace_back(name, readIntValue(section::kMainWindow, name).value_or(0));
    ASSERT_TRUE(deleteSection(section::kMainWindow));
    for (const auto& [name, value] : stored) {
        if (name != GetParam()) {
            ASSERT_TRUE(writeIntValue(section::kMainWindow, name, value));
        }
    }

    EXPECT_EQ(readSavedPlacement(), std::nullopt);
    EXPECT_EQ(restoreWindowPlacement(kCurrent, 1920, 1040), defaultPlacement(kCurrent, 1920, 1040));
}

INSTANTIATE_TEST_SUITE_P(EachValue, MissingValueTest, ::testing::ValuesIn(kPlacementNames));

TEST_F(WindowPlacementTest, SavedValuesCarryTheirOwnNamesAndLeaveTheRestOfTheSection) {
    ASSERT_TRUE(writeIntValue(section::kToolTips, "7", 3));
    ASSERT_TRUE(writeIntValue(section::kMainWindow, "unrelated", 11));
    ASSERT_TRUE(saveWindowPlacement(kSaved, {true, false, true}));

    const std::pair<std::string_view, std::int32_t> expected[] = {
        {"flags", 2},
        {"showCmd", kShowNormal},
        {"ptMinPosition.x", -32000},
        {"ptMinPosition.y", -31999},
        {"ptMaxPosition.x", -4},
        {"ptMaxPosition.y", -8},
        {"rcNormalPosition.left", 101},
        {"rcNormalPosition.top", 102},
        {"rcNormalPosition.right", 1003},
        {"rcNormalPosition.bottom", 804},
        {"toolbarvisible", 1},
        {"addressbarvisible", 0},
        {"statusvisible", 1},
        {"unrelated", 11},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(readIntValue(section::kMainWindow, name), value) << name;
    EXPECT_EQ(readIntValue(section::kToolTips, "7"), 3);
}

struct BarCase {
    std::optional<std::int32_t> stored;  // nothing: the value is missing
    bool visible;
};

class BarVisibilityTest : public WindowPlacementTest,
                          public ::testing::WithParamInterface<BarCase> {};

TEST_P(BarVisibilityTest, HiddenOnlyByAStoredZero) {
    const IntSetting* bars[] = {&setting::kToolBarVisible, &setting::kAddressBarVisible,
                                &setting::kStatusVisible};
    for (std::size_t i = 0; i < std::size(bars); ++i) {
        SCOPED_TRACE(bars[i]->name);
        deleteSection(section::kMainWindow);  // false while the section does not exist yet
        if (GetParam().stored) {
            ASSERT_TRUE(bars[i]->set(*GetParam().stored));
        }
        const BarVisibility read = readBarVisibility();
        const bool shown[] = {read.toolBar, read.addressBar, read.statusBar};
        for (std::size_t j = 0; j < std::size(bars); ++j)
            EXPECT_EQ(shown[j], j == i ? GetParam().visible : true);
    }
}

INSTANTIATE_TEST_SUITE_P(StoredValues, BarVisibilityTest,
                         ::testing::Values(BarCase{std::nullopt, true}, BarCase{0, false},
                                           BarCase{1, true}, BarCase{-1, true}, BarCase{2, true}));

}  // namespace
