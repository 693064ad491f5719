#include "report/DrawingText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

constexpr const char* kFffd = "\xEF\xBF\xBD";

struct TextCase {
    std::string input, drawable;
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << ::testing::PrintToString(c.input);
}

class Drawable : public ::testing::TestWithParam<TextCase> {};

INSTANTIATE_TEST_SUITE_P(
    DrawingText, Drawable,
    ::testing::Values(TextCase{"logo.gif", "logo.gif"},
                      TextCase{"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
                               "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
                      TextCase{"a\x01"
                               "b\x1b[31m",
                               std::string("a") + kFffd + "b" + kFffd + "[31m"},
                      TextCase{"tab\there\nline",
                               std::string("tab") + kFffd + "here" + kFffd + "line"},
                      TextCase{"del\x7f", std::string("del") + kFffd},
                      TextCase{"c1\xC2\x85", std::string("c1") + kFffd},             // NEL
                      TextCase{"\xff\xfe", std::string(kFffd) + kFffd},              // not UTF-8
                      TextCase{"\xC0\xAF", std::string(kFffd) + kFffd},              // overlong "/"
                      TextCase{"\xED\xA0\x80", std::string(kFffd) + kFffd + kFffd},  // surrogate
                      TextCase{"\xE2\x82", std::string(kFffd) + kFffd},              // cut short
                      TextCase{"\xEF\xBF\xBE", kFffd},                               // U+FFFE
                      TextCase{"\xF4\x90\x80\x80", std::string(kFffd) + kFffd + kFffd + kFffd}));

TEST_P(Drawable, ReplacesWhatCannotBeDrawn) {
    EXPECT_EQ(report::drawableText(GetParam().input), GetParam().drawable);
}

TEST(DrawingText, KeepsLineFeedsWhenAsked) {
    EXPECT_EQ(report::drawableText("a\nb\r", true), std::string("a\nb") + kFffd);
}

TEST(DrawingText, WidthGrowsWithTheTextAndTheFont) {
    EXPECT_EQ(report::textWidth("", 12), 0);
    EXPECT_LT(report::textWidth("ill", 12), report::textWidth("mmm", 12));
    EXPECT_LT(report::textWidth("abc", 12), report::textWidth("abcd", 12));
    EXPECT_DOUBLE_EQ(report::textWidth("abc", 24), 2 * report::textWidth("abc", 12));
    EXPECT_GT(report::textWidth("abc", 12, true), report::textWidth("abc", 12));
}

TEST(DrawingText, ElidesToTheWidthWithoutCuttingACharacter) {
    EXPECT_EQ(report::elide("short", 100, 12), "short");
    const std::string long_ = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";  // six é
    for (double width : {15.0, 30.0, 50.0}) {
        const std::string cut = report::elide(long_, width, 12);
        EXPECT_LE(report::textWidth(cut, 12), width) << width;
        EXPECT_EQ(report::drawableText(cut), cut) << width;
        EXPECT_EQ(cut.substr(cut.size() - 3), "\xE2\x80\xA6");
    }
    EXPECT_EQ(report::elide(long_, 5, 12), "");  // not even the ellipsis fits
}

}  // namespace
