#include "report/PageAnalyzer.h"

#include <gtest/gtest.h>

#include "report/AnalysisHint.h"

namespace {

using report::AnalysisItem;
using report::AnalysisPage;
using report::PageAnalyzer;

AnalysisItem item(const std::string& url, const std::string& host, int kind, std::uint32_t size,
                  std::uint32_t time = 100) {
    AnalysisItem i;
    i.urlText = url;
    i.host = host;
    i.objectPath = url.substr(url.rfind('/') + 1);
    i.phase = 5;
    i.contentKind = kind;
    i.contentType = kind == 1 ? "text/html" : kind == 2 ? "image/gif" : "text/css";
    i.size = size;
    i.totalTime = time;
    return i;
}

AnalysisPage finishedPage(std::vector<AnalysisItem> items) {
    AnalysisPage page;
    page.state = 4;
    page.stateText = "Finished";
    page.hasRootItem = true;
    page.scanFlags = 7;
    page.address = "http://www.site.com/";
    page.items = std::move(items);
    page.itemCount = static_cast<int>(page.items.size());
    for (const auto& i : page.items) {
        page.size += i.size;
        page.pageTime[0] += i.totalTime;
    }
    return page;
}

// The class and text one hint gives the page.
std::pair<int, std::string> hint(int index, const AnalysisPage& page) {
    std::string text;
    const int c =
        report::AnalysisHint::all()[static_cast<std::size_t>(index)]->evaluate(page, text);
    return {c, text};
}

enum { kErrors, kImages, kHosts, kHtmlSize, kSlow, kPageSize };

TEST(PageAnalysis, WorstClassKeepsItsHintsJoinedByRules) {
    // Hints give 1, 1, 2, 3, 3, 1: HTML Size (30000 bytes) and Slow Elements decide.
    auto page = finishedPage({item("http://www.site.com/", "www.site.com", 1, 30000, 1000),
                              item("http://cdn.other.org/i.gif", "cdn.other.org", 2, 1000, 2001),
                              item("http://www.site.com/a.css", "www.site.com", 9, 100, 666),
                              item("http://www.site.com/b.css", "www.site.com", 9, 100, 666),
                              item("http://www.site.com/c.css", "www.site.com", 9, 100, 667)});
    page.size = 10000;  // the Page Size hint on its own reads the page's size
    const auto result = PageAnalyzer::analyzePage(page);
    EXPECT_EQ(result.pageClass, 3);
    EXPECT_EQ(result.text,
              "<B> Page Class: <FONT color=\"blue\"> Normal </FONT></B><HR>"
              "Web Page HTML size is 29.30 kb.<HR>"
              "The following 1 Web Page element(s) consumed 40.02% (0:02.001) of the total "
              "download time:<BR><b>URL:</b> <a href=\"http://cdn.other.org/i.gif\"> i.gif "
              "</a><BR><b>Time: </b>0:02.001<BR><BR>");
}

TEST(PageAnalysis, NotLoadedPagesAreNotGraded) {
    auto page = finishedPage({item("http://www.site.com/", "www.site.com", 1, 3000)});
    page.scanFlags = 6;  // loaded without elements
    EXPECT_EQ(PageAnalyzer::analyzePage(page).pageClass, 0);
    EXPECT_EQ(PageAnalyzer::analyzePage(page).text, "Web page is not loaded.");
    page.scanFlags = 7;
    page.state = 64;
    EXPECT_EQ(PageAnalyzer::analyzePage(page).text, "Web page is not loaded.");
}

TEST(PageAnalysis, HtmlSizeLimits) {
    EXPECT_EQ(hint(kHtmlSize, finishedPage({item("u", "h", 1, 2047)})),
              std::make_pair(1, std::string("Web Page HTML size is less than 2KB")));
    EXPECT_EQ(hint(kHtmlSize, finishedPage({item("u", "h", 1, 40960)})),
              std::make_pair(4, std::string("Web Page HTML size is 40.00 kb that will take more "
                                            "than 5 seconds to download on 56K connection.")));
    EXPECT_EQ(hint(kHtmlSize, finishedPage({item("u", "h", 9, 4000)})).first, 0);
}

TEST(PageAnalysis, ImageShareAllowsForSmallPages) {
    // 45 % images: base class 3, less 2 under 100 kb, less 0 at 200 kb.
    const auto pageOf = [](std::uint32_t total) {
        const auto images = static_cast<std::uint32_t>(total * 0.45);
        return finishedPage({item("d", "h", 1, total - images), item("i.gif", "h", 2, images)});
    };
    EXPECT_EQ(hint(kImages, pageOf(51200)).first, 1);
    EXPECT_EQ(hint(kImages, pageOf(204800)).first, 3);
    EXPECT_EQ(hint(kImages, pageOf(204800)).second,
              "Web Page contains 1 images (90.00 kb) that take 45.00% of the total page size.");
    EXPECT_EQ(hint(kImages, finishedPage({item("d", "h", 1, 0)})).first, 0);
}

TEST(PageAnalysis, SameSiteHostsCountAsOwn) {
    EXPECT_EQ(report::siteSuffix("www.example.com"), ".example.com");
    EXPECT_EQ(report::siteSuffix("img.example.com"), ".example.com");
    EXPECT_EQ(report::siteSuffix("localhost"), "localhost");
    const auto own =
        finishedPage({item("a", "www.example.com", 1, 100), item("b", "IMG.example.com", 2, 100)});
    EXPECT_EQ(hint(kHosts, own),
              std::make_pair(1, std::string("All page elementes are located on original host.")));
    const auto foreign =
        finishedPage({item("a", "www.example.com", 1, 100), item("b", "cdn.other.net", 2, 900)});
    EXPECT_EQ(hint(kHosts, foreign).first, 5);
    EXPECT_EQ(hint(kHosts, foreign).second,
              "Web Page contains 1 elements from external hosts that take 90.00% of total "
              "size:<BR><B>Host:</B> <a href=\"http://cdn.other.net\">cdn.other.net</a><BR>"
              "<B>Elements:</b> 1<BR><b>Size:</b> 900 b<BR><BR>");
    // No bytes at all: the share is 0, not a division by zero.
    const auto empty =
        finishedPage({item("a", "www.example.com", 1, 0), item("b", "cdn.other.net", 2, 0)});
    EXPECT_EQ(hint(kHosts, empty).first, 2);
    EXPECT_NE(hint(kHosts, empty).second.find("0.00%"), std::string::npos);
}

TEST(PageAnalysis, PageSizeSteps) {
    EXPECT_EQ(hint(kPageSize, finishedPage({item("a", "h", 1, 5120)})),
              std::make_pair(1, std::string("Web Page size is more than 5.00 kb but less than "
                                            "20.00 kb.")));
    EXPECT_EQ(hint(kPageSize, finishedPage({item("a", "h", 1, 153600)})).first, 5);
    EXPECT_EQ(hint(kPageSize, finishedPage({item("a", "h", 1, 256000)})),
              std::make_pair(6, std::string("Web Page size is more than 250KB")));
}

TEST(PageAnalysis, SlowLimitIsTwiceTheAverage) {
    // Four items, 4000 ms in all: the limit is 2000 ms.
    const auto pageWith = [](std::uint32_t imageTime) {
        auto page = finishedPage({item("d", "h", 1, 10, 1000), item("i", "h", 2, 10, imageTime),
                                  item("c", "h", 9, 10, 500), item("e", "h", 9, 10, 500)});
        page.pageTime[0] = 4000;
        return page;
    };
    EXPECT_EQ(
        hint(kSlow, pageWith(2000)),
        std::make_pair(1, std::string("All Web Page elements were downloaded with no lags.")));
    EXPECT_EQ(hint(kSlow, pageWith(2001)).first, 4);  // 2001 / 4000 > 0.5
}

TEST(PageAnalysis, AdviceFromMediumOnButNeverForErrors) {
    auto page = finishedPage({item("http://www.site.com/", "www.site.com", 1, 50000)});
    page.items[0].phase = 6;
    const auto result = PageAnalyzer::analyzePage(page);
    EXPECT_EQ(result.pageClass, 6);
    EXPECT_EQ(result.text.find("Web Page contains error(s)"), result.text.find("<HR>") + 4);
    EXPECT_EQ(result.text.find("<BR><b>Hint: </b>Consider not"), std::string::npos);
    // The HTML Size hint (class 4) only shows in the general report, without its advice there.
    EXPECT_EQ(result.text.find("Consider reducing the HTML size"), std::string::npos);
    page.items[0].phase = 5;
    EXPECT_NE(PageAnalyzer::analyzePage(page).text.find(
                  "<BR><b>Hint: </b>Consider reducing the HTML size to 30KB"),
              std::string::npos);
}

TEST(AnalysisReports, ConsolidatedListsWorstFirstWithoutEmptyClasses) {
    auto critical = finishedPage({item("http://c/", "c", 1, 100)});
    critical.address = "http://critical/";
    critical.storedClass = 6;
    auto perfect = finishedPage({item("http://p/", "p", 1, 100)});
    perfect.address = "http://perfect/";
    perfect.storedClass = 1;
    auto unloaded = perfect;
    unloaded.state = 1;
    const auto report = PageAnalyzer::consolidatedReport({perfect, critical, unloaded});
    EXPECT_LT(report.find("http://critical/"), report.find("http://perfect/"));
    EXPECT_EQ(report.find("Normal"), std::string::npos);
    EXPECT_EQ(report.find("Class: <FONT color=\"red\"> Critical </FONT>"),
              report.rfind("Class: <FONT color=\"red\"> Critical </FONT>"));
    EXPECT_EQ(PageAnalyzer::analysisReport(0, true, nullptr, {}), "Report Not Available");
    EXPECT_EQ(PageAnalyzer::analysisReport(1, false, nullptr, {}), "Report not available");
    EXPECT_EQ(PageAnalyzer::analysisReport(1, false, &unloaded, {}), "Report not available");
}

TEST(AnalysisReports, NetworkTextsCannotInjectMarkup) {
    auto page = finishedPage(
        {item("http://www.site.com/", "www.site.com", 1, 3000),
         item("http://www.site.com/\"><img src=x onerror=alert(2)>.gif", "www.site.com", 2, 10)});
    page.title = "<script>alert(1)</script> &amp; more";
    page.items[1].phase = 6;
    page.storedClass = PageAnalyzer::analyzePage(page).pageClass;
    const std::string general = PageAnalyzer::generalReport(page);
    EXPECT_EQ(general.find("<script>"), std::string::npos);
    EXPECT_EQ(general.find("<img src=x"), std::string::npos);
    EXPECT_NE(general.find("&lt;script&gt;alert(1)&lt;/script&gt; &amp; more"), std::string::npos);
    page.storedText = PageAnalyzer::analyzePage(page).text;
    EXPECT_EQ(page.storedText.find("<img src=x"), std::string::npos);
    EXPECT_EQ(PageAnalyzer::consolidatedReport({page}).find("<img src=x"), std::string::npos);
}

TEST(AnalysisReports, GeneralReportSections) {
    auto page = finishedPage({item("http://www.site.com/", "www.site.com", 1, 3000, 1200)});
    page.downloadTime[0] = 3500;
    page.matchedConditions = {"Slow <b>page</b>"};
    page.storedClass = 1;
    const std::string general = PageAnalyzer::generalReport(page);
    EXPECT_EQ(general.rfind("</BODY>"), general.size() - 7);
    EXPECT_NE(general.find("<CENTER> <P class=lmtitle>General Web Page Analysis Report</P>"),
              std::string::npos);
    EXPECT_NE(general.find("   0:03.500 (4 sec)\r\n"), std::string::npos);
    EXPECT_NE(general.find("   Slow <b>page</b>\r\n"), std::string::npos);  // typed by the user
    EXPECT_NE(general.find("   &nbsp&nbsp&nbspPerfect&nbsp&nbsp&nbsp\r\n"), std::string::npos);
    EXPECT_NE(general.find("   14.4K\r\n"), std::string::npos);
}

}  // namespace
