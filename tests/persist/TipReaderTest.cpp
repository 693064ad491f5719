#include "persist/TipReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "persist/SettingsMap.h"
#include "tests/platform/TempHome.h"

namespace {

using persist::TipReader;
namespace setting = persist::setting;

// What the last reader stored, as the next one finds it.
struct Stored {
    std::optional<int> filePos;
    enum Stamp { None, OfThisFile, Other } stamp = None;
};

struct ReadCase {
    const char* name;
    std::optional<std::string> content;  // none: no tips file
    Stored stored;
    int reads;
    std::vector<std::string> tips;
    bool trouble;
    std::optional<int> filePosAfter;  // none: left as it was
};

const std::string kLong(1200, 'x');
const std::string kStart(999, 'x');
const std::string kRest(201, 'x');
constexpr auto kSame = Stored::OfThisFile;
constexpr auto kOther = Stored::Other;
constexpr std::nullopt_t kAny = std::nullopt;

// clang-format off
const std::vector<ReadCase>& readCases() {
    static const std::vector<ReadCase> cases = {
        {"FirstRunStartsAtTheTop", "one\ntwo\n", {}, 1, {"one"}, false, 4},
        {"SameFileGoesOn", "one\ntwo\nthree\n", {4, kSame}, 2, {"two", "three"}, false, 14},
        {"ChangedTimeStampStartsAgain", "one\ntwo\n", {4, kOther}, 1, {"one"}, false, 4},
        {"SkippedLines", "; a\n\tb\n c\n\none\n;d\ntwo\n", {}, 2, {"one", "two"}, false, kAny},
        {"WrapsAroundAtTheEnd", "one\ntwo\n", {}, 3, {"one", "two", "one"}, false, 4},
        {"StoredOffsetPastTheEndWraps", "one\ntwo\n", {500, kSame}, 1, {"one"}, false, 4},
        {"LongLineIn999Characters", kLong + "\nnext\n", {}, 3, {kStart, kRest, "next"}, false, kAny},
        {"LastLineWithoutLineEnd", "one\ntwo", {}, 2, {"one", "two"}, false, 7},
        {"WindowsLineEnds", "one\r\n\r\ntwo\r\n", {}, 2, {"one", "two"}, false, 12},
        {"OnlySkippedLinesGiveEmptyTips", "; a\n\n  b\n\tc\n", {}, 2, {"", ""}, false, 12},
        {"EmptyFileGivesAnEmptyTip", "", {}, 1, {""}, false, 0},
        {"UnusableStoredOffsetIsTrouble", "one\ntwo\n", {-5, kSame}, 1, {"one"}, true, 4},
        {"MissingFileStoresNothing", std::nullopt, {7, kOther}, 1, {""}, false, 7},
    };
    return cases;
}
// clang-format on

class TipReaderTest : public ::testing::TestWithParam<ReadCase> {
protected:
    std::string path() const { return (home_.path() / "tips.txt").string(); }

    testing_support::TempHome home_;
};

TEST_P(TipReaderTest, ReadsTheTipsInOrder) {
    const ReadCase& c = GetParam();
    if (c.content) testing_support::writeFile(path(), *c.content);
    if (c.stored.filePos) setting::kTipFilePos.set(*c.stored.filePos);
    if (c.stored.stamp == Stored::OfThisFile)
        setting::kTipTimeStamp.set(TipReader::fileTimeStamp(path()));
    if (c.stored.stamp == Stored::Other) setting::kTipTimeStamp.set("Thu Jan  1 00:00:00 1970");

    std::vector<std::string> tips;
    bool trouble = false;
    {
        TipReader reader(path());
        EXPECT_EQ(reader.isOpen(), c.content.has_value());
        trouble = reader.takeTrouble();
        for (int i = 0; i < c.reads; ++i) tips.push_back(reader.next());
        EXPECT_FALSE(reader.takeTrouble()) << "reported once only";
    }
    EXPECT_EQ(tips, c.tips);
    EXPECT_EQ(trouble, c.trouble);
    if (c.filePosAfter) {
        EXPECT_EQ(setting::kTipFilePos.get(), *c.filePosAfter);
    }
    if (c.content) {
        EXPECT_EQ(setting::kTipTimeStamp.get(), TipReader::fileTimeStamp(path()));
    }
}

INSTANTIATE_TEST_SUITE_P(Tips, TipReaderTest, ::testing::ValuesIn(readCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The next reader continues after the last one; a replaced file with another time stamp
// starts again at its first tip.
TEST(TipReaderRun, ReplacedFileStartsAgain) {
    testing_support::TempHome home;
    const std::string path = (home.path() / "tips.txt").string();
    testing_support::writeFile(path, "one\ntwo\nthree\n");
    { EXPECT_EQ(TipReader(path).next(), "one"); }
    { EXPECT_EQ(TipReader(path).next(), "two"); }
    testing_support::writeFile(path, "new one\nnew two\n");
    std::filesystem::last_write_time(
        path, std::filesystem::last_write_time(path) - std::chrono::hours(30));
    EXPECT_EQ(TipReader(path).next(), "new one");
}

// The tips the program ships: enough of them, each one read whole and none twice in a round.
TEST(TipReaderRun, ShippedTipsAreWhole) {
    testing_support::TempHome home;
    TipReader reader(PAGELYST_TIPS_FILE);
    ASSERT_TRUE(reader.isOpen());
    const std::string first = reader.next();
    std::set<std::string> round = {first};
    for (std::string tip = reader.next(); tip != first; tip = reader.next()) {
        ASSERT_LT(tip.size(), 999u) << tip;
        ASSERT_TRUE(round.insert(tip).second) << "twice: " << tip;
    }
    EXPECT_GE(round.size(), 20u);
}

}  // namespace
