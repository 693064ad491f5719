#include "engine/settings/EngineSettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>

#include "persist/SettingsStore.h"
#include "tests/platform/TempHome.h"

namespace {

using engine::EngineSettings;
using engine::loadSettings;
using engine::saveSettings;

class EngineSettingsTest : public ::testing::Test {
protected:
    testing_support::TempHome home_;
};

TEST_F(EngineSettingsTest, EmptyStoreGivesTheDefaults) {
    const EngineSettings s = loadSettings();
    EXPECT_EQ(s.connection.proxy, 0);  // the system's settings
    EXPECT_FALSE(s.connection.authentication);
    EXPECT_EQ(s.connection.name, "");
    EXPECT_EQ(s.connection.password, "");
    EXPECT_EQ(s.connection.proxyServer, "");
    EXPECT_EQ(s.connection.proxyPort, 0);
    EXPECT_EQ(s.operation.autoCheck, 1);
    EXPECT_FALSE(s.operation.showOrig);
    EXPECT_EQ(s.limits.pageLimit, 150);
    EXPECT_EQ(s.limits.levelLimit, 5);
    EXPECT_TRUE(s.limits.enabled);
    EXPECT_EQ(s, EngineSettings{});
}

TEST_F(EngineSettingsTest, DamagedStoreGivesTheDefaultsAndIsKeptAside) {
    testing_support::writeFile(home_.userStore(), std::string("\0\0\0\x01garbage", 11));
    EXPECT_EQ(loadSettings(), EngineSettings{});
    EXPECT_EQ(testing_support::readFile(home_.userStore().string() + ".damaged-1"),
              std::string("\0\0\0\x01garbage", 11));
}

TEST_F(EngineSettingsTest, SavedSettingsComeBackExceptTheAutoToggle) {
    EngineSettings saved;
    saved.operation = {engine::OperationSettings::kAllPages, true};
    saved.connection.authentication = true;
    saved.connection.name = "user";
    saved.connection.password = "p\xC3\xA4ss \"word\"\n";
    saved.connection.proxy = engine::ConnectionSettings::kProxyNamed;
    saved.connection.proxyServer = "proxy.example";
    saved.connection.proxyPort = 3128;
    saved.limits = {false, 3, 20};
    ASSERT_TRUE(saveSettings(saved));

    EngineSettings expected = saved;
    expected.limits.enabled = true;
    EXPECT_EQ(loadSettings(), expected);
    // Enabled itself was saved as set, and flags as 0 or 1.
    EXPECT_EQ(persist::readIntValue("Settings\\AutoLoad", "Enabled"), 0);
    EXPECT_EQ(persist::readIntValue("Settings\\Operation", "ShowOrig"), 1);
    EXPECT_EQ(persist::readIntValue("Settings\\Connection", "Authentication"), 1);
    EXPECT_EQ(persist::readStringValue("Settings\\Connection", "Password"),
              saved.connection.password);
}

TEST_F(EngineSettingsTest, TextsAreCutTo255Characters) {
    ASSERT_TRUE(
        persist::writeStringValue("Settings\\Connection", "Password", std::string(300, 'w')));
    EXPECT_EQ(loadSettings().connection.password, std::string(255, 'w'));
}

TEST_F(EngineSettingsTest, ProxyPortZeroNamesTheServerAlone) {
    EngineSettings saved;
    saved.connection.proxy = engine::ConnectionSettings::kProxyNamed;
    saved.connection.proxyServer = "proxy.example";
    ASSERT_TRUE(saveSettings(saved));
    EXPECT_EQ(loadSettings().connection.proxyName(), "proxy.example");
}

// One stored value and the field it must give after loading.
struct StoredCase {
    const char* what;
    const char* section;
    const char* name;
    std::variant<std::int32_t, std::string> stored;
    std::int32_t (*field)(const EngineSettings&);
    std::int32_t expected;
    friend void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.what; }
};

std::int32_t showOrig(const EngineSettings& s) {
    return s.operation.showOrig;
}
std::int32_t autoCheck(const EngineSettings& s) {
    return s.operation.autoCheck;
}
std::int32_t enabled(const EngineSettings& s) {
    return s.limits.enabled;
}
std::int32_t pageLimit(const EngineSettings& s) {
    return s.limits.pageLimit;
}
std::int32_t levelLimit(const EngineSettings& s) {
    return s.limits.levelLimit;
}
std::int32_t proxy(const EngineSettings& s) {
    return s.connection.proxy;
}
std::int32_t proxyPort(const EngineSettings& s) {
    return s.connection.proxyPort;
}
std::int32_t authentication(const EngineSettings& s) {
    return s.connection.authentication;
}

class StoredValueTest : public EngineSettingsTest,
                        public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValueTest, LoadsAs) {
    const StoredCase& c = GetParam();
    if (const auto* number = std::get_if<std::int32_t>(&c.stored)) {
        ASSERT_TRUE(persist::writeIntValue(c.section, c.name, *number));
    } else {
        ASSERT_TRUE(persist::writeStringValue(c.section, c.name, std::get<std::string>(c.stored)));
    }
    EXPECT_EQ(c.field(loadSettings()), c.expected);
}

constexpr const char* kOperation = "Settings\\Operation";
constexpr const char* kAutoLoad = "Settings\\AutoLoad";
constexpr const char* kConnection = "Settings\\Connection";

INSTANTIATE_TEST_SUITE_P(
    Quirks, StoredValueTest,
    ::testing::Values(
        StoredCase{"ShowOrigSevenIsOn", kOperation, "ShowOrig", 7, showOrig, 1},
        StoredCase{"ShowOrigNegativeIsOn", kOperation, "ShowOrig", -5, showOrig, 1},
        StoredCase{"ShowOrigMinusOneIsMissing", kOperation, "ShowOrig", -1, showOrig, 0},
        StoredCase{"ShowOrigZero", kOperation, "showorig", 0, showOrig, 0},
        StoredCase{"EnabledZeroLoadsOn", kAutoLoad, "Enabled", 0, enabled, 1},
        StoredCase{"PageLimitMinusOneIsDefault", kAutoLoad, "PageLimit", -1, pageLimit, 150},
        StoredCase{"PageLimitZeroIsKept", kAutoLoad, "PageLimit", 0, pageLimit, 0},
        StoredCase{"PageLimitAsTextIsDefault", kAutoLoad, "PageLimit", std::string("40"), pageLimit,
                   150},
        StoredCase{"LevelLimitMinusOneIsDefault", kAutoLoad, "LevelLimit", -1, levelLimit, 5},
        StoredCase{"LevelLimitStored", kAutoLoad, "LEVELLIMIT", 9, levelLimit, 9},
        StoredCase{"AutoCheckHostOnly", kOperation, "AutoCheck", 0, autoCheck, 0},
        StoredCase{"AutoCheckOutOfRange", kOperation, "AutoCheck", 3, autoCheck, 1},
        StoredCase{"ProxyNamed", kConnection, "Proxy", 2, proxy, 2},
        StoredCase{"ProxyOutOfRange", kConnection, "Proxy", 7, proxy, 0},
        StoredCase{"ProxyNegative", kConnection, "Proxy", -3, proxy, 0},
        StoredCase{"ProxyPortAsTextIsDefault", kConnection, "ProxyPort", std::string("80"),
                   proxyPort, 0},
        StoredCase{"AuthenticationAnyNonZero", kConnection, "Authentication", 2, authentication,
                   1}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
