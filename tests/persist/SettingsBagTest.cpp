#include "persist/SettingsBag.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "platform/RegistryKey.h"
#include "tests/platform/TempHome.h"

namespace {

using namespace persist;
using platform::RegistryKey;
using platform::RegistryStatus;

class SettingsBagTest : public ::testing::Test {
protected:
    // Names of the values and sub-keys a section holds, in enumeration order.
    static std::vector<std::string> subKeys(std::string_view section) {
        RegistryKey key;
        std::vector<std::string> names;
        if (RegistryKey().open(sectionPath(section), key) != RegistryStatus::Success) return names;
        char name[256];
        for (std::uint32_t i = 0;; ++i) {
            std::uint32_t size = sizeof name;
            if (key.enumKey(i, name, &size) != RegistryStatus::Success) break;
            names.emplace_back(name);
        }
        return names;
    }

    testing_support::TempHome home_;
};

TEST_F(SettingsBagTest, LoadOverwritesOnlyKnownNamesOfTheRightType) {
    ASSERT_TRUE(writeIntValue("ViewSettings", "SiteTabXSize", 321));
    ASSERT_TRUE(writeIntValue("ViewSettings", "SiteTabPin", -1));
    ASSERT_TRUE(writeStringValue("ViewSettings", "SiteTabYSize", "999"));  // wrong type
    ASSERT_TRUE(writeIntValue("ViewSettings", "Unknown", 5));
    ASSERT_TRUE(writeStringValue("ViewSettings", "LastOpenFileLocation", std::string(300, 'p')));

    SettingsBag bag;
    bag.setInt("SiteTabXSize", 200);
    bag.setInt("SiteTabYSize", 200);
    bag.setInt("SiteTabPin", 1);
    bag.setInt("SiteTabActive", 1);  // missing in the store
    bag.setString("LastOpenFileLocation", "");
    bag.load("ViewSettings");

    EXPECT_EQ(bag.getInt("SiteTabXSize"), 321);
    EXPECT_EQ(bag.getInt("SiteTabYSize"), 200);
    EXPECT_EQ(bag.getInt("SiteTabPin"), -1);  // a stored -1 is a value of the right type
    EXPECT_EQ(bag.getInt("SiteTabActive"), 1);
    EXPECT_EQ(bag.getString("LastOpenFileLocation"), std::string(255, 'p'));
    EXPECT_EQ(bag.ints().count("Unknown"), 0u);
    EXPECT_EQ(bag.getInt("Unknown"), 0);
}

TEST_F(SettingsBagTest, SavedSectionHoldsExactlyTheBagsNames) {
    ASSERT_TRUE(writeIntValue("ViewSettings", "Obsolete", 1));
    ASSERT_TRUE(writeStringValue("ViewSettings", "OldPath", "/x"));
    ASSERT_TRUE(writeIntValue("ViewSettings\\Nested\\Deeper", "n", 1));
    ASSERT_TRUE(writeIntValue("ViewSettingsBackup", "kept", 1));

    SettingsBag bag;
    enterViewSettingsDefaults(bag);
    bag.setInt("SiteTabXSize", 250);
    bag.setString("LastOpenFileLocation", "/home/u/site.wsa");
    ASSERT_TRUE(bag.save("ViewSettings"));

    EXPECT_EQ(readIntValue("ViewSettings", "Obsolete"), std::nullopt);
    EXPECT_EQ(readStringValue("ViewSettings", "OldPath"), std::nullopt);
    EXPECT_TRUE(subKeys("ViewSettings").empty());
    EXPECT_EQ(readIntValue("ViewSettingsBackup", "kept"), 1);

    SettingsBag loaded;
    enterViewSettingsDefaults(loaded);
    loaded.setInt("SiteTabXSize", 0);
    loaded.load("ViewSettings");
    EXPECT_EQ(loaded.ints(), bag.ints());
    EXPECT_EQ(loaded.strings(), bag.strings());
}

TEST_F(SettingsBagTest, ViewSettingsDefaultsApplyToAnEmptyStore) {
    SettingsBag bag;
    enterViewSettingsDefaults(bag);
    bag.load("ViewSettings");
    const std::map<std::string, std::int32_t, std::less<>> panes = {
        {"SiteTabLocation", 2},    {"SiteTabPin", 1},          {"SiteTabXSize", 200},
        {"SiteTabYSize", 200},     {"SiteTabActive", 1},       {"SiteTabSelection", 1},
        {"StatTabLocation", 0},    {"StatTabPin", 0},          {"StatTabXSize", 200},
        {"StatTabYSize", 200},     {"StatTabActive", 1},       {"StatTabSelection", 1},
        {"StatTabView1", 59411},   {"ReportTabLocation", 0},   {"ReportStatTabPin", 0},
        {"ReportTabXSize", 400},   {"ReportTabYSize", 200},    {"ReportTabActive", 1},
        {"ReportTabSelection", 2}, {"ReportTabView1", 59411},  {"SourceTabLocation", 0},
        {"SourceStatTabPin", 1},   {"SourceTabXSize", 200},    {"SourceTabYSize", 200},
        {"SourceTabActive", 1},    {"SourceTabSplitSize", 30}, {"WaterfallRows", 0},
        {"FirstTime", 1},
    };
    EXPECT_EQ(bag.ints(), panes);
    EXPECT_EQ(bag.strings(),
              (std::map<std::string, std::string, std::less<>>{{"LastOpenFileLocation", ""}}));
}

}  // namespace
