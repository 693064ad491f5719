#include <gtest/gtest.h>

#include "cli/HintText.h"

namespace {

TEST(PlainText, BreaksLinesAtBrAndHrAndDropsOtherTags) {
    EXPECT_EQ(cli::plainText("<B> Page Class: <FONT color=red>Critical</FONT></B><HR>Slow<BR>"
                             "<b>Hint: </b>Split it."),
              " Page Class: Critical\nSlow\nHint: Split it.");
    EXPECT_EQ(cli::plainText("a<br/>b<hr size=1>c<bR >d"), "a\nb\nc\nd");
    // Tags whose names only begin like a break stay out without a break.
    EXPECT_EQ(cli::plainText("a<broken>b<html>c"), "abc");
}

TEST(PlainText, DecodesEntitiesOnceAndKeepsEscapesAwayFromTheTerminal) {
    EXPECT_EQ(cli::plainText("&lt;script&gt;alert(1)&lt;/script&gt; &amp;lt; &quot;q&quot;"),
              "<script>alert(1)</script> &lt; \"q\"");
    EXPECT_EQ(cli::plainText("title\x1b[31mred\x07"), "title [31mred ");
    EXPECT_EQ(cli::plainText("cut <B"), "cut ");
    EXPECT_EQ(cli::plainText("&unknown; & x"), "&unknown; & x");
}

}  // namespace
