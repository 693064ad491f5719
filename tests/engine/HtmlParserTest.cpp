#include "engine/html/HtmlParser.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace engine {
namespace {

using ::testing::ElementsAre;

// A compact outline of a tree: NAME[attr=value ...](children ...), text nodes in quotes.
std::string outline(const HtmlNode& node);

std::string joined(HtmlNode::ChildRange children) {
    std::string out;
    for (const HtmlNode& c : children) out += (out.empty() ? "" : " ") + outline(c);
    return out;
}

std::string outline(const HtmlNode& node) {
    if (node.tag() == HtmlTag::kBodyText) return '"' + std::string(node.text()) + '"';
    std::string out(node.name());
    if (!node.attributes().empty()) {
        out += '[';
        for (const HtmlAttribute& a : node.attributes()) {
            if (&a != node.attributes().data()) out += ' ';
            out += std::string(a.name) + '=' + std::string(a.value);
        }
        out += ']';
    }
    if (!node.children().empty()) out += '(' + joined(node.children()) + ')';
    return out;
}

// The outline of the document's top-level nodes.
std::string parsed(std::string_view document) {
    return joined(HtmlParser::parse(document).root().children());
}

const HtmlNode& child(const HtmlNode& node, std::size_t index) {
    auto it = node.children().begin();
    for (std::size_t i = 0; i < index; ++i) ++it;
    return *it;
}

TEST(HtmlParserRoot, IsADocumentNodeSpanningTheWholeInput) {
    const std::string document = "<p>x</p>";
    const HtmlDocument parsedDocument = HtmlParser::parse(document);
    const HtmlNode& root = parsedDocument.root();
    EXPECT_EQ(root.tag(), HtmlTag::kDocument);
    EXPECT_EQ(root.tagId(), 14);
    EXPECT_EQ(root.name(), "DOCUMENT");
    EXPECT_EQ(root.start(), 0u);
    EXPECT_EQ(root.end(), document.size());
}

TEST(HtmlParserRoot, OfAnEmptyDocumentHasNoChildren) {
    const HtmlDocument parsedDocument = HtmlParser::parse("");
    const HtmlNode& root = parsedDocument.root();
    EXPECT_TRUE(root.children().empty());
    EXPECT_EQ(root.end(), 0u);
}

struct TextCase {
    const char* document;
    const char* outline;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.document);
}

class HtmlParserText : public ::testing::TestWithParam<TextCase> {};

TEST_P(HtmlParserText, KeepsRunsWithMoreThanSeparators) {
    EXPECT_EQ(parsed(GetParam().document), GetParam().outline);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, HtmlParserText,
    ::testing::Values(TextCase{" \r\n <br> \n", "BR"},         // separators only
                      TextCase{"\t<br>", "\"\t\" BR"},         // a tab is text
                      TextCase{"a  b\r\n\r\nc", "\"a b c\""},  // runs become one space
                      TextCase{"a\nb c\rd", "\"a\nb c\rd\""},  // single ones stay
                      TextCase{"  lead and trail  ", "\" lead and trail \""},  // not trimmed
                      TextCase{"a &amp; b", "\"a &amp; b\""},                  // entities stay
                      TextCase{"x<br>y", "\"x\" BR \"y\""}));

TEST(HtmlParserText, SpansTheRunBetweenTags) {
    const HtmlDocument parsedDocument = HtmlParser::parse("<br>  ab  <br>");
    const HtmlNode& root = parsedDocument.root();
    const HtmlNode& text = child(root, 1);
    EXPECT_EQ(text.tagId(), 3);
    EXPECT_EQ(text.start(), 4u);
    EXPECT_EQ(text.end(), 10u);
}

struct TagIdCase {
    const char* written;
    std::int32_t id;
};

void PrintTo(const TagIdCase& c, std::ostream* os) {
    *os << '<' << c.written << '>';
}

class HtmlParserTagId : public ::testing::TestWithParam<TagIdCase> {};

