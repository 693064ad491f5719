#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "engine/items/ItemRegistry.h"
#include "engine/schedule/PageLoad.h"

namespace {

using engine::ItemRegistry;
using engine::PageLoad;

// The loader's protocol without the network: each job registers the children its document
// refers to, hands the new ones to the workers, counts the shared ones at once, and only then
// is accounted for itself. However the workers interleave, the page must complete exactly once,
// and only after the last job that could still register anything.
TEST(PageLoadAccounting, CompletesExactlyOnceAfterTheLastRegistration) {
    constexpr int kRounds = 60;
    constexpr int kWorkers = 4;
    for (int round = 0; round < kRounds; ++round) {
        ItemRegistry registry;
        auto rootItem =
            std::make_shared<engine::WebItem>(engine::ParsedUrl::parse("http://site.test/"));
        ItemRegistry::Node* root = registry.add(rootItem, nullptr, 0);
        PageLoad load(registry, root);

        std::mutex mutex;
        std::deque<std::pair<ItemRegistry::Node*, int>> jobs{{root, 0}};  // node, depth
        std::atomic<int> inFlight{1};                                     // jobs queued or running
        std::atomic<int> completions{0};
        std::atomic<int> jobsLeftAtCompletion{-1};
        std::atomic<int> created{0};
        std::atomic<int> lateRegistrations{0};

        auto worker = [&](unsigned seed) {
            std::mt19937 random(seed);
            while (inFlight.load() > 0) {
                std::pair<ItemRegistry::Node*, int> job{nullptr, 0};
                {
                    std::lock_guard guard(mutex);
                    if (!jobs.empty()) {
                        job = jobs.front();
                        jobs.pop_front();
                    }
                }
                if (job.first == nullptr) {
                    std::this_thread::yield();
                    continue;
                }
                // Documents near the top refer to more elements, some of them frames.
                const int children = job.second < 3 ? static_cast<int>(random() % 6) : 0;
                for (int c = 0; c < children; ++c) {
                    const int n = created.fetch_add(1);
                    auto child = std::make_shared<engine::WebItem>(
                        engine::ParsedUrl::parse("http://site.test/" + std::to_string(n)));
                    ItemRegistry::Node* node = load.addChild(child, job.first, 0);
                    if (node == nullptr) {  // the page completed while a document was open
                        lateRegistrations.fetch_add(1);
                        continue;
                    }
                    if (random() % 4 == 0) {
                        // Taken by another page already: counted at once.
                        if (load.account(false, 1)) completions.fetch_add(1);
                    } else {
                        inFlight.fetch_add(1);
                        std::lock_guard guard(mutex);
                        jobs.emplace_back(node, job.second + 1);
                    }
                }
                // A job leaves the in-flight count before it is accounted for: when the page
                // completes, every job that could still register a child must still be counted.
                inFlight.fetch_sub(1);
                if (load.account(false, 1)) {
                    completions.fetch_add(1);
                    jobsLeftAtCompletion.store(inFlight.load());
                }
            }
        };
        std::vector<std::thread> threads;
        for (int w = 0; w < kWorkers; ++w) threads.emplace_back(worker, round * 31 + w);
        for (auto& t : threads) t.join();

        ASSERT_EQ(completions.load(), 1) << "round " << round;
        EXPECT_EQ(lateRegistrations.load(), 0);
        EXPECT_EQ(jobsLeftAtCompletion.load(), 0) << "round " << round;
        EXPECT_EQ(load.accounted(), load.expected());
        EXPECT_EQ(load.expected(), static_cast<std::uint32_t>(created.load() + 1));
        EXPECT_EQ(registry.count(root), load.expected());
        EXPECT_EQ(load.size(), load.expected());
    }
}

}  // namespace
