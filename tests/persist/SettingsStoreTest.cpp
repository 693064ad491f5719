#include "persist/SettingsStore.h"

#include <gtest/gtest.h>

#include <string>

#include "persist/RegistryValue.h"
#include "platform/RegistryKey.h"
#include "tests/platform/TempHome.h"

namespace {

using namespace persist;
using platform::RegistryHive;
using platform::RegistryKey;
using platform::RegistryStatus;

class SettingsStoreTest : public ::testing::Test {
protected:
    void TearDown() override { setRoot(kCompanyName, kProductName); }

    static bool keyExists(const std::string& path) {
        RegistryKey key;
        return RegistryKey::hive(RegistryHive::CurrentUser).open(path, key) ==
               RegistryStatus::Success;
    }

    testing_support::TempHome home_;
};

TEST_F(SettingsStoreTest, SectionsLiveUnderTheInstallationsRoot) {
    EXPECT_EQ(sectionPath("Settings\\AutoLoad"), "SOFTWARE\\Quorvantix\\ZORV\\Settings\\AutoLoad");
    ASSERT_TRUE(writeIntValue("Main Window\\ToolTips", "7", 3));
    EXPECT_TRUE(keyExists("SOFTWARE\\Quorvantix\\ZORV\\Main Window\\ToolTips"));

    // Another spelling of the same names reaches the same key.
    setRoot("QUORVANTIX", "zorv");
    EXPECT_EQ(readIntValue("main window\\tooltips", "7"), 3);

    setRoot("Other", "Product");
    EXPECT_EQ(readIntValue("Main Window\\ToolTips", "7"), std::nullopt);
    ASSERT_TRUE(writeStringValue("Tip", "TimeStamp", "t"));
    EXPECT_TRUE(keyExists("Software\\Other\\Product\\Tip"));
}

TEST_F(SettingsStoreTest, LongPathsAreCutAt1023Characters) {
    const std::string section = "S\\" + std::string(2000, 'x');
    EXPECT_EQ(sectionPath(section).size(), 1023u);
    // The cut path names a key over the name limit, so the write fails quietly.
    EXPECT_FALSE(writeIntValue(section, "n", 1));
}

TEST_F(SettingsStoreTest, IntegerReadsFailOnlyWhenMissingOrNotAnInteger) {
    EXPECT_EQ(readIntValue("Tip", "FilePos"), std::nullopt);  // no key
    EXPECT_EQ(readIntValue("Tip", "FilePos", 42), 42);
    ASSERT_TRUE(writeStringValue("Tip", "TimeStamp", "12345"));
    EXPECT_EQ(readIntValue("Tip", "FilePos"), std::nullopt);    // no value
    EXPECT_EQ(readIntValue("Tip", "TimeStamp"), std::nullopt);  // text, even if it looks numeric
    EXPECT_EQ(readIntValue("Tip", "TimeStamp", 7), 7);

    ASSERT_TRUE(writeIntValue("Tip", "FilePos", -1));
    EXPECT_EQ(readIntValue("Tip", "FilePos"), -1);  // only the descriptor treats -1 as missing
    EXPECT_EQ(readIntValue("Tip", "FilePos", 0), -1);
    EXPECT_EQ(readStringValue("Tip", "FilePos"), std::nullopt);
}

TEST_F(SettingsStoreTest, TextsComeBackCutTo255Characters) {
    struct Case {
        std::size_t stored;
        std::size_t read;
    };
    // 255 characters fit the first 256-byte buffer; 256 and more need the second query.
    for (const Case c : {Case{0, 0}, Case{254, 254}, Case{255, 255}, Case{256, 255}, Case{300, 255},
                         Case{100000, 255}}) {
        std::string text;
        for (std::size_t i = 0; i < c.stored; ++i) text += static_cast<char>('a' + i % 26);
        ASSERT_TRUE(writeStringValue("Settings\\Connection", "ProxyServer", text));
        EXPECT_EQ(readStringValue("Settings\\Connection", "ProxyServer"), text.substr(0, c.read))
            << c.stored;
    }
    // The descriptor hands back the whole text.
    EXPECT_EQ(RegistryValue::inSection("Settings\\Connection", "ProxyServer").readString().size(),
              100000u);
}

TEST_F(SettingsStoreTest, TextStopsAtAnEmbeddedZero) {
    ASSERT_TRUE(writeStringValue("Tip", "TimeStamp", std::string("before\0after", 12)));
    EXPECT_EQ(readStringValue("Tip", "TimeStamp"), "before");
}

TEST_F(SettingsStoreTest, DeleteSectionRemovesTheWholeTreeAndNothingElse) {
    ASSERT_TRUE(writeIntValue("Main Window", "showCmd", 1));
    ASSERT_TRUE(writeIntValue("Main Window\\ToolTips", "1", 3));
    ASSERT_TRUE(writeIntValue("Main Window\\ToolTips\\Deeper\\Still", "x", 1));
    ASSERT_TRUE(writeIntValue("Main Window\\Other", "y", 1));
    ASSERT_TRUE(writeIntValue("Main Window2", "z", 1));  // a sibling sharing the name's start

    EXPECT_TRUE(deleteSection("MAIN WINDOW"));
    EXPECT_FALSE(keyExists(sectionPath("Main Window")));
    EXPECT_EQ(readIntValue("Main Window2", "z"), 1);
    EXPECT_FALSE(deleteSection("Main Window"));  // nothing left to delete
}

TEST_F(SettingsStoreTest, DamagedStoreReadsAsMissingAndIsKeptAside) {
    ASSERT_TRUE(writeIntValue("Settings\\AutoLoad", "PageLimit", 40));
    testing_support::writeFile(home_.userStore(), "\x1f\x8b\x08 not a settings file");

    EXPECT_EQ(readIntValue("Settings\\AutoLoad", "PageLimit", 150), 150);
    EXPECT_TRUE(std::filesystem::exists(home_.userStore().string() + ".damaged-1"));
    EXPECT_TRUE(writeIntValue("Settings\\AutoLoad", "PageLimit", 60));
    EXPECT_EQ(readIntValue("Settings\\AutoLoad", "PageLimit"), 60);
}

TEST_F(SettingsStoreTest, DescriptorAnswersMinusOneAndEmptyForMissingValues) {
    const auto limit = RegistryValue::inSection("Settings\\AutoLoad", "PageLimit");
    EXPECT_EQ(limit.keyPath(), "SOFTWARE\\Quorvantix\\ZORV\\Settings\\AutoLoad");
    EXPECT_EQ(limit.root(), RegistryHive::CurrentUser);
    EXPECT_EQ(limit.readInt(), -1);
    EXPECT_EQ(limit.readString(), "");
    ASSERT_TRUE(limit.writeString("150"));
    EXPECT_EQ(limit.readInt(), -1);  // text is not an integer
    EXPECT_EQ(limit.readString(), "150");
    ASSERT_TRUE(limit.writeInt(150));
    EXPECT_EQ(limit.readInt(), 150);
    EXPECT_EQ(limit.readString(), "");

    // The classes-root branch is a store of its own.
    const RegistryValue type(RegistryHive::ClassesRoot, ".wsa", "");
    ASSERT_TRUE(type.writeString("ZORVScenario"));
    EXPECT_EQ(type.readString(), "ZORVScenario");
    EXPECT_EQ(RegistryValue(RegistryHive::CurrentUser, ".wsa", "").readString(), "");
}

}  // namespace
