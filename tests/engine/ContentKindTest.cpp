#include "engine/base/ContentKind.h"
#include "engine/url/AcceptPattern.h"

#include <gtest/gtest.h>

namespace {

using engine::ContentKind;
using engine::DisplayKind;

TEST(ContentKind, ClassifiesWithoutParametersOrCase) {
    EXPECT_EQ(engine::classify("text/html"), ContentKind::Html);
    EXPECT_EQ(engine::classify("text/html; charset=ISO-8859-1"), ContentKind::Html);
    EXPECT_EQ(engine::classify(" Text/HTML ;charset=utf-8"), ContentKind::Html);
    // Two types share the script kind.
    EXPECT_EQ(engine::classify("application/x-javascript"), ContentKind::Script);
    EXPECT_EQ(engine::classify("text/javascript"), ContentKind::Script);
    EXPECT_EQ(engine::classify("application/octet-stream"), ContentKind::OctetStream);
    EXPECT_EQ(engine::classify("image/png"), ContentKind::Unknown);
    EXPECT_EQ(engine::classify(""), ContentKind::Unknown);
    EXPECT_EQ(engine::classify("text/htmlx"), ContentKind::Unknown);
}

TEST(ContentKind, NormalisesTheHeaderValue) {
    EXPECT_EQ(engine::normalizeContentType("Text/HTML; charset=UTF-8"), "text/html");
    EXPECT_EQ(engine::normalizeContentType("  image/GIF  "), "image/gif");
    EXPECT_EQ(engine::normalizeContentType(";x"), "");
}

TEST(ContentKind, NamesAreTheFirstTypeOfEachKind) {
    EXPECT_EQ(engine::kindName(ContentKind::Html), "text/html");
    EXPECT_EQ(engine::kindName(ContentKind::Script), "application/x-javascript");
    EXPECT_EQ(engine::kindName(ContentKind::Css), "text/css");
    EXPECT_EQ(engine::kindName(ContentKind::Unknown), "Unknown");
    EXPECT_EQ(engine::kindName(static_cast<ContentKind>(42)), "Unknown");
}

TEST(ContentKind, DisplayGroups) {
    EXPECT_EQ(engine::displayKind(ContentKind::Html, "text/html"), DisplayKind::Document);
    for (ContentKind k :
         {ContentKind::Gif, ContentKind::Jpeg, ContentKind::ProgressiveJpeg, ContentKind::XBitmap})
        EXPECT_EQ(engine::displayKind(k, ""), DisplayKind::Image);
    EXPECT_EQ(engine::displayKind(ContentKind::Script, ""), DisplayKind::Script);
    EXPECT_EQ(engine::displayKind(ContentKind::Flash, ""), DisplayKind::Flash);
    EXPECT_EQ(engine::displayKind(ContentKind::Unknown, "image/png"), DisplayKind::Image);
    EXPECT_EQ(engine::displayKind(ContentKind::Css, "text/css"), DisplayKind::Flash);
    EXPECT_EQ(engine::displayKind(ContentKind::OctetStream, "application/octet-stream"),
              DisplayKind::Flash);
}

TEST(AcceptPattern, WildcardsMatchAnyRunIgnoringCase) {
    EXPECT_TRUE(engine::acceptsContentType("*/*", "text/html"));
    EXPECT_TRUE(engine::acceptsContentType("image/*", "image/gif"));
    EXPECT_TRUE(engine::acceptsContentType("IMAGE/*", "image/svg+xml"));
    EXPECT_FALSE(engine::acceptsContentType("image/*", "text/html"));
    EXPECT_FALSE(engine::acceptsContentType("image/*", "image"));
    EXPECT_TRUE(engine::acceptsContentType("application/*", "application/x-javascript"));
    EXPECT_FALSE(engine::acceptsContentType("application/*", "text/css"));
    EXPECT_FALSE(engine::acceptsContentType("*/*", "html"));
    EXPECT_TRUE(engine::acceptsContentType("a*b*c", "aXXbYYbZZc"));
    EXPECT_FALSE(engine::acceptsContentType("a*b*c", "aXXbYYbZZ"));
}

TEST(AcceptPattern, ScriptsServedAsTextJavascriptAreAccepted) {
    EXPECT_TRUE(engine::acceptsContentType("application/*", "text/javascript"));
    EXPECT_FALSE(engine::acceptsContentType("image/*", "text/javascript"));
}

TEST(AcceptPattern, HostileInputStaysCheap) {
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*b";
    const std::string text(20000, 'a');
    EXPECT_FALSE(engine::acceptsContentType(pattern, text));
}

}  // namespace
