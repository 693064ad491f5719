#include "platform/RegistryStore.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/RegistryKey.h"
#include "platform/RegistryText.h"
#include "tests/platform/TempHome.h"

namespace {

namespace fs = std::filesystem;
using platform::RegistryHive;
using platform::RegistryKey;
using platform::RegistryNode;
using platform::RegistryStatus;
using platform::RegistryStore;
using testing_support::fileMode;
using testing_support::readFile;
using testing_support::TempHome;
using testing_support::writeFile;

class RegistryStoreTest : public ::testing::Test {
protected:
    TempHome home_;
    RegistryStore store_ = RegistryStore::forHive(RegistryHive::CurrentUser);

    RegistryKey key(const char* path) {
        RegistryKey key;
        EXPECT_EQ(RegistryKey::root(store_).create(path, key), RegistryStatus::Success);
        return key;
    }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(home_.settingsFolder()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RegistryStoreTest, FilesArePrivateToTheUser) {
    EXPECT_EQ(store_.file(), home_.userStore().string());
    EXPECT_EQ(key("Settings\\Connection").setString("Password", "secret"), RegistryStatus::Success);
    EXPECT_EQ(fileMode(home_.userStore()), 0600u);
    EXPECT_EQ(fileMode(home_.userStore().string() + ".lock"), 0600u);
    EXPECT_EQ(fileMode(home_.settingsFolder()), 0700u);

    // A store someone made readable to others becomes private again at the next change.
    fs::permissions(home_.userStore(), fs::perms(0644));
    EXPECT_EQ(key("Settings\\Connection").setString("Password", "other"), RegistryStatus::Success);
    EXPECT_EQ(fileMode(home_.userStore()), 0600u);
    EXPECT_EQ(folderEntries(),
              (std::vector<std::string>{"current-user.conf", "current-user.conf.lock"}));
}

TEST_F(RegistryStoreTest, ReadingAMissingStoreCreatesNothing) {
    RegistryNode root;
    EXPECT_EQ(store_.read(root), RegistryStatus::Success);
    EXPECT_EQ(root.childCount(), 0u);
    RegistryKey absent;
    EXPECT_EQ(RegistryKey::root(store_).open("SOFTWARE", absent), RegistryStatus::NotFound);
    EXPECT_FALSE(fs::exists(home_.path() / ".config"));
}

TEST_F(RegistryStoreTest, UnchangedContentIsNotRewritten) {
    const RegistryKey k = key("Section");
    ASSERT_EQ(k.setInt("x", 1), RegistryStatus::Success);
    const auto before = fs::last_write_time(home_.userStore());
    const auto inode = [&] {
        struct stat st {};
        ::stat(home_.userStore().c_str(), &st);
        return st.st_ino;
    };
    const auto firstInode = inode();
    ASSERT_EQ(k.setInt("X", 1), RegistryStatus::Success);
    EXPECT_EQ(inode(), firstInode);  // a save would have renamed a new file into place
    EXPECT_EQ(fs::last_write_time(home_.userStore()), before);
}

struct Damage {
    const char* what;
    std::string content;
    friend void PrintTo(const Damage& d, std::ostream* os) { *os << d.what; }
};

std::string validStore() {
    RegistryNode root;
    root.create({"SOFTWARE", "Quorvantix", "ZORV", "Settings", "AutoLoad"})
        .setValue({"PageLimit", platform::RegistryType::Int, 40, {}});
    return platform::formatRegistryText(root);
}

class DamagedStoreTest : public RegistryStoreTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedStoreTest, LoadsEmptyAndKeepsTheDamagedFileAside) {
    const std::string& damaged = GetParam().content;
    writeFile(home_.userStore(), damaged);

    RegistryKey settings;
    EXPECT_EQ(RegistryKey::root(store_).open("SOFTWARE", settings), RegistryStatus::NotFound);
    const fs::path aside = home_.userStore().string() + ".damaged-1";
    EXPECT_FALSE(fs::exists(home_.userStore()));
    ASSERT_TRUE(fs::exists(aside));
    EXPECT_EQ(readFile(aside), damaged);

