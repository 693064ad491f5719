#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include "tests/engine/SiteTreeFixture.h"

namespace {

using enginetest::SiteTreeFixture;

// A site of 1,111 linked pages: pages 0 to 110 link to ten pages each (page n to 10n+1 ..
// 10n+10) and home; the 1,000 pages below them link home only. Every page shows two images.
class SiteCrawlStress : public SiteTreeFixture {
protected:
    SiteCrawlStress() {
        links([](int n) {
            std::vector<std::string> out{"/p/0.html"};
            if (n <= 110) {
                for (int c = 1; c <= 10; ++c)
                    out.push_back("/p/" + std::to_string(10 * n + c) + ".html");
            }
            return out;
        });
    }
};

TEST_F(SiteCrawlStress, AThousandPageCrawlStartsExactlyWhatTheLimitsAllow) {
    engine::EngineSettings settings;
    settings.limits.pageLimit = 1000;  // level limit 5, the default
    makeTree(settings);
    const auto start = std::chrono::steady_clock::now();
    tree_->addPage(page(0), nullptr);
    tree_->analyzeAll("");
    ASSERT_TRUE(runUntilIdle(std::chrono::seconds(600)));
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // Levels 1 to 4 start 1 + 10 + 100 pages and then 889 of the 1,000 leaves: the page limit.
    std::vector<int> started(6, 0);
    int deepest = -1;
    for (const engine::SiteNode* node : tree_->displayOrder()) {
        if (node->page->state() == engine::PageState::Ready) continue;
        EXPECT_EQ(node->page->state(), engine::PageState::Finished)
            << node->page->address().urlText;
        ++started[static_cast<std::size_t>(node->depth)];
        deepest = std::max(deepest, node->depth);
    }
    EXPECT_EQ(started, (std::vector<int>{1, 10, 100, 889, 0, 0}));
    EXPECT_EQ(deepest + 1, 4);  // levels reached
    EXPECT_EQ(pageRequests(), 1000u);
    EXPECT_EQ(tree_->pageCount(), 1111u);
    EXPECT_EQ(manager_->visited().size(), 1111u);
    for (int n = 0; n <= 1110; ++n) ASSERT_TRUE(manager_->visited().contains(page(n))) << n;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::cout << "crawl of 1,000 pages: " << seconds << " s, peak resident "
              << usage.ru_maxrss / 1024 << " MiB (this build)\n";
}

}  // namespace
