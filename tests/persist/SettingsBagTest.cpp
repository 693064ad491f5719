#include "persist/SettingsBag.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(bag.ints().size(), 27u);
    EXPECT_EQ(bag.strings().size(), 1u);
    EXPECT_EQ(bag.getInt("SiteTabLocation"), 2);
    EXPECT_EQ(bag.getInt("ReportTabXSize"), 400);
    EXPECT_EQ(bag.getInt("ReportTabSelection"), 2);
    EXPECT_EQ(bag.getInt("StatTabView1"), 59411);
    EXPECT_EQ(bag.getInt("SourceStatTabPin"), 1);
    EXPECT_EQ(bag.getInt("SourceTabSplitSize"), 30);
    EXPECT_EQ(bag.getInt("FirstTime"), 1);
    EXPECT_EQ(bag.getString("LastOpenFileLocation"), "");
}

}  // namespace
