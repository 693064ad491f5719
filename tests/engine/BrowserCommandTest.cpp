#include "engine/settings/BrowserCommand.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/RegistryKey.h"
#include "tests/platform/RecordingProgram.h"
#include "tests/platform/TempHome.h"

namespace {

using engine::BrowserCommand;
using testing_support::RecordingProgram;

const std::string kAddress = "http://example.test/a b/?q=\"1\";echo 'x' $(id)";

void registerCommand(const std::string& commandLine) {
    platform::RegistryKey key;
    ASSERT_EQ(platform::RegistryKey::hive(platform::RegistryHive::ClassesRoot)
                  .create(BrowserCommand::kKey, key),
              platform::RegistryStatus::Success);
    ASSERT_EQ(key.setString("", commandLine), platform::RegistryStatus::Success);
}

TEST(BrowserCommand, ProgramIsTheQuotedTextOrTheFirstWord) {
    EXPECT_EQ(BrowserCommand::programOf("\"/opt/web browser/run\" -new \"%1\""),
              "/opt/web browser/run");
    EXPECT_EQ(BrowserCommand::programOf("/usr/bin/browser %1"), "/usr/bin/browser");
    EXPECT_EQ(BrowserCommand::programOf("browser"), "browser");
    EXPECT_EQ(BrowserCommand::programOf("\"/opt/unterminated path"), "/opt/unterminated path");
    EXPECT_EQ(BrowserCommand::programOf(""), "");
    EXPECT_EQ(BrowserCommand::programOf("\"\""), "");
    EXPECT_EQ(BrowserCommand::programOf("\"\" %1"), "");
    EXPECT_EQ(BrowserCommand::programOf("\""), "");
    EXPECT_EQ(BrowserCommand::programOf(" browser"), "");
}

TEST(BrowserCommand, ReadsTheProgramFromTheClassesRootBranch) {
    testing_support::TempHome home;
    EXPECT_EQ(BrowserCommand::readProgram(), "");
    registerCommand("\"/opt/web browser/run\" %1");
    EXPECT_EQ(BrowserCommand::readProgram(), "/opt/web browser/run");
    registerCommand("");
    EXPECT_EQ(BrowserCommand::readProgram(), "");

    platform::RegistryKey key;
    ASSERT_EQ(platform::RegistryKey::hive(platform::RegistryHive::ClassesRoot)
                  .open(BrowserCommand::kKey, key),
              platform::RegistryStatus::Success);
    ASSERT_EQ(key.setInt("", 5), platform::RegistryStatus::Success);
    EXPECT_EQ(BrowserCommand::readProgram(), "");
}

TEST(BrowserCommand, StartsTheRegisteredBrowserWithTheAddress) {
    testing_support::TempHome home;
    RecordingProgram browser(home.path() / "web browser", "run");
    registerCommand("\"" + browser.path().string() + "\" -new \"%1\"");
    ASSERT_TRUE(BrowserCommand::open(BrowserCommand::readProgram(), kAddress));
    const auto recorded = browser.wait();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->argumentCount, 1);
    EXPECT_EQ(recorded->argument, kAddress);
}

TEST(BrowserCommand, FallsBackToTheDesktopHandler) {
    testing_support::TempHome home;
    const char* path = std::getenv("PATH");
    testing_support::ScopedEnv searched("PATH",
                                        home.path().string() + ":" + (path ? path : "/usr/bin"));
    {
        RecordingProgram opener(home.path(), "xdg-open");
        ASSERT_TRUE(BrowserCommand::open("", kAddress));  // no browser registered
        const auto recorded = opener.wait();
        ASSERT_TRUE(recorded);
        EXPECT_EQ(recorded->argument, kAddress);
    }
    std::filesystem::remove(home.path() / "xdg-open.out");
    RecordingProgram opener(home.path(), "xdg-open");
    ASSERT_TRUE(BrowserCommand::open((home.path() / "missing").string(), kAddress));
    const auto recorded = opener.wait();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->argument, kAddress);
}

// The only case that asks for the process's browser: the key is read once, so a later change
// is not seen.
TEST(BrowserCommand, OpenInBrowserReadsTheKeyOnce) {
    testing_support::TempHome home;
    RecordingProgram first(home.path(), "first");
    RecordingProgram second(home.path(), "second");
    registerCommand(first.path().string() + " %1");
    ASSERT_TRUE(engine::openInBrowser("http://a.test/"));
    const auto recorded = first.wait();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->argument, "http://a.test/");

    std::filesystem::remove(home.path() / "first.out");
    registerCommand(second.path().string() + " %1");
    ASSERT_TRUE(engine::openInBrowser("http://b.test/"));
    const auto again = first.wait();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->argument, "http://b.test/");
    EXPECT_FALSE(second.hasRecorded());
}

}  // namespace
