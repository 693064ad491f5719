#include "engine/html/HtmlScanner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/http/ConnectionPool.h"
#include "engine/http/InternetRoot.h"
#include "engine/items/DownloadItem.h"
#include "engine/items/WebItem.h"
#include "engine/url/AcceptPattern.h"
#include "tests/support/TestServer.h"

namespace engine {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::string_view kPage = "http://example.com/dir/page.html";

// An item that holds `body` as if it had just been downloaded with `contentType`.
std::shared_ptr<WebItem> downloaded(std::string body, std::string contentType = "text/html",
                                    std::string_view address = kPage) {
    auto item = std::make_shared<WebItem>(ParsedUrl::parse(address));
    item->beginTransfer(item->address());
    TransferOutcome outcome;
    outcome.statusCode = 200;
    outcome.contentType = contentType;
    outcome.contentKind = classify(contentType);
    outcome.received = body.size();
    outcome.body = std::move(body);
    item->endTransfer(std::move(outcome));
    return item;
}

std::shared_ptr<const ScanResult> scanned(std::string body, ScanFlags flags = kScanAll) {
    auto item = downloaded(std::move(body));
    EXPECT_TRUE(scan(*item, flags));
    return item->scanResult();
}

// The resolved addresses of a list, in order.
std::vector<std::string> urls(const std::vector<LinkRef>& list) {
    std::vector<std::string> out;
    for (const LinkRef& ref : list) out.push_back(ref.url.urlText);
    return out;
}

TEST(HtmlScannerDocument, CollectsElementsAnchorsTitleAndBase) {
    const auto result = scanned(
        "<html><head><title>Home</title></head>"
        "<body><img src=logo.gif><a href=/about.html>About</a></body></html>");
    EXPECT_THAT(urls(result->elements), ElementsAre("http://example.com/dir/logo.gif"));
    EXPECT_THAT(urls(result->anchors), ElementsAre("http://example.com/about.html"));
    EXPECT_EQ(result->title, "Home");
    EXPECT_EQ(result->base.urlText, kPage);
    EXPECT_EQ(result->flags, kScanAll);
}

TEST(HtmlScannerDocument, ReferenceKeepsValueAsWrittenAndItsTagPosition) {
    const std::string body = "<p>x</p><IMG SRC=\"Pics/A&amp;B.gif\">";
    const auto result = scanned(body);
    ASSERT_EQ(result->elements.size(), 1u);
    const LinkRef& ref = result->elements[0];
    EXPECT_EQ(ref.urlText, "Pics/A&amp;B.gif");
    EXPECT_EQ(ref.position, body.find("<IMG"));
    EXPECT_TRUE(ref.url.valid);
    EXPECT_EQ(ref.url.host, "example.com");
}

TEST(HtmlScannerDocument, BodyIsByteIdenticalAfterTheScan) {
    const std::string body = "<html><body><img src=a.gif><a href=b.html>b</a>";
    auto item = downloaded(body);
    const std::shared_ptr<const std::string> before = item->body();
    ASSERT_TRUE(scan(*item, kScanAll));
    EXPECT_EQ(item->body(), before);  // the same buffer,
    EXPECT_EQ(*item->body(), body);   // the same bytes, nothing appended
    EXPECT_EQ(item->body()->size(), body.size());
    EXPECT_EQ(item->size(), body.size());
}

TEST(HtmlScannerDocument, OtherContentIsNeverParsed) {
    for (const char* type : {"text/css", "image/gif", "text/plain", ""}) {
        auto item = downloaded("<img src=a.gif><a href=b.html>b</a>", type);
        EXPECT_FALSE(scan(*item, kScanAll)) << type;
        EXPECT_THAT(item->scanResult()->elements, IsEmpty()) << type;
        EXPECT_THAT(item->scanResult()->anchors, IsEmpty()) << type;
        EXPECT_EQ(item->scanResult()->flags, 0u) << type;
    }
}

TEST(HtmlScannerDocument, ARescanReplacesTheListsAndANonDocumentEmptiesThem) {
    auto item = downloaded("<img src=a.gif><a href=b.html>b</a><title>T</title>");
    ASSERT_TRUE(scan(*item, kScanAll));
    ASSERT_TRUE(scan(*item, kScanElements));
    EXPECT_THAT(urls(item->scanResult()->elements), ElementsAre("http://example.com/dir/a.gif"));
    EXPECT_THAT(item->scanResult()->anchors, IsEmpty());
    EXPECT_EQ(item->scanResult()->flags, kScanElements);
    EXPECT_EQ(item->scanResult()->title, "T");  // kept: this scan did not ask for a title

    item->beginTransfer(item->address());
    TransferOutcome css;
    css.contentType = "text/css";
    css.contentKind = ContentKind::Css;
    item->endTransfer(std::move(css));
    EXPECT_FALSE(scan(*item, kScanAll));
    EXPECT_THAT(item->scanResult()->elements, IsEmpty());
    EXPECT_EQ(item->scanResult()->flags, 0u);
}

struct FlagCase {
    ScanFlags flags;
    std::size_t elements;
    std::size_t anchors;
    const char* title;
};

void PrintTo(const FlagCase& c, std::ostream* os) {
    *os << "flags " << c.flags;
}

class HtmlScannerFlags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(HtmlScannerFlags, CollectOnlyWhatIsAskedFor) {
    auto item = downloaded("<title>T</title><img src=a.gif><a href=b.html>b</a>");
    ASSERT_TRUE(scan(*item, GetParam().flags));
    const auto result = item->scanResult();
    EXPECT_EQ(result->elements.size(), GetParam().elements);
    EXPECT_EQ(result->anchors.size(), GetParam().anchors);
    EXPECT_EQ(result->title, GetParam().title);
    EXPECT_EQ(result->flags, GetParam().flags);
}

INSTANTIATE_TEST_SUITE_P(Bits, HtmlScannerFlags,
                         ::testing::Values(FlagCase{0, 0, 0, ""}, FlagCase{1, 1, 0, ""},
                                           FlagCase{2, 0, 1, ""}, FlagCase{4, 0, 0, "T"},
                                           FlagCase{6, 0, 1, "T"}, FlagCase{7, 1, 1, "T"}));

struct PatternCase {
    const char* tag;
    const char* pattern;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << c.tag;
}

class HtmlScannerAcceptPattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(HtmlScannerAcceptPattern, FollowsTheReferringTag) {
    const auto result = scanned(GetParam().tag, kScanElements);
    ASSERT_EQ(result->elements.size(), 1u);
    EXPECT_EQ(result->elements[0].acceptPattern, GetParam().pattern);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, HtmlScannerAcceptPattern,
    ::testing::Values(PatternCase{"<img src=a.gif>", "image/*"},
                      PatternCase{"<script src=s.js></script>", "application/*"},
                      PatternCase{"<object src=m.swf></object>", "application/*"},
                      PatternCase{"<embed src=m.swf>", "application/*"},
                      PatternCase{"<a background=bg.gif></a>", "*/*"},
                      PatternCase{"<td background=bg.gif></td>", "*/*"},
                      PatternCase{"<frame src=f.html>", "*/*"},
                      PatternCase{"<input type=image src=b.gif>", "*/*"},
                      PatternCase{"<link rel=stylesheet href=s.css>", "text/css"}));

TEST(HtmlScannerAcceptPattern, ScriptsAcceptTheirStandardAndLegacyTypes) {
    const auto result = scanned("<script src=s.js></script>", kScanElements);
    ASSERT_EQ(result->elements.size(), 1u);
    const std::string& pattern = result->elements[0].acceptPattern;
    EXPECT_TRUE(acceptsContentType(pattern, "text/javascript"));
    EXPECT_TRUE(acceptsContentType(pattern, "application/x-javascript"));
    EXPECT_TRUE(acceptsContentType(pattern, "application/javascript"));
    EXPECT_FALSE(acceptsContentType(pattern, "text/html"));
}

TEST(HtmlScannerAcceptPattern, StyleSheetsAcceptCssOnly) {
    const auto result = scanned("<link rel=stylesheet href=s.css>", kScanElements);
    ASSERT_EQ(result->elements.size(), 1u);
    EXPECT_TRUE(acceptsContentType(result->elements[0].acceptPattern, "text/css"));
    EXPECT_FALSE(acceptsContentType(result->elements[0].acceptPattern, "text/html"));
}

TEST(HtmlScannerElements, SameAddressInAnyCaseIsCollectedOnce) {
    const auto result = scanned("<IMG SRC=a.gif><img src=A.GIF><img src=b.gif>");
    ASSERT_EQ(result->elements.size(), 2u);
    EXPECT_EQ(result->elements[0].urlText, "a.gif");  // the first one stays, case kept
    EXPECT_EQ(result->elements[1].urlText, "b.gif");
}

TEST(HtmlScannerElements, DifferentlyWrittenReferencesToOneAddressAreOne) {
    const auto result = scanned("<img src=a.gif><img src=./a.gif><img src=/dir/a.gif>");
    EXPECT_THAT(urls(result->elements), ElementsAre("http://example.com/dir/a.gif"));
}

TEST(HtmlScannerElements, ListsAreDeduplicatedSeparately) {
    const auto result = scanned("<a href=x.html>x</a><frame src=x.html>");
    EXPECT_EQ(result->anchors.size(), 1u);
    EXPECT_EQ(result->elements.size(), 1u);
}

TEST(HtmlScannerElements, TakeTheFirstSrcOrBackgroundWithAValue) {
    EXPECT_THAT(urls(scanned("<td src=\"\" BACKGROUND=bg.gif src=s.gif>")->elements),
                ElementsAre("http://example.com/dir/bg.gif"));
    EXPECT_THAT(scanned("<img src=\"\">")->elements, IsEmpty());
    EXPECT_THAT(scanned("<img data-src=a.gif srcset=b.gif>")->elements, IsEmpty());
}

TEST(HtmlScannerElements, ChildrenComeBeforeTheirParent) {
    const auto result = scanned(
        "<table background=t.gif><tr><td background=d.gif>"
        "<img src=i.gif></td></tr></table><img src=after.gif>");
    EXPECT_THAT(urls(result->elements),
                ElementsAre("http://example.com/dir/i.gif", "http://example.com/dir/d.gif",
                            "http://example.com/dir/t.gif", "http://example.com/dir/after.gif"));
}

TEST(HtmlScannerElements, AnUnquotedValueRunningIntoSlashCloseIsLost) {
    EXPECT_THAT(scanned("<img src=a.gif/>")->elements, IsEmpty());
    EXPECT_THAT(urls(scanned("<img src=\"a.gif\"/>")->elements),
                ElementsAre("http://example.com/dir/a.gif"));
}

struct LinkCase {
    const char* tag;
    bool collected;
};

void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << c.tag;
}

