#include "query/StatisticsCatalog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "query/QueryEngine.h"
#include "tests/query/ElementFixture.h"

namespace {

using query::StatisticsCatalog;

class CatalogFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("pagelyst-stat-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path() const { return (dir_ / StatisticsCatalog::kFileName).string(); }
    void writeRaw(const std::string& bytes) const {
        std::ofstream(path(), std::ios::binary) << bytes;
    }
    std::filesystem::path dir_;
};

TEST(StatisticsCatalog, StartsWithTheTenBuiltIns) {
    StatisticsCatalog catalog;
    const auto list = catalog.definitions();
    ASSERT_EQ(list.size(), 10u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(list[i].id, i + 1);
    EXPECT_EQ(list[0].title, "General");
    EXPECT_EQ(list[4].title, "Size By Host");
    EXPECT_EQ(list[9].title, "Size and Time by Type and Host");
    EXPECT_EQ(list[7].query.substr(list[7].query.find("group by")),
              "group by Type order by SUM(PercentOfSize) desc");
}

TEST(StatisticsCatalog, BuiltInsRunOverTheElementTable) {
    StatisticsCatalog catalog;
    for (const auto& definition : catalog.definitions()) {
        EXPECT_NO_THROW(query::runQuery(definition.query, query::testing::fixtureTable()))
            << definition.title;
    }
}

TEST(StatisticsCatalog, IdsAreNeverReused) {
    StatisticsCatalog catalog;
    EXPECT_TRUE(catalog.remove(10));
    EXPECT_FALSE(catalog.remove(10));
    EXPECT_EQ(catalog.add("Mine", "select URL"), 11);
    EXPECT_FALSE(catalog.find(10));
    EXPECT_EQ(catalog.find(11)->title, "Mine");
}

TEST(StatisticsCatalog, EveryChangeMovesTheStamp) {
    StatisticsCatalog catalog;
    auto stamp = catalog.changeStamp();
    catalog.modify(3, "Sizes", "select Size");
    EXPECT_NE(catalog.changeStamp(), stamp);
    EXPECT_EQ(catalog.find(3)->title, "Sizes");
    stamp = catalog.changeStamp();
    catalog.modify(99, "x", "y");  // unknown: nothing changes
    EXPECT_EQ(catalog.changeStamp(), stamp);
    catalog.add("a", "select URL");
    EXPECT_GT(catalog.changeStamp(), stamp);
    EXPECT_EQ(catalog.findByTitle("SIZES")->id, 3);
}

TEST_F(CatalogFiles, SaveAndLoadKeepIdsAndDeletions) {
    StatisticsCatalog catalog;
    catalog.remove(2);
    catalog.add("Mine", "select Host");
    ASSERT_TRUE(catalog.save(path()));

    StatisticsCatalog again;
    ASSERT_TRUE(again.load(path()));
    EXPECT_EQ(again.definitions(), catalog.definitions());
    EXPECT_EQ(again.lastId(), 11);
    EXPECT_FALSE(again.find(2));  // deleted built-ins stay deleted
    EXPECT_EQ(again.add("Next", "select URL"), 12);
}

TEST_F(CatalogFiles, MissingOrDamagedFilesGiveTheBuiltIns) {
    StatisticsCatalog catalog;
    catalog.remove(1);
    EXPECT_FALSE(catalog.load(path()));  // no file yet
    EXPECT_EQ(catalog.definitions().size(), 10u);

    writeRaw(std::string("\x02\0\0\0\x0b\0\0\0\0\0\0\0", 12));  // version 2
    catalog.remove(1);
    std::string cause;
    EXPECT_FALSE(catalog.load(path(), &cause));
    EXPECT_EQ(catalog.definitions().size(), 10u);
    EXPECT_EQ(cause, "Unsupported file version");

    // Cut inside the records.
    StatisticsCatalog full;
    ASSERT_TRUE(full.save(path()));
    const auto size = std::filesystem::file_size(path());
    std::filesystem::resize_file(path(), size - 7);
    StatisticsCatalog cut;
    cut.remove(5);
    EXPECT_FALSE(cut.load(path(), &cause));
    EXPECT_EQ(cause, "Can't read data from stream: not enough data");
    EXPECT_TRUE(cut.find(5));
    EXPECT_EQ(cut.lastId(), 10);
}

TEST_F(CatalogFiles, StaleLastIdNeverHandsOutATakenId) {
    // version 3, last id 1, two records: ids 1 and 7.
    std::string data("\x03\0\0\0\x01\0\0\0\x02\0\0\0", 12);
    const auto record = [](char id, const std::string& title) {
        std::string r{id, 0, 0, 0};
        r += std::string{static_cast<char>(title.size() + 1), 0, 0, 0} + title + '\0';
        r += std::string("\x0b\0\0\0select URL\0", 15);
        return r;
    };
    writeRaw(data + record(1, "One") + record(7, "Seven"));
    StatisticsCatalog catalog;
    ASSERT_TRUE(catalog.load(path()));
    EXPECT_EQ(catalog.find(7)->title, "Seven");
    EXPECT_EQ(catalog.add("New", "select Host"), 8);
    EXPECT_EQ(catalog.find(7)->title, "Seven");
}

TEST_F(CatalogFiles, ExhaustedIdsRefuseNewDefinitions) {
    writeRaw(std::string("\x03\0\0\0\xff\xff\xff\x7f\0\0\0\0", 12));  // last id INT32_MAX
    StatisticsCatalog catalog;
    ASSERT_TRUE(catalog.load(path()));
    EXPECT_EQ(catalog.add("x", "select URL"), 0);
    EXPECT_TRUE(catalog.definitions().empty());
}

TEST_F(CatalogFiles, NegativeLastIdStillHandsOutPositiveIds) {
    writeRaw(std::string("\x03\0\0\0\xff\xff\xff\xff\0\0\0\0", 12));  // last id -1
    StatisticsCatalog catalog;
    ASSERT_TRUE(catalog.load(path()));
    EXPECT_EQ(catalog.add("x", "select URL"), 1);
}

}  // namespace