TEST_P(HtmlParserTagId, FollowsTheRegistrationList) {
    const HtmlDocument parsedDocument =
        HtmlParser::parse(std::string("<") + GetParam().written + ">");
    const HtmlNode& root = parsedDocument.root();
    ASSERT_EQ(root.childCount(), 1u);
    EXPECT_EQ(child(root, 0).tagId(), GetParam().id);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HtmlParserTagId,
    ::testing::Values(TagIdCase{"br", 2}, TagIdCase{"html", 4}, TagIdCase{"body", 5},
                      TagIdCase{"title", 6}, TagIdCase{"a", 7}, TagIdCase{"img", 8},
                      TagIdCase{"tr", 9}, TagIdCase{"td", 10}, TagIdCase{"table", 11},
                      TagIdCase{"center", 12}, TagIdCase{"head", 13}, TagIdCase{"link", 15},
                      TagIdCase{"meta", 16}, TagIdCase{"!doctype", 17}, TagIdCase{"option", 18},
                      TagIdCase{"area", 19}, TagIdCase{"input", 20}, TagIdCase{"Base", 22},
                      TagIdCase{"div", 1}, TagIdCase{"unknown", 1}, TagIdCase{"", 1},
                      // The names of the tree's own nodes are unknown tags when written.
                      TagIdCase{"document", 1}, TagIdCase{"bodytext", 1}));

TEST(HtmlParserTags, NamesAreUpperCasedAndEndAtSpaceSlashOrBracket) {
    EXPECT_EQ(parsed("<Img src=a><hR/><Foo bar>"), "IMG[src=a] HR FOO[bar=]");
}

TEST(HtmlParserTags, NamesAlsoEndAtLineBreaks) {
    EXPECT_EQ(parsed("<img\nsrc=a.gif><link\r\nrel=x>"), "IMG[src=a.gif] LINK[rel=x]");
}

class HtmlParserEmptyTag : public ::testing::TestWithParam<const char*> {};

TEST_P(HtmlParserEmptyTag, NeverTakesContentAndEndsAtItsBracket) {
    const std::string document = std::string("<") + GetParam() + " x=1>text";
    const HtmlDocument parsedDocument = HtmlParser::parse(document);
    const HtmlNode& root = parsedDocument.root();
    ASSERT_EQ(root.childCount(), 2u);
    EXPECT_TRUE(child(root, 0).children().empty());
    EXPECT_EQ(child(root, 0).end(), document.find('>') + 1);
    EXPECT_EQ(child(root, 1).text(), "text");
}

INSTANTIATE_TEST_SUITE_P(Tags, HtmlParserEmptyTag,
                         ::testing::Values("img", "base", "br", "link", "meta", "area", "input",
                                           "!doctype"));

TEST(HtmlParserTags, OthersTakeContentUntilTheirClosingTag) {
    const std::string document = "<table><tr><td>x</td></tr></table><p>y";
    const HtmlDocument parsedDocument = HtmlParser::parse(document);
    const HtmlNode& root = parsedDocument.root();
    EXPECT_EQ(outline(root), "DOCUMENT(TABLE(TR(TD(\"x\"))) P(\"y\"))");
    EXPECT_EQ(child(root, 0).end(), document.find("<p>"));
    EXPECT_EQ(child(root, 1).end(), document.size());
}

TEST(HtmlParserTags, ClosedInThemselvesHaveNoContent) {
    EXPECT_EQ(parsed("<div/>x<div a=\"1\"/>y<div a=1 />z"),
              "DIV \"x\" DIV[a=1] \"y\" DIV[a=1] \"z\"");
}

TEST(HtmlParserTags, ASlashAfterTheNameEndsTheAttributes) {
    EXPECT_EQ(parsed("<a/ href=x>in</a>"), "A(\"in\")");
}

TEST(HtmlParserTags, WithoutBracketAtTheEndAreDroppedAndEndTheParse) {
    EXPECT_EQ(parsed("<p>kept</p><img src=a.gif"), "P(\"kept\")");
    EXPECT_EQ(parsed("x<"), "\"x\"");
    EXPECT_EQ(parsed("x<a href=\"never closed>"), "\"x\"");
    EXPECT_EQ(parsed("<b>x</b"), "B(\"x\")");
}

