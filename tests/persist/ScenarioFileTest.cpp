#include "persist/ScenarioFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

using persist::Scenario;
using persist::ScenarioFile;

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s.push_back(static_cast<char>(v));
    return s;
}

std::string stored(const Scenario& pages) {
    xlib::MemoryOutputStream out;
    xlib::Archive archive(out);
    ScenarioFile::write(archive, pages);
    return out.bytes();
}

std::optional<Scenario> loaded(const std::string& data) {
    xlib::MemoryInputStream in(data);
    xlib::Archive archive(in);
    try {
        return ScenarioFile::read(archive);
    } catch (const xlib::Exception&) {
        return std::nullopt;
    }
}

TEST(ScenarioFormat, EmptyAndSingleRootBytes) {
    EXPECT_EQ(stored({}), bytes({3, 0, 0, 0, 0, 0, 0, 0}));
    const std::string one = stored({{"http://a/", -1}});
    EXPECT_EQ(one.size(), 26u);
    EXPECT_EQ(one,
              bytes({3, 0, 0, 0, 1, 0, 0, 0, 10, 0, 0, 0}) + "http://a/" + bytes({0, 0, 0, 0, 0}));
    ASSERT_TRUE(loaded(stored({})));
    EXPECT_TRUE(loaded(stored({}))->empty());
}

TEST(ScenarioFormat, TreeRoundTripsDepthFirst) {
    const Scenario tree{{"http://one/", -1}, {"http://one/a", 0}, {"http://one/a/x", 1},
                        {"http://one/b", 0}, {"http://two/", -1}, {"http://two/c", 4}};
    const auto back = loaded(stored(tree));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, tree);
    // Records are address then child count, depth first.
    const std::string data = stored(tree);
    EXPECT_LT(data.find("http://one/a/x"), data.find("http://one/b"));
}

TEST(ScenarioFormat, DamagedFilesFail) {
    const std::string good = stored({{"http://one/", -1}, {"http://one/a", 0}});
    EXPECT_FALSE(loaded(bytes({2, 0, 0, 0, 0, 0, 0, 0})));  // another version
    EXPECT_FALSE(loaded(""));
    for (std::size_t cut = 1; cut < good.size(); ++cut)
        EXPECT_FALSE(loaded(good.substr(0, cut))) << "cut at " << cut;
    // A negative child count is no scenario.
    EXPECT_FALSE(
        loaded(bytes({3, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 'x', 0, 0xff, 0xff, 0xff, 0xff})));
    // A huge root count fails at the first missing record instead of allocating for it.
    EXPECT_FALSE(loaded(bytes({3, 0, 0, 0, 0xff, 0xff, 0xff, 0x7f})));
}

TEST(ScenarioFormat, DeepNestingNeedsNoRecursion) {
    Scenario chain;
    for (int i = 0; i < 200000; ++i) chain.push_back({"u", i - 1});
    const auto back = loaded(stored(chain));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), chain.size());
    EXPECT_EQ(back->back().parent, 199998);
}

class ScenarioFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("pagelyst-scenario-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::filesystem::path dir_;
};

TEST_F(ScenarioFiles, SaveAndLoad) {
    const auto path = (dir_ / "site.wsa").string();
    const Scenario tree{{"http://one/", -1}, {"http://one/a", 0}};
    ASSERT_TRUE(ScenarioFile::save(path, tree));
    EXPECT_EQ(read(path), stored(tree));
    EXPECT_EQ(ScenarioFile::load(path), tree);
    EXPECT_FALSE(ScenarioFile::load((dir_ / "missing.wsa").string()));
    std::string reason;
    EXPECT_FALSE(ScenarioFile::save((dir_ / "no/folder.wsa").string(), tree, &reason));
    EXPECT_EQ(reason, "No such file or directory");
}

}  // namespace
