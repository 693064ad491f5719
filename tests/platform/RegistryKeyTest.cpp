#include "platform/RegistryKey.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/TempHome.h"

namespace {

using platform::RegistryHive;
using platform::RegistryKey;
using platform::RegistryStatus;
using platform::RegistryType;
using testing_support::TempHome;

class RegistryKeyTest : public ::testing::Test {
protected:
    TempHome home_;
    RegistryKey user_ = RegistryKey::hive(RegistryHive::CurrentUser);

    RegistryKey created(const char* path) {
        RegistryKey key;
        EXPECT_EQ(user_.create(path, key), RegistryStatus::Success) << path;
        return key;
    }
    std::string queryText(const RegistryKey& key, const char* name) {
        std::uint32_t size = 0;
        EXPECT_EQ(key.queryValue(name, nullptr, nullptr, &size), RegistryStatus::Success);
        std::vector<char> buffer(size);
        EXPECT_EQ(key.queryValue(name, nullptr, buffer.data(), &size), RegistryStatus::Success);
        return std::string(buffer.data());
    }
};

TEST_F(RegistryKeyTest, CreateMakesParentsAndOpenIgnoresCase) {
    const RegistryKey connection = created("SOFTWARE\\Quorvantix\\ZORV\\Settings\\Connection");
    EXPECT_EQ(connection.path(), "SOFTWARE\\Quorvantix\\ZORV\\Settings\\Connection");

    RegistryKey parent, again;
    EXPECT_EQ(user_.open("Software\\QUORVANTIX\\zorv", parent), RegistryStatus::Success);
    EXPECT_EQ(parent.open("settings\\connection", again), RegistryStatus::Success);
    EXPECT_EQ(again.setInt("Proxy", 2), RegistryStatus::Success);

    std::int32_t proxy = 0;
    std::uint32_t size = sizeof proxy;
    RegistryType type = RegistryType::None;
    EXPECT_EQ(connection.queryValue("PROXY", &type, &proxy, &size), RegistryStatus::Success);
    EXPECT_EQ(type, RegistryType::Int);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(proxy, 2);

    RegistryKey missing;
    EXPECT_EQ(parent.open("Settings\\Nothing", missing), RegistryStatus::NotFound);
}

TEST_F(RegistryKeyTest, TextQueryReportsMoreDataWithTheSizeNeeded) {
    const RegistryKey key = created("Section");
    ASSERT_EQ(key.setString("Name", "twelve chars"), RegistryStatus::Success);

    char small[8];
    std::uint32_t size = sizeof small;
    RegistryType type = RegistryType::None;
    EXPECT_EQ(key.queryValue("Name", &type, small, &size), RegistryStatus::MoreData);
    EXPECT_EQ(type, RegistryType::String);
    EXPECT_EQ(size, 13u);  // with the terminating zero

    char exact[13];
    size = sizeof exact;
    EXPECT_EQ(key.queryValue("Name", nullptr, exact, &size), RegistryStatus::Success);
    EXPECT_STREQ(exact, "twelve chars");

    std::int32_t number = 0;
    size = 2;
    ASSERT_EQ(key.setInt("Name", 5), RegistryStatus::Success);  // a value may change its type
    EXPECT_EQ(key.queryValue("Name", &type, &number, &size), RegistryStatus::MoreData);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(type, RegistryType::Int);
    EXPECT_EQ(key.queryValue("Absent", &type, &number, &size), RegistryStatus::NotFound);
}

TEST_F(RegistryKeyTest, ValuesKeepTheirFirstSpellingAndCanBeDeleted) {
    const RegistryKey key = created("Section");
    ASSERT_EQ(key.setString("LastOpenFileLocation", "/a"), RegistryStatus::Success);
    ASSERT_EQ(key.setString("lastopenfilelocation", "/b"), RegistryStatus::Success);
    EXPECT_EQ(queryText(key, "LASTOPENFILELOCATION"), "/b");
    EXPECT_NE(testing_support::readFile(home_.userStore()).find("\"LastOpenFileLocation\"=\"/b\""),
              std::string::npos);

    EXPECT_EQ(key.deleteValue("lastOpenFileLocation"), RegistryStatus::Success);
    EXPECT_EQ(key.deleteValue("lastOpenFileLocation"), RegistryStatus::NotFound);
    EXPECT_EQ(key.queryValue("LastOpenFileLocation", nullptr, nullptr, nullptr),
              RegistryStatus::NotFound);
}

TEST_F(RegistryKeyTest, EnumeratesSubKeysInNameOrder) {
    for (const char* name : {"Root\\beta", "Root\\Alpha", "Root\\gamma\\deep"}) created(name);
    RegistryKey root;
    ASSERT_EQ(user_.open("root", root), RegistryStatus::Success);

    std::vector<std::string> names;
    char name[16];
    for (std::uint32_t i = 0;; ++i) {
        std::uint32_t size = sizeof name;
        const auto status = root.enumKey(i, name, &size);
        if (status == RegistryStatus::NoMoreItems) break;
        ASSERT_EQ(status, RegistryStatus::Success);
        EXPECT_EQ(size, std::strlen(name));
        names.emplace_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "gamma"}));

    std::uint32_t size = 3;
    EXPECT_EQ(root.enumKey(0, name, &size), RegistryStatus::MoreData);
    EXPECT_EQ(size, 6u);
}

