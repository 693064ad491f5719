#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/engine/SiteTreeFixture.h"

namespace {

using engine::PageState;
using engine::SiteNode;
using engine::SiteTreeQuestions;
using enginetest::SiteTreeFixture;

// Answers every question the same way and remembers what was asked.
class Answering : public SiteTreeQuestions {
public:
    explicit Answering(Answer answer) : answer_(answer) {}
    Answer ask(const std::string& question) override {
        asked.push_back(question);
        return answer_;
    }
    std::vector<std::string> asked;

private:
    Answer answer_;
};

// Children of page n: n*fanout+1 .. n*fanout+fanout, and a link home that is never added twice.
SiteTreeFixture::Links fanOut(int fanout) {
    return [fanout](int n) {
        std::vector<std::string> out{"/p/0.html"};
        for (int c = 1; c <= fanout; ++c)
            out.push_back("/p/" + std::to_string(n * fanout + c) + ".html");
        return out;
    };
}

class SiteTreeCrawl : public SiteTreeFixture {
protected:
    // Nodes by depth whose page was loaded (anything but Ready) and that stayed Ready.
    std::vector<int> loadedByDepth() const {
        std::vector<int> counts(8, 0);
        for (const SiteNode* node : tree_->displayOrder()) {
            if (node->page->state() != PageState::Ready)
                ++counts[static_cast<std::size_t>(node->depth)];
        }
        return counts;
    }
    // A tree whose scope is the starting page's host, over a site whose page 0 links to page 1
    // by another host name of the same server, then to `local` pages; every other page links to
    // `below`. Returns the other host's address.
    std::string linkToAnotherHost(engine::EngineSettings settings, std::vector<std::string> local,
                                  std::vector<std::string> below = {}) {
        settings.operation.autoCheck = engine::OperationSettings::kOriginalHost;
        makeTree(settings);
        const std::string elsewhere =
            "http://localhost:" + std::to_string(server_.port()) + "/p/1.html";
        local.insert(local.begin(), elsewhere);
        links([local, below](int n) { return n == 0 ? local : below; });
        return elsewhere;
    }
    std::size_t count(int depth) const {
        const auto order = tree_->displayOrder();
        return static_cast<std::size_t>(std::count_if(
            order.begin(), order.end(), [&](const SiteNode* n) { return n->depth == depth; }));
    }
};

TEST_F(SiteTreeCrawl, StopsAtTheLevelLimitAndNeverStartsADeeperPage) {
    links(fanOut(3));
    tree_->addPage(page(0), nullptr);
    tree_->analyzeAll("");
    ASSERT_TRUE(runUntilIdle());

    // Levels 1 to 5 load depths 0 to 4: 1 + 3 + 9 + 27 + 81 pages, fewer than the page limit.
    EXPECT_EQ(loadedByDepth(), (std::vector<int>{1, 3, 9, 27, 81, 0, 0, 0}));
    EXPECT_EQ(pageRequests(), 121u);
    // The depth-4 pages' anchors were added, and stay Ready.
    EXPECT_EQ(count(5), 243u);
    EXPECT_EQ(tree_->pageCount(), 121u + 243u);
    EXPECT_EQ(manager_->visited().size(), tree_->pageCount());
    EXPECT_FALSE(tree_->crawlController().running);
    EXPECT_EQ(tree_->crawlController().currentLevel, 0);
}

TEST_F(SiteTreeCrawl, StartsNoMorePagesThanThePageLimitInOneRun) {
    links(fanOut(10));
    tree_->addPage(page(0), nullptr);
    tree_->analyzeAll("");
    ASSERT_TRUE(runUntilIdle());

    // 1 + 10 + 100, then the first 39 pages of depth 3 in display order.
    EXPECT_EQ(loadedByDepth(), (std::vector<int>{1, 10, 100, 39, 0, 0, 0, 0}));
    EXPECT_EQ(pageRequests(), 150u);
    const auto order = tree_->displayOrder();
    std::vector<const SiteNode*> depth3;
    for (const SiteNode* n : order) {
        if (n->depth == 3) depth3.push_back(n);
    }
    ASSERT_EQ(depth3.size(), 1000u);
    for (std::size_t i = 0; i < depth3.size(); ++i) {
        EXPECT_EQ(depth3[i]->page->state() != PageState::Ready, i < 39) << i;
    }
}

TEST_F(SiteTreeCrawl, AnEndOfWorkReadWhileALevelRunsStartsNoLevelEarly) {
    // Pages below the home page are answered once the gate opens; it opens on every way out.
    struct Gate {
        std::promise<void> promise;
        std::shared_future<void> future = promise.get_future().share();
        bool opened = false;
        void open() {
            if (!std::exchange(opened, true)) promise.set_value();
        }
        ~Gate() { open(); }
    } gate;
    links([future = gate.future, children = fanOut(3)](int n) {
        if (n > 0) future.wait();
        return children(n);
    });
    tree_->addPage(page(0), nullptr);
    tree_->analyzeAll("");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (tree_->crawlController().currentLevel < 2 && std::chrono::steady_clock::now() < deadline)
        queue_->dispatch([&](const engine::EngineMessage& m) { tree_->handle(m); },
                         std::chrono::milliseconds(20));
    ASSERT_EQ(tree_->crawlController().currentLevel, 2);

    // An end posted before the level's pages were queued arrives now: it must not queue them
    // again as the next level.
    tree_->handle(engine::EngineMessage::workState(true));
    EXPECT_EQ(tree_->crawlController().currentLevel, 2);
    gate.open();
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(loadedByDepth(), (std::vector<int>{1, 3, 9, 27, 81, 0, 0, 0}));
    EXPECT_EQ(pageRequests(), 121u);
}

TEST_F(SiteTreeCrawl, AnAddressTypedTwiceIsLoadedAgainNotAddedTwice) {
    const std::string typed = page(0).substr(std::string("http://").size());
    SiteNode* first = tree_->analyseAddress(typed);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->checked());
    ASSERT_TRUE(runUntilIdle());
    SiteNode* second = tree_->analyseAddress(page(0));
    EXPECT_EQ(second, first);
    ASSERT_TRUE(runUntilIdle());

