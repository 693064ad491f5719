#include "report/FilterConditionList.h"

#include <gtest/gtest.h>

#include "persist/RegistryValue.h"
#include "persist/SettingsStore.h"
#include "tests/platform/TempHome.h"

namespace {

using report::FilterCondition;
using report::FilterConditionList;
using report::PageTimes;

// Times of a page that take `browse` / `download` ms on every connection.
report::PageTimesFor constantTimes(std::uint32_t download, std::uint32_t browse) {
    return [=](int) { return PageTimes{download, browse}; };
}

TEST(FilterConditions, DefaultsHaveGeneratedNames) {
    const auto list = FilterConditionList::makeDefaults();
    ASSERT_EQ(list.conditions().size(), 6u);
    EXPECT_EQ(list.conditions()[0].name, "Browsing on 56K takes more than 8 sec.");
    EXPECT_EQ(list.conditions()[2].name, "Browsing on 256K Cable/DSL takes more than 4 sec.");
    EXPECT_EQ(list.conditions()[5].name, "Download on 256K Cable/DSL takes more than 12 sec.");
    EXPECT_EQ(list.conditions()[0].id, 1);
    EXPECT_EQ(report::colorOf(list.conditions()[0]), report::rgb(0xFF, 0xE4, 0xC4));  // Bisque
}

TEST(FilterConditions, GeneratedNameFollowsTheSeconds) {
    FilterCondition c = FilterConditionList::makeDefaults().conditions()[0];
    c.threshold = 10;
    EXPECT_EQ(report::generatedName(c), "Browsing on 56K takes more than 10 sec.");
    c.customColor = report::rgb(1, 2, 3);
    EXPECT_EQ(report::colorOf(c), 0x030201u);
}

TEST(FilterConditions, ThresholdIsExclusive) {
    const FilterCondition first = FilterConditionList::makeDefaults().conditions()[0];  // 56K, 8 s
    int asked = -1;
    const report::PageTimesFor times = [&](int index) {
        asked = index;
        return PageTimes{0, 8000};
    };
    EXPECT_FALSE(FilterConditionList::holds(first, times));
    EXPECT_EQ(asked, 7);
    EXPECT_TRUE(FilterConditionList::holds(first, constantTimes(0, 8001)));
    FilterCondition disabled = first;
    disabled.enabled = false;
    EXPECT_FALSE(FilterConditionList::holds(disabled, constantTimes(0, 999999)));
    FilterCondition outOfTable = first;
    outOfTable.connectionType = 11;
    EXPECT_FALSE(FilterConditionList::holds(outOfTable, constantTimes(0, 999999)));
}

TEST(FilterConditions, EvaluateKeepsListOrderAndNeedsAFinishedPage) {
    auto list = FilterConditionList::makeDefaults();
    // 30 s download and 13 s browse: conditions 1, 2, 3 (browse) and 4, 6 (download) hold.
    const auto matched = list.evaluate(true, constantTimes(30000, 13000));
    ASSERT_EQ(matched.size(), 5u);
    EXPECT_EQ(matched[0].id, 1);
    EXPECT_EQ(matched[3].id, 4);
    EXPECT_EQ(matched[4].id, 6);
    EXPECT_TRUE(list.evaluate(false, constantTimes(30000, 13000)).empty());
    // Moving the second condition to the front changes the first match (the colour).
    std::swap(list.conditions()[0], list.conditions()[1]);
    EXPECT_EQ(list.evaluate(true, constantTimes(30000, 13000))[0].colorIndex, 21);
}

TEST(FilterConditionStore, NeverSavedGivesDefaults) {
    testing_support::TempHome home;
    EXPECT_EQ(FilterConditionList::load().conditions(),
              FilterConditionList::makeDefaults().conditions());
    // Saved once, but the conditions' key is gone: the list stays empty.
    persist::writeIntValue("Settings", "filter_valid", 1);
    EXPECT_TRUE(FilterConditionList::load().conditions().empty());
}

TEST(FilterConditionStore, SaveAndLoadRoundTrip) {
    testing_support::TempHome home;
    FilterConditionList list;
    FilterCondition slow;
    slow.name = "Slow";
    slow.connectionType = 3;
    slow.threshold = 5;
    slow.colorIndex = 12;
    slow.customColor = report::rgb(9, 8, 7);
    list.add(slow);
    list.add(FilterConditionList::makeDefaults().conditions()[3]);
    list.add(slow);  // the same name twice is stored under two ids
    list.conditions()[1].enabled = false;
    ASSERT_TRUE(list.save());

    EXPECT_EQ(persist::readIntValue("Settings", "filter_valid"), 1);
    EXPECT_EQ(persist::readStringValue("Settings\\Filters\\Slow[2]", "name"), "Slow");
    EXPECT_EQ(persist::readIntValue("Settings\\Filters\\Slow[0]", "Thresold"), 5);
    const auto loaded = FilterConditionList::load();
    EXPECT_EQ(loaded.conditions(), list.conditions());
}

TEST(FilterConditionStore, ASaveReplacesTheWholeListAndSkipsNamesNoKeyCanHold) {
    testing_support::TempHome home;
    persist::writeStringValue("Settings\\Filters\\Stray[9]", "name", "Stray");
    persist::writeIntValue("Settings\\Filters", "loose", 1);
    FilterConditionList list = FilterConditionList::makeDefaults();
    ASSERT_TRUE(list.save());
    ASSERT_EQ(FilterConditionList::load().conditions().size(), 6u);

    FilterConditionList shorter;
    FilterCondition kept;
    kept.name = "Kept";
    shorter.add(kept);
    FilterCondition unstorable;
    unstorable.name = "bad\xFF";  // not UTF-8: no key can be named after it
    shorter.add(unstorable);
    EXPECT_FALSE(shorter.save());  // reported, and the other condition is saved all the same

    const auto loaded = FilterConditionList::load();
    ASSERT_EQ(loaded.conditions().size(), 1u);
    EXPECT_EQ(loaded.conditions()[0].name, "Kept");
    EXPECT_FALSE(persist::readIntValue("Settings\\Filters", "loose").has_value());
}

TEST(FilterConditionStore, MissingIntegersReadAsMinusOne) {
    testing_support::TempHome home;
    persist::writeIntValue("Settings", "filter_valid", 1);
    persist::writeStringValue("Settings\\Filters\\Bare[0]", "name", "Bare");
    const auto loaded = FilterConditionList::load();
    ASSERT_EQ(loaded.conditions().size(), 1u);
    const FilterCondition& c = loaded.conditions()[0];
    EXPECT_EQ(c.name, "Bare");
    EXPECT_TRUE(c.enabled);
    EXPECT_EQ(c.threshold, -1);
    EXPECT_EQ(c.connectionType, -1);
    EXPECT_EQ(c.id, 0);  // renumbered
}

TEST(FilterConditionStore, NamesAKeyCannotHoldAreStoredSafely) {
    testing_support::TempHome home;
    FilterConditionList list;
    FilterCondition c;
    c.name = "a\\b" + std::string(300, 'x');
    c.threshold = 3;
    list.add(c);
    ASSERT_TRUE(list.save());
    const auto loaded = FilterConditionList::load();
    ASSERT_EQ(loaded.conditions().size(), 1u);
    EXPECT_EQ(loaded.conditions()[0].name, c.name);
    EXPECT_EQ(loaded.conditions()[0].threshold, 3);
    EXPECT_EQ(FilterConditionList::subKeyName(list.conditions()[0]).size(), 255u);
}

}  // namespace