TEST(HtmlParserClosing, ClosesTheNearestOpenElementOfThatName) {
    EXPECT_EQ(parsed("<b><b>in</b>out</b>after"), "B(B(\"in\") \"out\") \"after\"");
}

TEST(HtmlParserClosing, ClosesEveryElementOpenedInside) {
    const std::string document = "<div><p><i>x</div>y";
    const HtmlDocument parsedDocument = HtmlParser::parse(document);
    const HtmlNode& root = parsedDocument.root();
    EXPECT_EQ(outline(root), "DOCUMENT(DIV(P(I(\"x\"))) \"y\")");
    const HtmlNode& div = child(root, 0);
    EXPECT_EQ(div.end(), document.find('y'));
    // The elements closed by the ancestor's tag end where that tag begins.
    EXPECT_EQ(child(div, 0).end(), document.find("</div>"));
    EXPECT_EQ(child(child(div, 0), 0).end(), document.find("</div>"));
}

TEST(HtmlParserClosing, ThatMatchesNoOpenElementIsSkipped) {
    EXPECT_EQ(parsed("<p>a</td>b</p>c"), "P(\"a\" \"b\") \"c\"");
    EXPECT_EQ(parsed("</html>x"), "\"x\"");
    EXPECT_EQ(parsed("<p>a</document>b"), "P(\"a\" \"b\")");  // the root is not closable
}

TEST(HtmlParserClosing, NameRunsToTheBracketAndIgnoresCase) {
    EXPECT_EQ(parsed("<p>a</P>b"), "P(\"a\") \"b\"");
    EXPECT_EQ(parsed("<p>a</p >b"), "P(\"a\" \"b\")");
}

struct AttributeCase {
    const char* tag;
    std::vector<HtmlAttribute> attributes;
};

void PrintTo(const AttributeCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.tag);
}

class HtmlParserAttributes : public ::testing::TestWithParam<AttributeCase> {};

TEST_P(HtmlParserAttributes, AreReadAsWritten) {
    const HtmlDocument parsedDocument = HtmlParser::parse(GetParam().tag);
    const HtmlNode& root = parsedDocument.root();
    ASSERT_FALSE(root.children().empty());
    const auto attributes = child(root, 0).attributes();
    EXPECT_EQ(std::vector<HtmlAttribute>(attributes.begin(), attributes.end()),
              GetParam().attributes);
}

INSTANTIATE_TEST_SUITE_P(
    Values, HtmlParserAttributes,
    ::testing::Values(AttributeCase{"<img SRC=a.gif Alt=x>", {{"SRC", "a.gif"}, {"Alt", "x"}}},
                      AttributeCase{"<img src=\"a b.gif\">", {{"src", "a b.gif"}}},
                      AttributeCase{"<img src='a \"b\".gif'>", {{"src", "a \"b\".gif"}}},
                      AttributeCase{"<img src=\\\"a.gif\\\">", {{"src", "a.gif"}}},
                      AttributeCase{"<img src=\\'a.gif\\'>", {{"src", "a.gif"}}},
                      AttributeCase{"<img src=\\'a.gif'>", {{"src", "a.gif"}}},
                      AttributeCase{"<img src=\"a.gif\\\">",
                                    {{"src", "a.gif\\"}}},  // not escaped: kept
                      AttributeCase{"<img src=\\a.gif>", {{"src", "\\a.gif"}}},
                      AttributeCase{"<img alt=\"a > b\" src=c>", {{"alt", "a > b"}, {"src", "c"}}},
                      AttributeCase{"<img src=\"\">", {{"src", ""}}},
                      AttributeCase{"<img src=>", {{"src", ""}}},
                      AttributeCase{"<input checked name=x>", {{"checked", ""}, {"name", "x"}}},
                      AttributeCase{"<img src = a.gif>", {{"src", "a.gif"}}},
                      AttributeCase{"<img src= = a.gif>", {{"src", "a.gif"}}},
                      AttributeCase{"<img\r\nsrc=a\r\nalt=b\r\n>", {{"src", "a"}, {"alt", "b"}}},
                      AttributeCase{"<img =src=a>", {{"src", "a"}}},
                      AttributeCase{"<img src=\"a\"alt='b'>", {{"src", "a"}, {"alt", "b"}}},
                      AttributeCase{"<img src=a&amp;b>", {{"src", "a&amp;b"}}},
                      AttributeCase{"<img \t src=a>", {{"src", "a"}}},  // a blank name is dropped
                      AttributeCase{"<img src=a\tb>", {{"src", "a\tb"}}},
                      // The "/>" of a tag closed in itself.
                      AttributeCase{"<img src=a.gif/>", {}},
                      AttributeCase{"<img alt=x src=a.gif/>", {{"alt", "x"}}},
                      AttributeCase{"<img src=a.gif />", {{"src", "a.gif"}}},
                      AttributeCase{"<img src=\"a.gif\"/>", {{"src", "a.gif"}}},
                      AttributeCase{"<input disabled/>", {{"disabled", ""}}},
                      AttributeCase{"<img src=a/b.gif>", {{"src", "a/b.gif"}}}));