    EXPECT_EQ(tree_->pageCount(), 1u);
    EXPECT_EQ(pageRequests(), 2u);
    EXPECT_EQ(first->page->state(), PageState::Finished);
    EXPECT_EQ(tree_->analyseAddress("http://"), nullptr);
}

TEST_F(SiteTreeCrawl, ALinkToAnotherHostIsAddedButNeitherMarkedNorCrawled) {
    const std::string elsewhere = linkToAnotherHost(engine::EngineSettings{}, {"/p/2.html"});
    tree_->analyseAddress(page(0));
    ASSERT_TRUE(runUntilIdle());
    tree_->analyzeAll("");
    ASSERT_TRUE(runUntilIdle());

    SiteNode* other = tree_->findAddress(elsewhere);
    SiteNode* local = tree_->findAddress(page(2));
    ASSERT_NE(other, nullptr);
    ASSERT_NE(local, nullptr);
    EXPECT_FALSE(other->checked());
    EXPECT_FALSE(tree_->inScope(*other));
    EXPECT_EQ(other->page->state(), PageState::Ready);
    EXPECT_TRUE(local->checked());
    EXPECT_EQ(local->page->state(), PageState::Finished);
    EXPECT_EQ(pageRequests(), 2u);  // pages 0 and 2
}

TEST_F(SiteTreeCrawl, ShowingDownloadedPagesOnlyLeavesOtherHostsOut) {
    engine::EngineSettings settings;
    settings.operation.showOrig = true;
    const std::string elsewhere = linkToAnotherHost(settings, {"/p/2.html"});
    tree_->analyseAddress(page(0));
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(tree_->findAddress(elsewhere), nullptr);
    EXPECT_FALSE(manager_->visited().contains(elsewhere));
    EXPECT_NE(tree_->findAddress(page(2)), nullptr);
}

TEST_F(SiteTreeCrawl, WithoutAutoAnalyzeAllLoadsTheMarkedPagesOnly) {
    const std::string elsewhere =
        linkToAnotherHost(engine::EngineSettings{}, {"/p/2.html", "/p/3.html"}, {"/p/9.html"});
    tree_->crawlController().enabled = false;
    // An empty tree analyses the address bar's text.
    tree_->analyzeAll(page(0));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_EQ(tree_->pageCount(), 4u);
    tree_->findAddress(page(3))->setChecked(false);
    tree_->analyzeAll("");
    ASSERT_TRUE(runUntilIdle());

    EXPECT_EQ(tree_->findAddress(page(2))->page->state(), PageState::Finished);
    EXPECT_EQ(tree_->findAddress(page(3))->page->state(), PageState::Ready);
    EXPECT_EQ(tree_->findAddress(elsewhere)->page->state(), PageState::Ready);
    // Page 2's own link was added below it, not loaded: one level per Analyze All.
    EXPECT_EQ(tree_->findAddress(page(9))->page->state(), PageState::Ready);
}

TEST_F(SiteTreeCrawl, TheAnchorDownloadFetchesMarkedPagesWithoutTheirElements) {
    tree_->addPage(page(1), nullptr);
    SiteNode* unmarked = tree_->addPage(page(2), nullptr);
    unmarked->setChecked(false);
    tree_->loadMarked();
    ASSERT_TRUE(runUntilIdle());

    const SiteNode* marked = tree_->findAddress(page(1));
    EXPECT_EQ(marked->page->jobFlags(), engine::kScanAnchors | engine::kScanTitle);
    EXPECT_EQ(marked->page->state(), PageState::Finished);
    EXPECT_FALSE(engine::SiteTree::fullyLoaded(*marked->page));
    EXPECT_EQ(unmarked->page->rootItem(), nullptr);
    EXPECT_EQ(server_.requests().size(), 1u);  // the document only, no image
}