    // The next save starts a fresh store and leaves the damaged copy alone; a second damaged
    // file goes beside the first instead of over it.
    ASSERT_EQ(key("Fresh").setInt("n", 1), RegistryStatus::Success);
    EXPECT_EQ(readFile(aside), damaged);
    writeFile(home_.userStore(), damaged);
    ASSERT_EQ(key("Fresh").setInt("n", 2), RegistryStatus::Success);
    EXPECT_EQ(readFile(home_.userStore().string() + ".damaged-2"), damaged);
    RegistryNode root;
    ASSERT_EQ(store_.read(root), RegistryStatus::Success);
    EXPECT_EQ(root.childCount(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedStoreTest,
    ::testing::Values(Damage{"Empty", ""}, Damage{"Truncated", validStore().substr(0, 60)},
                      Damage{"CutAtALineEnd", validStore().substr(0, validStore().rfind(';'))},
                      Damage{"Binary", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
                      Damage{"NotUtf8", validStore() + "\xC0\xAF"},
                      Damage{"OtherText", "[Settings]\nPageLimit=40\n"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(RegistryStoreTest, OversizedFileCountsAsDamaged) {
    writeFile(home_.userStore(), validStore());
    fs::resize_file(home_.userStore(), RegistryStore::kMaxFileSize + 1);
    RegistryNode root;
    EXPECT_EQ(store_.read(root), RegistryStatus::Success);
    EXPECT_EQ(root.childCount(), 0u);
    EXPECT_EQ(fs::file_size(home_.userStore().string() + ".damaged-1"),
              RegistryStore::kMaxFileSize + 1);
}

TEST_F(RegistryStoreTest, UnreadableStoreIsNeverReplaced) {
    fs::create_directories(home_.userStore());  // something the store cannot be read from
    RegistryNode root;
    EXPECT_EQ(store_.read(root), RegistryStatus::CantRead);
    RegistryKey k;
    EXPECT_EQ(RegistryKey::root(store_).create("Section", k), RegistryStatus::CantWrite);
    EXPECT_TRUE(fs::is_directory(home_.userStore()));
}

// Runs in a forked child that may not write files larger than 4 KB, so the save of a big value
// fails part-way through writing the temporary file. Exits 0 when the change reported failure.
[[noreturn]] void saveBigValueUnderFileSizeLimit(const RegistryStore& store) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    RegistryKey section;
    if (RegistryKey::root(store).open("Section", section) != RegistryStatus::Success) std::_Exit(2);
    const auto status = section.setString("Big", std::string(100000, 'b'));
    std::_Exit(status == RegistryStatus::CantWrite ? 0 : 1);
}

TEST_F(RegistryStoreTest, SaveFailingHalfWayLeavesThePreviousFile) {
    ASSERT_EQ(key("Section").setString("Keep", "me"), RegistryStatus::Success);
    const std::string before = readFile(home_.userStore());
    EXPECT_EXIT(saveBigValueUnderFileSizeLimit(store_), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readFile(home_.userStore()), before);
    EXPECT_EQ(folderEntries(),
              (std::vector<std::string>{"current-user.conf", "current-user.conf.lock"}));
}

// Each child writes its own 1000 values as fast as it can once both have started.
[[noreturn]] void writeThousandValues(const std::string& prefix, int startPipe) {
    char go;
    if (::read(startPipe, &go, 1) != 1) std::_Exit(3);
    RegistryKey section;
    if (RegistryKey::hive(RegistryHive::CurrentUser).create("SOFTWARE\\Shared", section) !=
        RegistryStatus::Success)
        std::_Exit(2);
    for (int i = 0; i < 1000; ++i) {
        if (section.setInt(prefix + std::to_string(i), i) != RegistryStatus::Success) std::_Exit(1);
    }
    std::_Exit(0);
}

TEST_F(RegistryStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (const char* prefix : {"first", "second"}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) writeThousandValues(prefix, start[0]);
        children.push_back(pid);
    }
    ASSERT_EQ(::write(start[1], "gg", 2), 2);
    ::close(start[0]);
    ::close(start[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }

    RegistryNode root;
    ASSERT_EQ(store_.read(root), RegistryStatus::Success);
    const RegistryNode* shared = root.find({"SOFTWARE", "Shared"});
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->valueCount(), 2000u);
    for (const char* prefix : {"first", "second"}) {
        for (int i = 0; i < 1000; ++i) {
            const auto* value = shared->value(prefix + std::to_string(i));
            ASSERT_NE(value, nullptr) << prefix << i;
            EXPECT_EQ(value->number, i);
        }
    }
}

}  // namespace
