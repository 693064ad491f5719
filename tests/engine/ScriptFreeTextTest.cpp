#include "engine/html/ScriptFreeText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

// A document shown in the element preview loses what its tag tree sees as SCRIPT elements and
// keeps every other byte as received.
namespace engine {
namespace {

struct ScriptCase {
    const char* name;
    std::string html;
    std::string expected;
};

std::ostream& operator<<(std::ostream& out, const ScriptCase& c) {
    return out << c.name;
}

class WithoutScripts : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(WithoutScripts, CutsEveryScriptElementAndKeepsTheRest) {
    EXPECT_EQ(withoutScripts(GetParam().html), GetParam().expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Documents, WithoutScripts,
    ::testing::Values(
        ScriptCase{"Empty", "", ""},
        ScriptCase{"NoScript", "<html><body><p>a</p></body></html>",
                   "<html><body><p>a</p></body></html>"},
        ScriptCase{"LowerCase", "<p>a</p><script>run()</script><p>b</p>", "<p>a</p><p>b</p>"},
        ScriptCase{"UpperAndMixedCase", "<SCRIPT>a()</SCRIPT>x<ScRiPt>b()</sCrIpT>", "x"},
        ScriptCase{"WithAttributes",
                   "<head><script type=\"text/javascript\" src=\"a.js\"></script></head>",
                   "<head></head>"},
        ScriptCase{"DeepInsideElements", "<div><p><b>x<script>1</script>y</b></p></div>",
                   "<div><p><b>xy</b></p></div>"},
        ScriptCase{"SeveralInARow", "a<script>1</script><script>2</script>\n<script>3</script>b",
                   "a\nb"},
        // Script text is raw: markup inside it belongs to the script.
        ScriptCase{"MarkupInsideTheScript",
                   "<div><script>document.write('</div><p>');</script></div>", "<div></div>"},
        ScriptCase{"UnterminatedRunsToTheEnd", "<p>a</p><script>run(); <p>b</p>", "<p>a</p>"},
        // Only "</script>" written tight ends a script; anything longer is script text.
        ScriptCase{"LooseClosingTagDoesNotEndIt", "<p>a</p><script>x</script ><p>b</p>",
                   "<p>a</p>"},
        ScriptCase{"ClosedInItself", "<script src=\"a.js\"/><p>b</p>", "<p>b</p>"},
        ScriptCase{"ClosingTagInsideAnAttributeOfTheScript",
                   "<script title=\"</script>\">x()</script>after", "after"},
        ScriptCase{"ClosingTagInsideAnotherTagsAttribute",
                   "<img alt=\"</script>\"><script>x()</script>", "<img alt=\"</script>\">"},
        // What no SCRIPT element holds stays as it was.
        ScriptCase{"InsideAComment", "<!-- <script>x()</script> --><p>a</p>",
                   "<!-- <script>x()</script> --><p>a</p>"},
        ScriptCase{"InsideAnUnclosedComment", "<p>a</p><!-- <script>x()</script>",
                   "<p>a</p><!-- <script>x()</script>"},
        ScriptCase{"OtherTagsStartingWithScript", "<scripts>x</scripts><scriptx>y</scriptx>",
                   "<scripts>x</scripts><scriptx>y</scriptx>"},
        ScriptCase{"NoscriptStays", "<noscript><img src=a.gif></noscript>",
                   "<noscript><img src=a.gif></noscript>"},
        ScriptCase{"TagWithoutEnd", "<p>a</p><script", "<p>a</p><script"},
        ScriptCase{"StrayClosingTag", "a</script>b", "a</script>b"},
        // Text is not normalised: blanks, line ends, NULs and bytes that are not UTF-8 stay.
        ScriptCase{"BytesKeptExactly", "a\r\n  \0\xff\t<script>x</script>  \r\n\r\n b"s,
                   "a\r\n  \0\xff\t  \r\n\r\n b"s}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace engine