TEST_F(SiteTreeCrawl, APageNotToBeFollowedIsLoadedWithoutItsAnchors) {
    links([](int n) {
        return n == 0 ? std::vector<std::string>{"/p/1.html"}
                      : std::vector<std::string>{"/p/2.html"};
    });
    tree_->analyseAddress(page(0));
    ASSERT_TRUE(runUntilIdle());
    SiteNode* child = tree_->findAddress(page(1));
    ASSERT_NE(child, nullptr);
    child->page->setNoFollow(true);
    tree_->analyzeAll("");
    ASSERT_TRUE(runUntilIdle());

    EXPECT_EQ(child->page->jobFlags(), engine::kScanElements | engine::kScanTitle);
    EXPECT_EQ(child->page->state(), PageState::Finished);
    EXPECT_TRUE(child->children.empty());
    EXPECT_FALSE(child->page->noFollow());  // cleared when the page finished
}

TEST_F(SiteTreeCrawl, APageRedirectedToAPageOfTheTreeLeavesIt) {
    server_.get("/moved", [this](const httplib::Request&, httplib::Response& response) {
        response.set_redirect(path(0));
    });
    links([](int n) {
        return n == 0 ? std::vector<std::string>{"/moved"} : std::vector<std::string>{};
    });
    tree_->analyseAddress(page(0));
    ASSERT_TRUE(runUntilIdle());
    ASSERT_NE(tree_->findAddress(server_.url("/moved")), nullptr);
    tree_->analyzeAll("");
    ASSERT_TRUE(runUntilIdle());

    EXPECT_EQ(tree_->findAddress(server_.url("/moved")), nullptr);
    EXPECT_FALSE(manager_->visited().contains(server_.url("/moved")));
    EXPECT_EQ(tree_->pageCount(), 1u);
}

class SiteTreeRemoval : public SiteTreeFixture {
protected:
    // 0 -> (1 -> 3), 2, all loaded.
    void SetUp() override {
        links([](int n) {
            if (n == 0) return std::vector<std::string>{"/p/1.html", "/p/2.html"};
            if (n == 1) return std::vector<std::string>{"/p/3.html"};
            return std::vector<std::string>{};
        });
        tree_->addPage(page(0), nullptr);
        tree_->analyzeAll("");
        ASSERT_TRUE(runUntilIdle());
        ASSERT_EQ(tree_->pageCount(), 4u);
    }
};

TEST_F(SiteTreeRemoval, NoOrCancelChangesNothing) {
    for (auto answer : {SiteTreeQuestions::Answer::No, SiteTreeQuestions::Answer::Cancel}) {
        Answering questions(answer);
        EXPECT_FALSE(tree_->deleteSelected({tree_->findAddress(page(1))}, questions));
        EXPECT_FALSE(tree_->deleteAll(questions));
        ASSERT_EQ(questions.asked.size(), 2u);
        EXPECT_EQ(questions.asked[0],
                  "Delete selected page(s) from the list?\n\nAll children of selected pages will "
                  "be also deleted.");
        EXPECT_EQ(questions.asked[1], "Delete all pages from the list?");
        EXPECT_EQ(tree_->pageCount(), 4u);
        EXPECT_EQ(manager_->visited().size(), 4u);
    }
}

TEST_F(SiteTreeRemoval, DeletingAPageFreesItsSubtreeForTheNextCrawl) {
    Answering yes(SiteTreeQuestions::Answer::Yes);
    SiteNode* one = tree_->findAddress(page(1));
    SiteNode* three = tree_->findAddress(page(3));
    // A page selected together with its parent goes with the parent's subtree.
    EXPECT_TRUE(tree_->deleteSelected({three, one}, yes));
    EXPECT_EQ(tree_->pageCount(), 2u);
    EXPECT_FALSE(manager_->visited().contains(page(1)));
    EXPECT_FALSE(manager_->visited().contains(page(3)));
    EXPECT_TRUE(manager_->visited().contains(page(2)));

    tree_->analyseAddress(page(0));  // loaded again: its anchors come back
    ASSERT_TRUE(runUntilIdle());
    EXPECT_NE(tree_->findAddress(page(1)), nullptr);
    EXPECT_EQ(tree_->pageCount(), 3u);
}

