#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>

#include "engine/html/HtmlParser.h"
#include "engine/html/HtmlScanner.h"
#include "engine/items/WebItem.h"

// Markup inside an HTML comment is no markup: a browser fetches nothing a comment names, so the
// parse gives it no node and the scan no reference, title or base.
namespace engine {
namespace {

// The top-level nodes as "NAME@start" or "'text'@start", space-separated.
std::string nodes(std::string_view document) {
    const HtmlDocument parsed = HtmlParser::parse(document);
    std::string out;
    for (const HtmlNode& node : parsed.root().children()) {
        if (!out.empty()) out += ' ';
        out += node.tag() == HtmlTag::kBodyText ? "'" + std::string(node.text()) + "'"
                                                : std::string(node.name());
        out += '@' + std::to_string(node.start());
    }
    return out;
}

struct CommentCase {
    const char* document;
    const char* nodes;
};

std::ostream& operator<<(std::ostream& out, const CommentCase& c) {
    return out << c.document;
}

class HtmlComment : public ::testing::TestWithParam<CommentCase> {};

TEST_P(HtmlComment, HidesItsMarkupAndKeepsEveryOtherPosition) {
    EXPECT_EQ(nodes(GetParam().document), GetParam().nodes);
}

INSTANTIATE_TEST_SUITE_P(
    Comments, HtmlComment,
    ::testing::Values(CommentCase{"<!-- <img src=old.png> --><br>", "BR@26"},
                      CommentCase{"a<!-- x -->b", "'a'@0 'b'@11"},
                      CommentCase{"<!--<br>--><br>", "BR@11"},
                      // "--" inside does not end it; only "-->" does.
                      CommentCase{"<!-- a -- b --><br>", "BR@15"},
                      // The empty comments a browser ends at once.
                      CommentCase{"<!--><br>", "BR@5"}, CommentCase{"<!---><br>", "BR@6"},
                      // An unclosed comment runs to the end of the document.
                      CommentCase{"<br><!-- <img src=a.gif>", "BR@0"},
                      // Inside an element, the comment's closing tag closes nothing.
                      CommentCase{"<p><!-- </p> -->x</p><br>", "P@0 BR@21"},
                      // Declarations are not comments.
                      CommentCase{"<!DOCTYPE html><br>", "!DOCTYPE@0 BR@15"}));

std::shared_ptr<const ScanResult> scanned(const std::string& body) {
    auto item = std::make_shared<WebItem>(ParsedUrl::parse("http://example.com/"));
    item->beginTransfer(item->address());
    TransferOutcome outcome;
    outcome.statusCode = 200;
    outcome.contentType = "text/html";
    outcome.contentKind = classify(outcome.contentType);
    outcome.received = body.size();
    outcome.body = body;
    item->endTransfer(std::move(outcome));
    EXPECT_TRUE(scan(*item, kScanAll));
    return item->scanResult();
}

TEST(HtmlCommentScan, NamesNoElementAnchorTitleOrBase) {
    const std::string body =
        "<html><head><!-- <title>Old</title><base href=http://old.example/> -->"
        "<title>New</title></head><body><!-- <img src=old.png> <a href=old.html>x</a>\n"
        "<link rel=stylesheet href=old.css> --><img src=new.png></body></html>";
    const auto result = scanned(body);
    EXPECT_EQ(result->title, "New");
    EXPECT_EQ(result->base.urlText, "http://example.com/");
    ASSERT_EQ(result->elements.size(), 1u);
    EXPECT_EQ(result->elements[0].url.urlText, "http://example.com/new.png");
    EXPECT_EQ(result->elements[0].position, body.find("<img src=new.png>"));
    EXPECT_TRUE(result->anchors.empty());
}

}  // namespace
}  // namespace engine
