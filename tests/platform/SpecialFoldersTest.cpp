#include "platform/SpecialFolders.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/platform/TempHome.h"

namespace {

using platform::SpecialFolders;
using testing_support::ScopedEnv;

using Value = std::optional<std::string>;

// One environment and the folders it must give.
struct FolderCase {
    const char* what;
    Value pagelystHome, home, xdgConfig, xdgData;
    std::string settings, applicationData, documents;
    friend void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.what; }
};

class SpecialFoldersTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(SpecialFoldersTest, FoldersFollowTheEnvironment) {
    const FolderCase& c = GetParam();
    const ScopedEnv own("PAGELYST_HOME", c.pagelystHome), home("HOME", c.home),
        config("XDG_CONFIG_HOME", c.xdgConfig), data("XDG_DATA_HOME", c.xdgData);
    EXPECT_EQ(SpecialFolders::settings(), c.settings);
    EXPECT_EQ(SpecialFolders::applicationData(), c.applicationData);
    EXPECT_EQ(SpecialFolders::documents(), c.documents);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, SpecialFoldersTest,
    ::testing::Values(
        FolderCase{"HomeOnly", std::nullopt, "/home/u", std::nullopt, std::nullopt,
                   "/home/u/.config/pagelyst", "/home/u/.local/share", "/home/u/Documents"},
        FolderCase{"XdgFolders", std::nullopt, "/home/u/", "/cfg", "/data/", "/cfg/pagelyst",
                   "/data", "/home/u/Documents"},
        // Relative XDG values are invalid and ignored.
        FolderCase{"RelativeXdg", std::nullopt, "/home/u", "cfg", "data",
                   "/home/u/.config/pagelyst", "/home/u/.local/share", "/home/u/Documents"},
        // PAGELYST_HOME wins over HOME and over the XDG variables that point into it.
        FolderCase{"OwnHome", "/tmp/t", "/home/u", "/home/u/.config", "/home/u/.local/share",
                   "/tmp/t/.config/pagelyst", "/tmp/t/.local/share", "/tmp/t/Documents"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(SpecialFoldersDocuments, NamedInUserDirsFile) {
    const testing_support::TempHome home;
    const auto dirs = home.path() / ".config" / "user-dirs.dirs";
    testing_support::writeFile(dirs,
                               "# written by xdg-user-dirs-update\n"
                               "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                               "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
    EXPECT_EQ(SpecialFolders::documents(), home.path().string() + "/Papiere");

    testing_support::writeFile(dirs, "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n");
    EXPECT_EQ(SpecialFolders::documents(), "/srv/docs");

    testing_support::writeFile(dirs, "XDG_DOCUMENTS_DIR=\"relative\"\n");
    EXPECT_EQ(SpecialFolders::documents(), home.path().string() + "/Documents");
}

}  // namespace