TEST_F(SiteTreeRemoval, DeleteAllEmptiesTheTreeTheVisitedSetAndTheRegistry) {
    Answering yes(SiteTreeQuestions::Answer::Yes);
    EXPECT_TRUE(tree_->deleteAll(yes));
    EXPECT_TRUE(tree_->empty());
    EXPECT_EQ(tree_->pageCount(), 0u);
    EXPECT_EQ(manager_->visited().size(), 0u);
    EXPECT_EQ(manager_->registry().size(), 0u);
}

TEST_F(SiteTreeRemoval, RemoveNotLoadedTakesUnloadedLeavesOnly) {
    tree_->addPage(page(7), tree_->findAddress(page(2)));  // a Ready leaf
    EXPECT_EQ(tree_->removeNotLoaded(), 1u);
    EXPECT_EQ(tree_->findAddress(page(7)), nullptr);
    EXPECT_FALSE(manager_->visited().contains(page(7)));
    EXPECT_EQ(tree_->pageCount(), 4u);
}

TEST_F(SiteTreeRemoval, ChildPagesOfADeletedPageThatArriveLateAreDropped) {
    // Page 2 is loaded again; its new anchor arrives after the page left the tree.
    links([](int n) {
        return n == 2 ? std::vector<std::string>{"/p/5.html"} : std::vector<std::string>{};
    });
    tree_->reanalysePage(*tree_->findAddress(page(2)), engine::kScanAll);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (manager_->visited().size() < 5 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();  // until the hook added it
    }
    ASSERT_EQ(manager_->visited().size(), 5u);
    Answering yes(SiteTreeQuestions::Answer::Yes);
    tree_->deleteSelected({tree_->findAddress(page(2))}, yes);
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(tree_->findAddress(page(5)), nullptr);
    EXPECT_FALSE(manager_->visited().contains(page(5)));
}

// Records the tree's shape changes as the desktop program's model would see them.
struct ShapeLog : engine::SiteTreeObserver {
    std::vector<std::string> events;
    void nodeAboutToBeAdded(const SiteNode* parent, std::size_t row) override {
        events.push_back("add " + std::string(parent ? "child" : "root") + " at " +
                         std::to_string(row));
    }
    void nodeAdded(const SiteNode*) override { events.push_back("added"); }
    void nodeAboutToBeRemoved(const SiteNode* node, std::size_t row) override {
        events.push_back("remove " + std::to_string(node->depth) + " at " + std::to_string(row));
    }
    void nodeRemoved() override { events.push_back("removed"); }
    void treeAboutToBeCleared() override { events.push_back("clear"); }
    void treeCleared() override { events.push_back("cleared"); }
};

TEST_F(SiteTreeRemoval, AnObserverHearsEveryShapeChangeBeforeAndAfterIt) {
    ShapeLog log;
    tree_->addObserver(&log);
    tree_->addPage(page(9), nullptr);
    Answering yes(SiteTreeQuestions::Answer::Yes);
    tree_->deleteSelected({tree_->findAddress(page(1))}, yes);
    tree_->deleteAll(yes);
    tree_->removeObserver(&log);
    EXPECT_EQ(log.events, (std::vector<std::string>{"add root at 1", "added", "remove 1 at 0",
                                                    "removed", "clear", "cleared"}));
}

TEST_F(SiteTreeRemoval, AnalyzeAllHasAPageToLoadOnlyWhileOneIsLeft) {
    EXPECT_FALSE(tree_->hasPageToLoad());  // everything loaded
    tree_->addPage(page(8), tree_->findAddress(page(2)));
    EXPECT_TRUE(tree_->hasPageToLoad());
    tree_->crawlController().enabled = false;
    tree_->findAddress(page(8))->setChecked(false);
    EXPECT_FALSE(tree_->hasPageToLoad());  // without the crawl only marked pages count
}

}  // namespace

// What the status texts, the save command and the lists ask of a page, before and after its
// load: the address it ended at, whether it has a body to save, its title.
TEST_F(SiteTreeCrawl, APageTellsItsLoadedAddressContentAndTitle) {
    server_.get("/titled", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><head><title>Kept</title></head></html>", "text/html");
    });
    server_.get("/go", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/titled");
    });
    SiteNode* node = tree_->addPage(server_.url("/go"), nullptr);
    EXPECT_EQ(engine::loadedAddress(*node->page), server_.url("/go"));
    EXPECT_FALSE(engine::hasContent(*node->page));
    EXPECT_EQ(engine::pageTitle(*node->page), "");
    EXPECT_FALSE(engine::isRunning(*node->page));
    tree_->analyzeSelected({node}, "");
    ASSERT_TRUE(runUntilIdle());
    EXPECT_EQ(engine::loadedAddress(*node->page), server_.url("/titled"));
    EXPECT_TRUE(engine::hasContent(*node->page));
    EXPECT_EQ(engine::pageTitle(*node->page), "Kept");
}
