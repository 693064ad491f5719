#include "persist/ListLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "tests/platform/TempHome.h"

namespace {

using namespace persist;

constexpr std::string_view kSection = "PageDetails";

// A list's defining layout: all columns shown, 100 + column pixels wide, in number order.
ListLayout defaults(int columnCount) {
    ListLayout layout;
    for (int column = 0; column < columnCount; ++column) {
        layout.columns.push_back({true, 100 + column});
        layout.order.push_back(column);
    }
    layout.sortColumn = 0;
    layout.sortDirection = 1;
    return layout;
}

void writeValues(const std::map<std::string, std::int32_t>& values) {
    for (const auto& [name, value] : values) ASSERT_TRUE(writeIntValue(kSection, name, value));
}

class ListLayoutTest : public ::testing::Test {
protected:
    testing_support::TempHome home_;
};

TEST_F(ListLayoutTest, RoundTrip) {
    ListLayout saved = defaults(4);
    saved.columns[1] = {false, 0};
    saved.columns[3].size = 250;
    saved.order = {3, 0, 2, 1};
    saved.sortColumn = 2;
    saved.sortDirection = -1;
    ASSERT_TRUE(saveListLayout(kSection, saved));

    EXPECT_EQ(loadListLayout(kSection, defaults(4)), saved);
}

TEST_F(ListLayoutTest, SavingFewerColumnsRemovesTheValuesOfTheOldOnes) {
    ASSERT_TRUE(saveListLayout(kSection, defaults(5)));
    ASSERT_TRUE(writeIntValue(kSection, "stray", 1));
    ASSERT_TRUE(saveListLayout(kSection, defaults(3)));

    for (const char* name :
         {"3_visible", "3_size", "3_order", "4_visible", "4_size", "4_order", "stray"}) {
        EXPECT_EQ(readIntValue(kSection, name), std::nullopt) << name;
    }
    EXPECT_EQ(readIntValue(kSection, "2_visible"), 1);
    EXPECT_EQ(readIntValue(kSection, "2_size"), 102);
    EXPECT_EQ(readIntValue(kSection, "2_order"), 2);
    EXPECT_EQ(readIntValue(kSection, "sort"), 0);
    EXPECT_EQ(readIntValue(kSection, "direct"), 1);
}

TEST_F(ListLayoutTest, MissingValuesKeepTheDefaults) {
    EXPECT_EQ(loadListLayout(kSection, defaults(3)), defaults(3));

    writeValues({{"1_size", 40}, {"2_visible", 7}, {"0_visible", 0}, {"direct", 0}});
    ListLayout expected = defaults(3);
    expected.columns[1].size = 40;
    expected.columns[0].visible = false;
    // "direct" alone, without "sort", changes nothing.
    EXPECT_EQ(loadListLayout(kSection, defaults(3)), expected);
}

struct OrderCase {
    std::string label;
    std::vector<std::int32_t> stored;  // written as "<position>_order" from position 0
    std::vector<std::int32_t> loaded;  // the order the list gets; three columns
};

class StoredOrderTest : public ListLayoutTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(StoredOrderTest, DamagedOrderIsIgnoredWhole) {
    for (std::size_t position = 0; position < GetParam().stored.size(); ++position) {
        ASSERT_TRUE(writeIntValue(kSection, columnOrderName(static_cast<int>(position)),
                                  GetParam().stored[position]));
    }
    const ListLayout loaded = loadListLayout(kSection, defaults(3));
    EXPECT_EQ(loaded.order, GetParam().loaded);
    // Whatever the store held, every column is displayed exactly once.
    std::vector<std::int32_t> all = loaded.completeOrder();
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<std::int32_t>{0, 1, 2}));
}

INSTANTIATE_TEST_SUITE_P(
    Orders, StoredOrderTest,
    ::testing::Values(OrderCase{"Valid", {2, 0, 1}, {2, 0, 1}}, OrderCase{"Shorter", {1}, {1}},
                      OrderCase{"UnknownColumn", {0, 3, 1}, {0, 1, 2}},
                      OrderCase{"NegativeColumn", {-1, 0, 1}, {0, 1, 2}},
                      OrderCase{"RepeatedColumn", {1, 1, 0}, {0, 1, 2}},
                      // Positions past the column count are not read at all.
                      OrderCase{"FromALongerList", {2, 1, 0, 4, 3}, {2, 1, 0}},
                      OrderCase{"ALongerListsColumn", {4, 0, 1, 2, 3}, {0, 1, 2}}),
    [](const auto& info) { return info.param.label; });

TEST_F(ListLayoutTest, OrderWithAGapIsTakenUpToTheGap) {
    writeValues({{"0_order", 2}, {"1_order", 0}, {"3_order", 1}});
    const ListLayout loaded = loadListLayout(kSection, defaults(4));
    EXPECT_EQ(loaded.order, (std::vector<std::int32_t>{2, 0}));
    EXPECT_EQ(loaded.completeOrder(), (std::vector<std::int32_t>{2, 0, 1, 3}));
}

struct SortCase {
    std::int32_t stored;
    std::int32_t loaded;
};

class StoredSortTest : public ListLayoutTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(StoredSortTest, SortColumnMustNameAColumnOrNone) {
    writeValues({{"sort", GetParam().stored}, {"direct", 0}});
    const ListLayout loaded = loadListLayout(kSection, defaults(3));
    EXPECT_EQ(loaded.sortColumn, GetParam().loaded);
    // The direction goes with the column it belongs to.
    EXPECT_EQ(loaded.sortDirection, GetParam().stored == GetParam().loaded ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(SortColumns, StoredSortTest,
                         ::testing::Values(SortCase{2, 2}, SortCase{kNoSortColumn, kNoSortColumn},
                                           SortCase{3, 0}, SortCase{-2, 0}));

}  // namespace