TEST(HtmlParserAttributes, AnUnquotedValueRunningIntoSlashCloseEndsTheList) {
    const HtmlDocument parsedDocument = HtmlParser::parse("<div src=a/>text");
    const HtmlNode& root = parsedDocument.root();
    EXPECT_EQ(outline(root), "DOCUMENT(DIV \"text\")");
}

TEST(HtmlParserAttributes, AnUnclosedQuoteDropsTheTagAndEndsTheParse) {
    EXPECT_EQ(parsed("<p>a</p><img src=\"a.gif>b"), "P(\"a\")");
}

TEST(HtmlParserScript, ContentIsRawTrimmedText) {
    const std::string document = "<script src=s.js>\r\n if (a<b) x='<img src=c>'; \n</ScRiPt>y";
    const HtmlDocument parsedDocument = HtmlParser::parse(document);
    const HtmlNode& root = parsedDocument.root();
    ASSERT_EQ(root.childCount(), 2u);
    const HtmlNode& script = child(root, 0);
    EXPECT_EQ(script.tagId(), 21);
    EXPECT_TRUE(script.children().empty());
    EXPECT_EQ(script.text(), "if (a<b) x='<img src=c>';");
    EXPECT_EQ(script.end(), document.find('y'));
    EXPECT_EQ(child(root, 1).text(), "y");
}

TEST(HtmlParserScript, OnlyAnExactClosingTagEndsIt) {
    const HtmlDocument parsedDocument = HtmlParser::parse("<script></scripts></script >x</script>");
    ASSERT_EQ(parsedDocument.root().childCount(), 1u);
    EXPECT_EQ(child(parsedDocument.root(), 0).text(), "</scripts></script >x");
}

TEST(HtmlParserScript, WithoutClosingTagEndsTheParse) {
    const std::string document = "<p>a</p><script src=s.js> x; <img src=b.gif>";
    const HtmlDocument parsedDocument = HtmlParser::parse(document);
    const HtmlNode& root = parsedDocument.root();
    EXPECT_EQ(outline(root), "DOCUMENT(P(\"a\") SCRIPT[src=s.js])");
    EXPECT_EQ(child(root, 1).end(), document.size());
}

TEST(HtmlParserScript, ClosedInItselfHasNoContent) {
    EXPECT_EQ(parsed("<script src=s.js /><img src=a>"), "SCRIPT[src=s.js] IMG[src=a]");
}

TEST(HtmlParserOption, UnclosedOptionsInARowAreSiblings) {
    EXPECT_EQ(parsed("<select><option>a<option>b</select>"), "SELECT(OPTION(\"a\") OPTION(\"b\"))");
    EXPECT_EQ(parsed("<option>a<option>b<option>c"), "OPTION(\"a\") OPTION(\"b\") OPTION(\"c\")");
}

TEST(HtmlParserOption, KeepDocumentOrderWhenSomeAreClosed) {
    EXPECT_EQ(parsed("<select><option>a<option>b</option><option>c</option>d</select>"),
              "SELECT(OPTION(\"a\" \"d\") OPTION(\"b\") OPTION(\"c\"))");
}

