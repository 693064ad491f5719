#include "engine/schedule/PageLoad.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/schedule/PageState.h"
#include "engine/schedule/VisitedSet.h"

namespace {

using engine::ItemRegistry;
using engine::PageLoad;
using engine::ParsedUrl;
using engine::WebItem;

std::shared_ptr<WebItem> item(const std::string& path) {
    return std::make_shared<WebItem>(ParsedUrl::parse("http://site.test" + path));
}

class PageLoadCounts : public ::testing::Test {
protected:
    ItemRegistry registry_;
    std::shared_ptr<WebItem> root_ = item("/");
    ItemRegistry::Node* rootNode_ = registry_.add(root_, nullptr, 0);
    PageLoad load_{registry_, rootNode_};
};

TEST_F(PageLoadCounts, CompletesWhenEveryRegisteredNodeIsAccounted) {
    EXPECT_EQ(load_.expected(), 1u);
    ItemRegistry::Node* a = load_.addChild(item("/a"), rootNode_, 10);
    ItemRegistry::Node* b = load_.addChild(item("/b"), rootNode_, 20);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a->parent, rootNode_);
    EXPECT_EQ(b->position, 20u);
    EXPECT_EQ(load_.expected(), 3u);
    EXPECT_EQ(registry_.count(rootNode_), 3u);

    EXPECT_FALSE(load_.account(false, 100));  // the root
    EXPECT_FALSE(load_.account(false, 5));
    EXPECT_TRUE(load_.account(false, 7));  // the last one, exactly once
    EXPECT_TRUE(load_.finished());
    EXPECT_EQ(load_.accounted(), 3u);
    EXPECT_EQ(load_.size(), 112u);
    EXPECT_FALSE(load_.account(false, 1));  // late: changes nothing
    EXPECT_EQ(load_.accounted(), 3u);
}

TEST_F(PageLoadCounts, AFinishedLoadRegistersNothingMore) {
    ASSERT_TRUE(load_.account(false, 0));
    EXPECT_EQ(load_.addChild(item("/late"), rootNode_, 0), nullptr);
    EXPECT_EQ(registry_.count(rootNode_), 1u);
    EXPECT_EQ(registry_.size(), 1u);
}

TEST_F(PageLoadCounts, AnAbortedPageCompletesAtItsNextAccountedItem) {
    load_.addChild(item("/a"), rootNode_, 0);
    load_.addChild(item("/b"), rootNode_, 0);
    EXPECT_TRUE(load_.account(true, 0));
    EXPECT_FALSE(load_.account(true, 0));
    EXPECT_FALSE(load_.account(false, 0));
}

TEST_F(PageLoadCounts, AbandonEndsTheLoadWithoutCompletingIt) {
    EXPECT_TRUE(load_.abandon());
    EXPECT_FALSE(load_.abandon());
    EXPECT_FALSE(load_.account(false, 0));
    EXPECT_EQ(load_.addChild(item("/a"), rootNode_, 0), nullptr);
}

TEST_F(PageLoadCounts, RunningSizeSaturates) {
    load_.addChild(item("/a"), rootNode_, 0);
    load_.account(false, UINT32_MAX - 1);
    load_.account(false, 10);
    EXPECT_EQ(load_.size(), UINT32_MAX);
}

TEST(PageState, TextsByValue) {
    EXPECT_EQ(engine::pageStateText(1), "Ready");
    EXPECT_EQ(engine::pageStateText(2), "In process...");
    EXPECT_EQ(engine::pageStateText(4), "Finished");
    EXPECT_EQ(engine::pageStateText(8), "Error");
    EXPECT_EQ(engine::pageStateText(16), "Child Error");
    EXPECT_EQ(engine::pageStateText(32), "Aborting...");
    EXPECT_EQ(engine::pageStateText(64), "Canceled");
    EXPECT_EQ(engine::pageStateText(0), "Unknown");
    EXPECT_EQ(engine::pageStateText(6), "Unknown");
}

TEST(VisitedSet, ReplaceMovesAnAddressUnlessTheTargetIsTaken) {
    engine::VisitedSet visited;
    EXPECT_TRUE(visited.add("http://a/"));
    EXPECT_FALSE(visited.add("http://a/"));
    EXPECT_TRUE(visited.add("http://b/"));
    EXPECT_FALSE(visited.replace("http://a/", "http://b/"));
    EXPECT_TRUE(visited.contains("http://a/"));
    EXPECT_TRUE(visited.replace("http://a/", "http://c/"));
    EXPECT_FALSE(visited.contains("http://a/"));
    EXPECT_TRUE(visited.contains("http://c/"));
    EXPECT_FALSE(visited.contains("HTTP://C/"));  // compared as texts
    EXPECT_EQ(visited.size(), 2u);
}

}  // namespace
