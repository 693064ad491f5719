#include "persist/DocumentType.h"

#include <gtest/gtest.h>

#include "persist/DocumentFolders.h"
#include "platform/RegistryKey.h"
#include "tests/platform/TempHome.h"

namespace {

using persist::DocumentType;
using platform::RegistryKey;

std::string classesDefault(const std::string& path) {
    RegistryKey key;
    if (RegistryKey::hive(platform::RegistryHive::ClassesRoot).open(path, key) !=
        platform::RegistryStatus::Success)
        return "<missing>";
    char text[600];
    std::uint32_t size = sizeof text;
    if (key.queryValue("", nullptr, text, &size) != platform::RegistryStatus::Success)
        return "<no value>";
    return std::string(text, size - 1);
}

TEST(DocumentType, RegistersKeysDesktopEntryAndMimeType) {
    testing_support::TempHome home;
    ASSERT_TRUE(DocumentType::registerDocumentType("/opt/page lyst/pagelyst"));
    EXPECT_EQ(classesDefault("ZORVScenario"), "ZORV Scenario");
    EXPECT_EQ(classesDefault("ZORVScenario\\shell\\open\\command"),
              "/opt/page lyst/pagelyst \"%1\"");
    EXPECT_EQ(classesDefault(".wsa"), "ZORVScenario");
    const auto share = home.path() / ".local" / "share";
    EXPECT_TRUE(std::filesystem::exists(share / "applications" / "pagelyst-scenario.desktop"));
    EXPECT_TRUE(std::filesystem::exists(share / "mime" / "packages" / "pagelyst-scenario.xml"));
    // A second registration changes nothing and still succeeds.
    EXPECT_TRUE(DocumentType::registerDocumentType("/opt/page lyst/pagelyst"));
}

TEST(DocumentType, DesktopEntryQuotesThePath) {
    const std::string entry = DocumentType::desktopEntry("/home/a \"b\"/$x/pagelyst");
    EXPECT_NE(entry.find("Exec=\"/home/a \\\"b\\\"/\\$x/pagelyst\" %f\n"), std::string::npos);
    EXPECT_NE(entry.find("MimeType=application/x-pagelyst-scenario;"), std::string::npos);
}

TEST(DocumentFolders, CreatedUnderTheUsersFolders) {
    testing_support::TempHome home;
    ASSERT_TRUE(persist::DocumentFolders::createAll());
    EXPECT_EQ(persist::DocumentFolders::data(),
              (home.path() / ".local/share/Quorvantix/ZORV/").string());
    EXPECT_TRUE(std::filesystem::is_directory(persist::DocumentFolders::temporary()));
    EXPECT_TRUE(std::filesystem::is_directory(persist::DocumentFolders::profileItems()));
    EXPECT_FALSE(persist::DocumentFolders::create("/"));
}

}  // namespace
