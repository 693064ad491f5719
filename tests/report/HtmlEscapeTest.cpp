#include "report/HtmlEscape.h"

#include <gtest/gtest.h>

namespace report {
namespace {

TEST(HtmlEscape, NetworkTextCannotOpenATagOrLeaveAnAttribute) {
    EXPECT_EQ(escapeHtml("<a href=\"x\" title='y'>Tom & Jerry</a>"),
              "&lt;a href=&quot;x&quot; title=&#39;y&#39;&gt;Tom &amp; Jerry&lt;/a&gt;");
    EXPECT_EQ(escapeHtml("&amp;"), "&amp;amp;");  // text, not HTML: shown as typed
    EXPECT_EQ(escapeHtml(std::string("a\0b\xff", 4)), std::string("a\0b\xff", 4));
    EXPECT_EQ(escapeHtml(""), "");
}

TEST(HtmlEscape, PageTitlesKeepTheirEntities) {
    EXPECT_EQ(escapeHtmlKeepingEntities("Fish &amp; Chips &copy; <b>\"x\"</b>"),
              "Fish &amp; Chips &copy; &lt;b&gt;&quot;x&quot;&lt;/b&gt;");
}

}  // namespace
}  // namespace report
