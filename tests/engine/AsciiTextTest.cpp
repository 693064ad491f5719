#include "engine/base/AsciiText.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

struct CaseRow {
    std::string_view a;
    std::string_view b;
    int compared;  // compareIgnoringCase(a, b)
};

class CompareIgnoringCase : public ::testing::TestWithParam<CaseRow> {};

TEST_P(CompareIgnoringCase, OnlyAsciiLettersFold) {
    const CaseRow& row = GetParam();
    EXPECT_EQ(engine::compareIgnoringCase(row.a, row.b), row.compared);
    EXPECT_EQ(engine::compareIgnoringCase(row.b, row.a), -row.compared);
    EXPECT_EQ(engine::equalIgnoringCase(row.a, row.b), row.compared == 0);
}

INSTANTIATE_TEST_SUITE_P(
    AsciiText, CompareIgnoringCase,
    ::testing::Values(CaseRow{"Content-Type", "content-type", 0}, CaseRow{"", "", 0},
                      CaseRow{"abc", "abd", -1}, CaseRow{"ab", "abc", -1},
                      // "[" lies between "Z" and "a": folded, "Z" sorts after it.
                      CaseRow{"Z", "[", 1},
                      // Bytes above 0x7f have no case and compare by their unsigned value.
                      CaseRow{"\xc4", "\xe4", -1}, CaseRow{"a", "\xc4", -1}));

TEST(AsciiText, CaseConversionLeavesOtherBytes) {
    EXPECT_EQ(engine::toLower("Text/HTML; Charset=\xC4"), "text/html; charset=\xC4");
    EXPECT_EQ(engine::toUpper("body-1\xe4"), "BODY-1\xe4");
    EXPECT_EQ(engine::toLower('@'), '@');
    EXPECT_EQ(engine::toUpper('`'), '`');
}

TEST(AsciiText, StartsWithIgnoringCase) {
    EXPECT_TRUE(engine::startsWithIgnoringCase("HTTP/1.1 200 OK", "http/"));
    EXPECT_TRUE(engine::startsWithIgnoringCase("<BR>", "<br"));
    EXPECT_FALSE(engine::startsWithIgnoringCase("htt", "http"));
    EXPECT_TRUE(engine::startsWithIgnoringCase("x", ""));
}

struct TrimRow {
    std::string_view text;
    std::string_view trimmed;          // of trimmed()
    std::string_view trimmedControls;  // of trimmedControls()
};

class Trimming : public ::testing::TestWithParam<TrimRow> {};

TEST_P(Trimming, SpacesOrEveryControl) {
    const TrimRow& row = GetParam();
    EXPECT_EQ(engine::trimmed(row.text), row.trimmed);
    EXPECT_EQ(engine::trimmedControls(row.text), row.trimmedControls);
}

INSTANTIATE_TEST_SUITE_P(
    AsciiText, Trimming,
    ::testing::Values(TrimRow{" \t text/html \r\n", "text/html", "text/html"},
                      TrimRow{"\v\fa b\f\v", "a b", "a b"}, TrimRow{"", "", ""},
                      TrimRow{" \t\r\n", "", ""},
                      // Other controls are text to trimmed() and blanks to trimmedControls().
                      TrimRow{"\x01http://h/\x1f", "\x01http://h/\x1f", "http://h/"},
                      TrimRow{std::string_view("\0x\0", 3), std::string_view("\0x\0", 3), "x"},
                      // DEL and bytes above 0x7f are never blanks.
                      TrimRow{"\x7f"
                              "a\xa0",
                              "\x7f"
                              "a\xa0",
                              "\x7f"
                              "a\xa0"}));

TEST(AsciiText, SpacesAreTheSixOfTheCLocale) {
    for (int c = 0; c < 256; ++c) {
        const bool space = c == ' ' || (c >= '\t' && c <= '\r');
        EXPECT_EQ(engine::isAsciiSpace(static_cast<char>(c)), space) << c;
    }
}

}  // namespace