TEST(HtmlParserOption, NestInsideOtherElementsOfAnOption) {
    EXPECT_EQ(parsed("<option>a<b><option>c</b>"), "OPTION(\"a\" B(OPTION(\"c\")))");
}

TEST(HtmlParserBounds, ReadsNothingBeyondTheView) {
    // An exactly sized heap block without terminator: any read past it is caught by ASan.
    const std::string_view text = "<p><img src=a.gif>";
    auto block = std::make_unique<char[]>(text.size());
    std::memcpy(block.get(), text.data(), text.size());
    const HtmlDocument parsedDocument =
        HtmlParser::parse(std::string_view(block.get(), text.size()));
    const HtmlNode& root = parsedDocument.root();
    EXPECT_EQ(outline(root), "DOCUMENT(P(IMG[src=a.gif]))");
    // The view of a prefix ends before the tag's ">": the tag is not there.
    EXPECT_EQ(parsed(text.substr(0, text.size() - 1)), "P");
}

TEST(HtmlParserBounds, TreatsZeroBytesAsOrdinaryCharacters) {
    using namespace std::string_literals;
    EXPECT_EQ(parsed("a\0b<img src=x>"s), "\"a\0b\" IMG[src=x]"s);
}

TEST(HtmlParserDepth, HundredThousandNestedUnclosedTagsParse) {
    constexpr std::size_t kDepth = 100000;
    std::string document;
    for (std::size_t i = 0; i < kDepth; ++i) document += "<div>";
    document += "deep";
    for (std::size_t i = 0; i < kDepth; ++i) document += "</x>";  // matches nothing
    auto tree = std::make_unique<HtmlDocument>(HtmlParser::parse(document));

    std::size_t depth = 0;
    const HtmlNode* node = &tree->root();
    while (node->firstChild() != nullptr && node->firstChild()->tag() != HtmlTag::kBodyText) {
        node = node->firstChild();
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(node->firstTextChild()->text(), "deep");
    tree.reset();  // destruction of the deep tree must not recurse either
}

TEST(HtmlParserDepth, ClosingTheOutermostOfDeepNestingClosesAll) {
    constexpr std::size_t kDepth = 100000;
    std::string document = "<p>";
    for (std::size_t i = 0; i < kDepth; ++i) document += "<b>";
    document += "</p>after";
    const HtmlDocument parsedDocument = HtmlParser::parse(document);
    const HtmlNode& root = parsedDocument.root();
    ASSERT_EQ(root.childCount(), 2u);
    EXPECT_EQ(child(root, 1).text(), "after");
}

TEST(HtmlParserDepth, ManyUnclosedOptionsBecomeSiblings) {
    std::string document = "<select>";
    for (int i = 0; i < 100000; ++i) document += "<option>";
    const HtmlDocument parsedDocument = HtmlParser::parse(document);
    const HtmlNode& root = parsedDocument.root();
    EXPECT_EQ(child(root, 0).childCount(), 100000u);
}

TEST(HtmlNodeWalk, VisitsChildrenBeforeTheirParentInOrder) {
    const HtmlDocument parsedDocument = HtmlParser::parse("<a><b></b><c><d></d></c></a><e>");
    const HtmlNode& root = parsedDocument.root();
    std::vector<std::string_view> order;
    root.visitChildrenFirst([&](const HtmlNode& n) { order.push_back(n.name()); });
    EXPECT_THAT(order, ElementsAre("B", "D", "C", "A", "E", "DOCUMENT"));
}

TEST(HtmlNodeAttributes, LookupIgnoresCaseAndTakesTheFirst) {
    const HtmlDocument parsedDocument = HtmlParser::parse("<a HREF=\"\" Href=b href=c>");
    const HtmlNode& root = parsedDocument.root();
    const HtmlNode& a = child(root, 0);
    ASSERT_NE(a.attribute("href"), nullptr);
    EXPECT_EQ(a.attribute("href")->value, "");
    ASSERT_NE(a.nonEmptyAttribute("href"), nullptr);
    EXPECT_EQ(a.nonEmptyAttribute("href")->value, "b");
    EXPECT_EQ(a.attribute("src"), nullptr);
}

}  // namespace
}  // namespace engine
