#include "report/WaterfallText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/report/WaterfallSample.h"

namespace {

using report::testing::sampleRow;
using report::testing::sampleWaterfall;

struct LabelCase {
    std::string host, path, label;
};

void PrintTo(const LabelCase& c, std::ostream* out) {
    *out << c.host << " " << ::testing::PrintToString(c.path);
}

class RowLabel : public ::testing::TestWithParam<LabelCase> {};

INSTANTIATE_TEST_SUITE_P(WaterfallText, RowLabel,
                         ::testing::Values(LabelCase{"site.test", "", "site.test/"},
                                           LabelCase{"site.test", "images/logo.gif", "logo.gif"},
                                           LabelCase{"site.test", "search?q=a/b", "search?q=a/b"},
                                           LabelCase{"site.test", "docs/", "docs/"},
                                           LabelCase{"site.test", "a/docs/", "docs/"},
                                           LabelCase{"cdn.test", "x.js", "x.js \xC2\xB7 cdn.test"},
                                           LabelCase{"site.test", "bad\x01name",
                                                     "bad\xEF\xBF\xBDname"}));

TEST_P(RowLabel, NamesTheFileAndAForeignHost) {
    engine::WaterfallRow row = sampleRow(0, {GetParam().path, 0, 0, {}});
    row.host = GetParam().host;
    EXPECT_EQ(report::rowLabel(row, "site.test"), GetParam().label);
}

TEST(WaterfallText, ATipGivesTheSpanPhasesAndOutcome) {
    const engine::Waterfall w = sampleWaterfall(7);  // "56K"
    EXPECT_EQ(report::rowTip(w.rows[4], 7, nullptr),
              "http://site.test/missing.gif\n"
              "56K, connection 1: 0:00.300 to 0:00.330\n"
              "connect 0:00.010, send 0:00.000, wait 0:00.020, receive 0:00.000\n"
              "size 2.00 kb, status 404; Not Found\n"
              "Measured: requested 0:00.305 after the page's document");
}

TEST(WaterfallText, ATipAddsTheMeasuredFigures) {
    const engine::Waterfall w = sampleWaterfall(7);
    engine::WaterfallRow actual = w.rows[0];
    actual.parts = {3, 1, 20, 15};
    actual.receiveTime = 30;  // a document: the lane held half of it
    const std::string tip = report::rowTip(w.rows[0], 7, &actual);
    EXPECT_NE(tip.find("\nActual Speed: connect 0:00.003, send 0:00.001, wait 0:00.020, "
                       "receive 0:00.030\n"),
              std::string::npos)
        << tip;
    EXPECT_NE(tip.find("holds up the browse time"), std::string::npos);
    // At "Actual Speed" itself the line would repeat the bar.
    EXPECT_EQ(report::rowTip(w.rows[0], 0, &actual).find("\nActual Speed: connect 0:"),
              std::string::npos);
}

TEST(WaterfallText, ATipTellsADocumentsHalfReceiveAndEarlierFetches) {
    engine::WaterfallRow row = sampleRow(0, {"", 0, 0, {1, 0, 0, 50}});
    row.receiveTime = 100;
    row.measuredStart = -1200;
    row.redirected = true;
    const std::string tip = report::rowTip(row, 2, nullptr);
    EXPECT_NE(tip.find("receive 0:00.050 (half of 0:00.100: a document shows while it arrives)"),
              std::string::npos)
        << tip;
    EXPECT_NE(tip.find(", redirected"), std::string::npos);
    EXPECT_NE(tip.find("requested 0:01.200 before the page's document, for an earlier page"),
              std::string::npos);
    row.measuredStart.reset();
    EXPECT_EQ(report::rowTip(row, 2, nullptr).find("Measured"), std::string::npos);
}

}  // namespace
