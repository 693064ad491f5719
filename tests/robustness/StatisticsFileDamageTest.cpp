// "lmstat.cfg" cut short and bit-flipped: every load either reads the file or leaves exactly the
// built-in definitions, and a loaded catalogue still hands out only free ids.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <limits>
#include <set>

#include "query/StatisticsCatalog.h"
#include "tests/robustness/DamagedCopies.h"

namespace {

using query::StatisticsCatalog;
using robustness::DamagedCopy;

class StatisticsFileDamage : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("pagelyst-robust-stat-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path() const { return (dir_ / StatisticsCatalog::kFileName).string(); }

    std::filesystem::path dir_;
};

// The built-ins with user definitions added, edited and removed, so ids have gaps.
StatisticsCatalog userCatalog() {
    StatisticsCatalog catalog;
    catalog.remove(3);
    catalog.add("Slow images", "select URL, TotalTime from Elements where Type = \"image/gif\"");
    catalog.add("Hosts", "select Host, COUNT(URL) from Elements group by Host");
    catalog.modify(5, "Size By Host (mine)", "select Host, SUM(Size) group by Host");
    catalog.add("Empty query", "");
    catalog.remove(12);
    catalog.add("Unicode \xc3\xa9t\xc3\xa9", "select URL where URL like \"%caf\xc3\xa9%\"");
    return catalog;
}

TEST_F(StatisticsFileDamage, EveryCutAndFlipLoadsOrLeavesExactlyTheBuiltIns) {
    const StatisticsCatalog saved = userCatalog();
    ASSERT_TRUE(saved.save(path()));
    const std::string original = robustness::readBytes(path());
    ASSERT_GT(original.size(), 500u);
    {
        StatisticsCatalog check;
        ASSERT_TRUE(check.load(path()));
        ASSERT_EQ(check.definitions(), saved.definitions());
    }
    const StatisticsCatalog builtIns;

    robustness::Tally tally;
    for (const DamagedCopy& copy : robustness::damagedCopies(original, 20240601)) {
        SCOPED_TRACE(copy.what);
        robustness::writeBytes(path(), copy.bytes);
        StatisticsCatalog catalog = saved;  // holds the user's definitions before the load
        const bool loaded = catalog.load(path());
        tally.count(copy, loaded);
        if (!loaded) {
            ASSERT_EQ(catalog.definitions(), builtIns.definitions());
            ASSERT_EQ(catalog.lastId(), builtIns.lastId());
            ASSERT_EQ(catalog.add("next", "select URL"), builtIns.lastId() + 1);
            continue;
        }
        if (copy.truncated) {
            // Nothing of the file may be missing from a catalogue that says it was read.
            ASSERT_EQ(catalog.definitions(), saved.definitions());
            ASSERT_EQ(catalog.lastId(), saved.lastId());
        }
        // Whatever a flipped bit made of the ids, a new definition never takes a used one.
        std::set<std::int32_t> used;
        for (const auto& definition : catalog.definitions()) {
            ASSERT_LE(definition.id, catalog.lastId());
            used.insert(definition.id);
        }
        const std::int32_t id = catalog.add("next", "select URL");
        if (catalog.lastId() == std::numeric_limits<std::int32_t>::max() && id == 0) continue;
        ASSERT_GT(id, 0);
        ASSERT_EQ(used.count(id), 0u);
    }
    tally.print(StatisticsCatalog::kFileName, "the built-ins");
    EXPECT_GE(tally.fellBack(), static_cast<int>(original.size()));
}

}  // namespace
