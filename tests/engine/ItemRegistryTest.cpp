#include "engine/items/ItemRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using engine::ItemRegistry;
using engine::ParsedUrl;
using engine::WebItem;

std::shared_ptr<WebItem> item(const std::string& url) {
    return std::make_shared<WebItem>(ParsedUrl::parse(url));
}

std::vector<std::string> urls(const std::vector<std::shared_ptr<WebItem>>& items) {
    std::vector<std::string> out;
    for (const auto& i : items) out.push_back(i->address().urlText);
    return out;
}

class ItemRegistryTest : public ::testing::Test {
protected:
    ItemRegistry registry;
    std::shared_ptr<WebItem> page = item("http://h/page.html");
    std::shared_ptr<WebItem> logo = item("http://h/logo.gif");
    std::shared_ptr<WebItem> frame = item("http://h/frame.html");
    std::shared_ptr<WebItem> inner = item("http://h/inner.gif");
};

TEST_F(ItemRegistryTest, FindsByTrimmedUrlText) {
    registry.add(page, nullptr, 0);
    EXPECT_EQ(registry.find("  http://h/page.html\t"), page);
    EXPECT_EQ(registry.find("http://h/other.html"), nullptr);
}

TEST_F(ItemRegistryTest, TreeWalksDepthFirstInInsertionOrder) {
    ItemRegistry::Node* root = registry.add(page, nullptr, 0);
    registry.add(frame, page.get(), 40);
    registry.add(inner, frame.get(), 12);
    registry.add(logo, page.get(), 90);
    EXPECT_EQ(urls(registry.items(root)),
              (std::vector<std::string>{"http://h/page.html", "http://h/frame.html",
                                        "http://h/inner.gif", "http://h/logo.gif"}));
    EXPECT_EQ(registry.count(root), 4u);
    const ItemRegistry::Node* innerNode = registry.nodeOf(*inner);
    ASSERT_NE(innerNode, nullptr);
    EXPECT_EQ(innerNode->position, 12u);
    EXPECT_EQ(registry.parentOf(innerNode)->item, frame);
    EXPECT_EQ(registry.parentOf(root), nullptr);
}

TEST_F(ItemRegistryTest, ASharedItemStandsUnderEveryReferringPage) {
    auto other = item("http://h/other.html");
    ItemRegistry::Node* first = registry.add(page, nullptr, 0);
    ItemRegistry::Node* second = registry.add(other, nullptr, 0);
    registry.add(logo, page.get(), 10);
    registry.add(logo, other.get(), 20);
    EXPECT_EQ(registry.count(first), 2u);
    EXPECT_EQ(registry.count(second), 2u);
    EXPECT_EQ(registry.size(), 3u);
    EXPECT_EQ(registry.find("http://h/logo.gif"), logo);
}

TEST_F(ItemRegistryTest, RemovingASubtreeKeepsItemsUsedElsewhere) {
    auto other = item("http://h/other.html");
    ItemRegistry::Node* first = registry.add(page, nullptr, 0);
    registry.add(other, nullptr, 0);
    registry.add(logo, page.get(), 10);
    registry.add(frame, page.get(), 20);
    registry.add(logo, other.get(), 20);
    registry.remove(first);
    EXPECT_EQ(registry.find("http://h/page.html"), nullptr);
    EXPECT_EQ(registry.find("http://h/frame.html"), nullptr);
    EXPECT_EQ(registry.find("http://h/logo.gif"), logo);
    EXPECT_EQ(registry.size(), 2u);
}

TEST_F(ItemRegistryTest, RegisterAsAddsAnAddressUnlessTaken) {
    registry.add(page, nullptr, 0);
    registry.add(logo, nullptr, 0);
    EXPECT_TRUE(registry.registerAs("http://h/moved.html", page));
    EXPECT_EQ(registry.find("http://h/moved.html"), page);
    EXPECT_FALSE(registry.registerAs("http://h/logo.gif", page));
    EXPECT_TRUE(registry.registerAs("http://h/moved.html", page));
}

TEST_F(ItemRegistryTest, ParentNotInTheTreeMeansTopLevel) {
    ItemRegistry::Node* node = registry.add(logo, page.get(), 5);
    EXPECT_EQ(registry.parentOf(node), nullptr);
}

TEST_F(ItemRegistryTest, DeepTreesWalkWithoutRecursion) {
    ItemRegistry::Node* root = registry.add(page, nullptr, 0);
    std::shared_ptr<WebItem> parent = page;
    for (int i = 0; i < 20000; ++i) {
        auto child = item("http://h/f" + std::to_string(i));
        registry.add(child, parent.get(), 0);
        parent = child;
    }
    EXPECT_EQ(registry.count(root), 20001u);
    registry.remove(root);
    EXPECT_EQ(registry.size(), 0u);
}

}  // namespace