class HtmlScannerStyleSheet : public ::testing::TestWithParam<LinkCase> {};

TEST_P(HtmlScannerStyleSheet, IsALinkWithRelStylesheetAndHref) {
    EXPECT_EQ(scanned(GetParam().tag, kScanElements)->elements.size(),
              GetParam().collected ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Links, HtmlScannerStyleSheet,
                         ::testing::Values(LinkCase{"<link rel=stylesheet href=s.css>", true},
                                           LinkCase{"<LINK REL=\"StyleSheet\" HREF=s.css>", true},
                                           LinkCase{"<link rel=icon href=f.ico>", false},
                                           LinkCase{"<link rel=stylesheet>", false},
                                           LinkCase{"<link rel=stylesheet href=\"\">", false},
                                           LinkCase{"<link href=s.css>", false},
                                           // A LINK is looked at only as a stylesheet.
                                           LinkCase{"<link rel=icon src=f.ico>", false}));

TEST(HtmlScannerAnchors, MailLinksAreSkippedButABareMailtoIsKept) {
    // Seven characters are enough to be skipped, whatever the seventh is.
    const auto result = scanned(
        "<a href=mailto:x>m</a><a href=MAILTO:someone@example.com>m</a><a href=\"mailto:\">m</a>"
        "<a href=mailtox>m</a><a href=mailto>k</a>");
    ASSERT_EQ(result->anchors.size(), 1u);
    EXPECT_EQ(result->anchors[0].urlText, "mailto");
    EXPECT_EQ(result->anchors[0].url.urlText, "http://example.com/dir/mailto");
    EXPECT_EQ(result->anchors[0].acceptPattern, "*/*");
}

TEST(HtmlScannerAnchors, TakeTheFirstHrefInAnyCase) {
    const auto result = scanned("<a HREF=one.html href=two.html>x</a>", kScanAnchors);
    EXPECT_THAT(urls(result->anchors), ElementsAre("http://example.com/dir/one.html"));
}

TEST(HtmlScannerAnchors, AnAnchorIsNoElementWhenAnchorsAreCollected) {
    EXPECT_THAT(scanned("<a href=x.html background=bg.gif>x</a>", kScanAll)->elements, IsEmpty());
    EXPECT_THAT(urls(scanned("<a href=x.html background=bg.gif>x</a>", kScanElements)->elements),
                ElementsAre("http://example.com/dir/bg.gif"));
}

TEST(HtmlScannerTitle, IsTheFirstTextOfTheTitleWithEntitiesKept) {
    EXPECT_EQ(scanned("<title>\r\n  Tom &amp; Jerry  <b>x</b> more</title>")->title,
              " Tom &amp; Jerry ");
    EXPECT_EQ(scanned("<title></title>")->title, "");
}

TEST(HtmlScannerBase, AppliesToReferencesBeforeAndAfterIt) {
    const auto result = scanned(
        "<img src=a.gif><a href=x.html>x</a><base href=\"http://cdn.example.net/s/\">"
        "<img src=b.gif>");
    EXPECT_EQ(result->base.urlText, "http://cdn.example.net/s/");
    EXPECT_THAT(urls(result->elements),
                ElementsAre("http://cdn.example.net/s/a.gif", "http://cdn.example.net/s/b.gif"));
    EXPECT_THAT(urls(result->anchors), ElementsAre("http://cdn.example.net/s/x.html"));
}

TEST(HtmlScannerBase, ARelativeBaseIsTakenRelativeToTheDocument) {
    const auto result =
        scanned("<img src=a.gif><base href=\"../static/\"><a href=x.html>x</a><img src=b.gif>");
    EXPECT_EQ(result->base.urlText, "http://example.com/static/");
    EXPECT_THAT(urls(result->elements),
                ElementsAre("http://example.com/static/a.gif", "http://example.com/static/b.gif"));
    EXPECT_THAT(urls(result->anchors), ElementsAre("http://example.com/static/x.html"));
    for (const LinkRef& ref : result->elements) EXPECT_TRUE(ref.url.valid);
}

TEST(HtmlScannerBase, WithoutHrefTheDocumentIsItsOwnBase) {
    EXPECT_EQ(scanned("<base target=_top><img src=a.gif>")->base.urlText, kPage);
    EXPECT_EQ(scanned("<base href=\"\"><img src=a.gif>")->base.urlText, kPage);
}

TEST(HtmlScannerBase, IsTakenAlsoWithoutAnyFlag) {
    EXPECT_EQ(scanned("<base href=\"/b/\">", 0)->base.urlText, "http://example.com/b/");
}

// The transfer accepts a script answered with today's type for the pattern the scanner gave it.
TEST(HtmlScannerTransfer, AScriptServedAsTextJavascriptCompletes) {
    support::TestServer server;
    const std::string page = server.url("/content?type=text/html");
    auto document = downloaded(
        "<script src=\"/content?type=text/javascript&body=var%20x%3D1;\">"
        "</script><img src=\"/content?type=text/javascript\">",
        "text/html", page);
    ASSERT_TRUE(scan(*document, kScanElements));
    const auto result = document->scanResult();
    ASSERT_EQ(result->elements.size(), 2u);

    ConnectionSettings direct;
    direct.proxy = ConnectionSettings::kProxyNone;
    const InternetRoot root(direct, {}, ConnectionPool::process());
    WebItem script(result->elements[0].url);
    script.setAcceptPattern(result->elements[0].acceptPattern);
    EXPECT_EQ(downloadItem(root, script, script.address()), 0);
    EXPECT_EQ(script.phase(), LoadPhase::Completed);
    EXPECT_EQ(script.contentKind(), ContentKind::Script);
    EXPECT_EQ(*script.body(), "var x=1;");

    // An image reference answered with a script is still refused.
    WebItem image(result->elements[1].url);
    image.setAcceptPattern(result->elements[1].acceptPattern);
    EXPECT_EQ(downloadItem(root, image, image.address()), -1);
    EXPECT_EQ(image.statusCode(), 406);
}

}  // namespace
}  // namespace engine
