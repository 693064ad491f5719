#include "persist/Setting.h"

#include <gtest/gtest.h>

#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"
#include "tests/platform/TempHome.h"

namespace {

using namespace persist;

class SettingTest : public ::testing::Test {
protected:
    testing_support::TempHome home_;
};

TEST_F(SettingTest, DefaultAppliesWhenMissingWrongTypeOrMinusOne) {
    const IntSetting& limit = setting::kPageLimit;
    EXPECT_EQ(limit.get(), 150);
    ASSERT_TRUE(limit.set(40));
    EXPECT_EQ(limit.get(), 40);
    EXPECT_EQ(readIntValue("Settings\\AutoLoad", "PageLimit"), 40);
    ASSERT_TRUE(limit.set(-1));
    EXPECT_EQ(limit.get(), 150);
    ASSERT_TRUE(limit.set(0));
    EXPECT_EQ(limit.get(), 0);
    ASSERT_TRUE(writeStringValue("Settings\\AutoLoad", "PageLimit", "40"));
    EXPECT_EQ(limit.get(), 150);
}

TEST_F(SettingTest, TextSettingIsCutAndEmptyByDefault) {
    const TextSetting& server = setting::kProxyServer;
    EXPECT_EQ(server.get(), "");
    ASSERT_TRUE(server.set(std::string(300, 's')));
    EXPECT_EQ(server.get(), std::string(255, 's'));
    ASSERT_TRUE(writeIntValue("Settings\\Connection", "ProxyServer", 8080));
    EXPECT_EQ(server.get(), "");
}

}  // namespace
