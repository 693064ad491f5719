#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/crawl/ScenarioDocument.h"
#include "tests/engine/SiteTreeFixture.h"

namespace {

using engine::ScenarioDocument;
using engine::SiteNode;
using enginetest::SiteTreeFixture;

class ScenarioDocumentTest : public SiteTreeFixture {
protected:
    ScenarioDocumentTest() {
        char pattern[] = "/tmp/pagelyst-scenario-XXXXXX";
        folder_ = ::mkdtemp(pattern);
    }
    ~ScenarioDocumentTest() override { std::filesystem::remove_all(folder_); }

    std::string file(const std::string& name) const { return (folder_ / name).string(); }
    static std::string bytes(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void write(const std::string& file, const std::string& content) {
        std::ofstream(file, std::ios::binary) << content;
    }
    std::vector<std::string> addresses() const {
        std::vector<std::string> out;
        for (const SiteNode* node : tree_->displayOrder())
            out.push_back(node->page->address().urlText);
        return out;
    }

    std::filesystem::path folder_;
    ScenarioDocument document_{*tree_};
};

TEST_F(ScenarioDocumentTest, AnEmptyTreeAndANineCharacterRootSaveByteForByte) {
    ASSERT_TRUE(document_.save(file("empty.wsa"), false));
    EXPECT_EQ(bytes(file("empty.wsa")), std::string("\x03\0\0\0\0\0\0\0", 8));
    EXPECT_EQ(document_.path(), file("empty.wsa"));
    EXPECT_EQ(document_.load(file("empty.wsa")), std::nullopt);
    EXPECT_TRUE(tree_->empty());

    tree_->addPage("http://a/", nullptr);
    ASSERT_TRUE(document_.save(file("one.wsa"), false));
    EXPECT_EQ(bytes(file("one.wsa")),
              std::string("\x03\0\0\0\x01\0\0\0\x0a\0\0\0http://a/\0\0\0\0\0", 26));
}

TEST_F(ScenarioDocumentTest, TheSaveFilterLeavesOutWholeSubtrees) {
    SiteNode* root = tree_->addPage("http://a/", nullptr);
    tree_->addPage("http://a/child", root);
    root->setChecked(false);  // unmarked, not loaded, with a marked child
    SiteNode* kept = tree_->addPage("http://b/", nullptr);
    kept->setChecked(false);
    kept->stateWord |= SiteNode::kKept;

    // Without Auto: the unmarked root and its marked child are left out; a kept page stays.
    EXPECT_EQ(ScenarioDocument::collect(*tree_, false), (persist::Scenario{{"http://b/", -1}}));
    // With Auto: a page with children is saved even when unmarked.
    EXPECT_EQ(ScenarioDocument::collect(*tree_, true),
              (persist::Scenario{{"http://a/", -1}, {"http://a/child", 0}, {"http://b/", -1}}));
}

TEST_F(ScenarioDocumentTest, ALoadedScenarioIsMarkedReadyAndSavesBackIdentically) {
    SiteNode* root = tree_->addPage("http://a/", nullptr);
    SiteNode* child = tree_->addPage("http://a/1", root);
    tree_->addPage("http://a/1/x", child);
    tree_->addPage("http://a/2", root);
    tree_->addPage("http://b/", nullptr);
    ASSERT_TRUE(document_.save(file("tree.wsa"), false));
    const std::string saved = bytes(file("tree.wsa"));

    tree_->addPage("http://stale/", nullptr);  // replaced by the load
    ASSERT_EQ(document_.load(file("tree.wsa")), std::nullopt);
    EXPECT_EQ(addresses(), (std::vector<std::string>{"http://a/", "http://a/1", "http://a/1/x",
                                                     "http://a/2", "http://b/"}));
    EXPECT_EQ(tree_->pageCount(), 5u);
    EXPECT_EQ(manager_->visited().size(), 5u);
    for (const SiteNode* node : tree_->displayOrder()) {
        EXPECT_TRUE(node->checked());
        EXPECT_EQ(node->page->state(), engine::PageState::Ready);
    }
    for (const bool autoFlag : {false, true}) {
        ASSERT_TRUE(document_.save(file("again.wsa"), autoFlag));
        EXPECT_EQ(bytes(file("again.wsa")), saved);
    }
}

TEST_F(ScenarioDocumentTest, ABadFileEmptiesTheTreeAndClearsThePath) {
    tree_->addPage("http://a/", nullptr);
    tree_->addPage("http://b/", nullptr);
    ASSERT_TRUE(document_.save(file("good.wsa"), false));
    const std::string good = bytes(file("good.wsa"));

    const std::string cases[] = {
        std::string("\x02\0\0\0\0\0\0\0", 8),  // another version
        good.substr(0, good.size() - 2),       // the second record broken
        good.substr(0, 3),                     // not even a version
    };
    for (const std::string& content : cases) {
        ASSERT_EQ(document_.load(file("good.wsa")), std::nullopt);
        ASSERT_EQ(tree_->pageCount(), 2u);
        write(file("bad.wsa"), content);
        EXPECT_EQ(document_.load(file("bad.wsa")), "Invalid file format.");
        EXPECT_TRUE(tree_->empty());  // also of the records read before the broken one
        EXPECT_EQ(manager_->visited().size(), 0u);
        EXPECT_EQ(document_.path(), "");
    }
    EXPECT_EQ(document_.load(file("missing.wsa")), "Invalid file format.");
}

TEST_F(ScenarioDocumentTest, ALoadedPageIsSavedUnderTheAddressItArrivedAt) {
    server_.get("/old", [this](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(path(1));
    });
    (void)tree_->analyseAddress(server_.url("/old"));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(ScenarioDocument::collect(*tree_, false), (persist::Scenario{{page(1), -1}}));
}

}  // namespace
