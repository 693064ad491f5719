#include "engine/crawl/CrawlScope.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/settings/OperationSettings.h"
#include "engine/url/ParsedUrl.h"

namespace {

using engine::ParsedUrl;

TEST(SameSite, NoPageAllowsEverything) {
    EXPECT_TRUE(engine::sameSite(nullptr, ParsedUrl::parse("http://anything/"), 0));
}

TEST(SameSite, ModeZeroWantsTheSameHost) {
    const std::string page = "www.example.com";
    EXPECT_TRUE(engine::sameSite(&page, ParsedUrl::parse("http://www.example.com/x"), 0));
    EXPECT_FALSE(engine::sameSite(&page, ParsedUrl::parse("http://example.com/x"), 0));
    EXPECT_FALSE(engine::sameSite(&page, ParsedUrl::parse("http://WWW.example.com/x"), 0));
}

TEST(SameSite, ModeOneTakesTheDomainWithoutWww) {
    const std::string page = " www.example.com ";
    EXPECT_TRUE(engine::sameSite(&page, ParsedUrl::parse("http://example.com/"), 1));
    EXPECT_TRUE(engine::sameSite(&page, ParsedUrl::parse("http://img.example.com/"), 1));
    EXPECT_TRUE(engine::sameSite(&page, ParsedUrl::parse("http://www.example.com/"), 1));
    // Any host that merely ends with the same characters passes too.
    EXPECT_TRUE(engine::sameSite(&page, ParsedUrl::parse("http://notexample.com/"), 1));
    EXPECT_FALSE(engine::sameSite(&page, ParsedUrl::parse("http://example.org/"), 1));
    EXPECT_FALSE(engine::sameSite(&page, ParsedUrl::parse("http://ample.com/"), 1));
    const std::string bare = "www.";
    EXPECT_FALSE(engine::sameSite(&bare, ParsedUrl::parse("http://x.com/"), 1));
}

TEST(CrawlScope, AllPagesAdmitsEveryHost) {
    EXPECT_TRUE(engine::inCrawlScope("www.example.com", ParsedUrl::parse("http://other.org/"),
                                     engine::OperationSettings::kAllPages));
    EXPECT_FALSE(engine::inCrawlScope("www.example.com", ParsedUrl::parse("http://other.org/"),
                                      engine::OperationSettings::kOriginalDomain));
    EXPECT_TRUE(engine::inCrawlScope("www.example.com", ParsedUrl::parse("http://img.example.com/"),
                                     engine::OperationSettings::kOriginalDomain));
    EXPECT_FALSE(engine::inCrawlScope("www.example.com",
                                      ParsedUrl::parse("http://img.example.com/"),
                                      engine::OperationSettings::kOriginalHost));
}

}  // namespace