TEST_F(RegistryKeyTest, KeysAreDeletedFromTheLeavesUp) {
    const RegistryKey deep = created("Top\\Middle\\Leaf");
    ASSERT_EQ(deep.setInt("x", 1), RegistryStatus::Success);
    const RegistryKey top = created("Top");

    EXPECT_EQ(top.deleteKey("Middle"), RegistryStatus::HasSubKeys);
    EXPECT_EQ(top.deleteKey("middle\\leaf"), RegistryStatus::Success);
    EXPECT_EQ(top.deleteKey("middle\\leaf"), RegistryStatus::NotFound);

    // A handle to a deleted key reports it instead of quietly recreating the key.
    EXPECT_EQ(deep.setInt("x", 2), RegistryStatus::KeyDeleted);
    EXPECT_EQ(deep.queryValue("x", nullptr, nullptr, nullptr), RegistryStatus::KeyDeleted);
    RegistryKey below;
    EXPECT_EQ(deep.create("Below", below), RegistryStatus::KeyDeleted);

    EXPECT_EQ(top.deleteKey("Middle"), RegistryStatus::Success);
    EXPECT_EQ(user_.deleteKey(""), RegistryStatus::InvalidParameter);  // the branch root stays
}

TEST_F(RegistryKeyTest, ReplacingAKeyLeavesExactlyTheGivenValuesInOneRewrite) {
    const RegistryKey section = created("Section\\Nested");
    ASSERT_EQ(section.setInt("stale", 1), RegistryStatus::Success);
    const RegistryKey parent = created("Section");
    ASSERT_EQ(parent.setString("old", "gone"), RegistryStatus::Success);
    const RegistryKey sibling = created("Sibling");
    ASSERT_EQ(sibling.setInt("kept", 7), RegistryStatus::Success);

    const std::vector<platform::RegistryData> values = {
        {"mru0", RegistryType::String, 0, "http://a/"}, {"mru_end", RegistryType::Int, 1, {}}};
    ASSERT_EQ(user_.replaceKey("Section", values), RegistryStatus::Success);

    RegistryKey replaced, nested;
    ASSERT_EQ(user_.open("Section", replaced), RegistryStatus::Success);
    EXPECT_EQ(queryText(replaced, "mru0"), "http://a/");
    EXPECT_EQ(replaced.queryValue("old", nullptr, nullptr, nullptr), RegistryStatus::NotFound);
    EXPECT_EQ(replaced.open("Nested", nested), RegistryStatus::NotFound);
    std::uint32_t size = 0;
    EXPECT_EQ(sibling.queryValue("kept", nullptr, nullptr, &size), RegistryStatus::Success);

    // The same values again (under the same spelling) change nothing: the file is not replaced.
    struct stat before {};
    ASSERT_EQ(::stat(home_.userStore().c_str(), &before), 0);
    ASSERT_EQ(user_.replaceKey("Section", values), RegistryStatus::Success);
    struct stat after {};
    ASSERT_EQ(::stat(home_.userStore().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);

    // Sub-keys come with their own values, in the same change; a name no key can have is refused
    // before anything changes.
    const RegistryKey::SubKeyValues subKeys = {{"Child[1]", {{"x", RegistryType::Int, 5, {}}}}};
    ASSERT_EQ(user_.replaceKey("Section", {}, subKeys), RegistryStatus::Success);
    RegistryKey child;
    ASSERT_EQ(user_.open("Section\\child[1]", child), RegistryStatus::Success);
    std::int32_t x = 0;
    std::uint32_t xSize = sizeof x;
    EXPECT_EQ(child.queryValue("x", nullptr, &x, &xSize), RegistryStatus::Success);
    EXPECT_EQ(x, 5);
    EXPECT_EQ(replaced.queryValue("mru0", nullptr, nullptr, nullptr), RegistryStatus::NotFound);
    EXPECT_EQ(user_.replaceKey("Section", values, {{"bad\\name", {}}}),
              RegistryStatus::InvalidParameter);
    EXPECT_EQ(child.queryValue("x", nullptr, nullptr, &xSize), RegistryStatus::Success);

    EXPECT_EQ(user_.replaceKey("", values), RegistryStatus::InvalidParameter);
    EXPECT_EQ(user_.replaceKey("a\\\\b", values), RegistryStatus::InvalidParameter);
}

TEST_F(RegistryKeyTest, MalformedPathsAndNamesAreRefused) {
    RegistryKey key;
    const std::string tooDeep = [] {
        std::string path = "k";
        for (int i = 0; i < 512; ++i) path += "\\k";
        return path;
    }();
    for (const std::string& path :
         {std::string("a\\\\b"), std::string("\\a"), std::string("a\\"), std::string(256, 'n'),
          std::string("tab\there"), std::string("bad\xFFutf8"), tooDeep}) {
        EXPECT_EQ(user_.create(path, key), RegistryStatus::InvalidParameter) << path;
        EXPECT_EQ(user_.open(path, key), RegistryStatus::InvalidParameter) << path;
    }
    EXPECT_EQ(user_.create(std::string(255, 'n'), key), RegistryStatus::Success);
    EXPECT_EQ(key.setInt(std::string(16384, 'v'), 1), RegistryStatus::InvalidParameter);
    EXPECT_EQ(key.setInt(std::string(16383, 'v'), 1), RegistryStatus::Success);
}

TEST_F(RegistryKeyTest, BranchesAreSeparateFilesInTheSettingsFolder) {
    const RegistryKey classes = RegistryKey::hive(RegistryHive::ClassesRoot);
    RegistryKey type;
    ASSERT_EQ(classes.create(".wsa", type), RegistryStatus::Success);
    ASSERT_EQ(type.setString("", "ZORVScenario"), RegistryStatus::Success);
    created("SOFTWARE");

    EXPECT_TRUE(std::filesystem::exists(home_.settingsFolder() / "classes-root.conf"));
    EXPECT_TRUE(std::filesystem::exists(home_.userStore()));
    RegistryKey absent;
    EXPECT_EQ(user_.open(".wsa", absent), RegistryStatus::NotFound);
    EXPECT_EQ(queryText(type, ""), "ZORVScenario");
}

}  // namespace
