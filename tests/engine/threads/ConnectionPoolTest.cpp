#include "engine/http/ConnectionPool.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/engine/DownloadFixture.h"

namespace {

using engine::ConnectionPool;
using engine::LoadPhase;
using enginetest::DownloadFixture;

TEST(ConnectionPool, IdleConnectionsAreReusedFirstInFirstOut) {
    ConnectionPool pool;
    const auto a = pool.acquire("h:80");
    const auto b = pool.acquire("h:80");
    EXPECT_NE(a, b);
    EXPECT_EQ(pool.busyCount("h:80"), 2u);
    pool.release(b);
    pool.release(a);
    EXPECT_EQ(pool.idleCount("h:80"), 2u);
    EXPECT_EQ(pool.acquire("h:80"), b);
    EXPECT_EQ(pool.acquire("h:80"), a);
    EXPECT_NE(pool.acquire("other:80"), a);
}

TEST(ConnectionPool, IdleConnectionsAreBounded) {
    ConnectionPool pool;
    std::vector<std::shared_ptr<engine::ServerConnection>> held;
    for (int i = 0; i < 40; ++i) held.push_back(pool.acquire("host" + std::to_string(i) + ":80"));
    for (const auto& c : held) pool.release(c);
    std::size_t idle = 0;
    for (int i = 0; i < 40; ++i) idle += pool.idleCount("host" + std::to_string(i) + ":80");
    EXPECT_EQ(idle, ConnectionPool::kMaxIdle);
    // The least recently used went first.
    EXPECT_EQ(pool.idleCount("host0:80"), 0u);
    EXPECT_EQ(pool.idleCount("host39:80"), 1u);
}

TEST(ConnectionPool, StopAllAbortsAndForgetsEveryConnection) {
    ConnectionPool pool;
    const auto busy = pool.acquire("h:80");
    const auto idle = pool.acquire("h:80");
    pool.release(idle);
    pool.stopAll();
    EXPECT_TRUE(busy->aborted());
    EXPECT_TRUE(idle->aborted());
    pool.release(busy);  // a transfer that ends after the stop gives nothing back
    EXPECT_EQ(pool.idleCount("h:80"), 0u);
    EXPECT_EQ(pool.busyCount("h:80"), 0u);
    EXPECT_FALSE(pool.acquire("h:80")->aborted());
}

TEST(ConnectionPool, ConcurrentAcquireAndRelease) {
    ConnectionPool pool;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&pool, t] {
            for (int i = 0; i < 200; ++i) {
                const auto c = pool.acquire("k" + std::to_string((t + i) % 3) + ":1");
                pool.release(c);
                if (i % 50 == 49 && t == 0) pool.stopAll();
            }
        });
    for (auto& t : threads) t.join();
    for (int k = 0; k < 3; ++k) EXPECT_EQ(pool.busyCount("k" + std::to_string(k) + ":1"), 0u);
}

using PooledDownloads = DownloadFixture;

TEST_F(PooledDownloads, WorkersShareAtMostOneConnectionEach) {
    constexpr int kWorkers = 4;
    constexpr int kEach = 8;
    std::vector<std::thread> threads;
    std::atomic<int> completed{0};
    for (int t = 0; t < kWorkers; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) {
                const auto item =
                    fetch(server_.url("/content?type=image/gif&size=2000"), "image/*");
                if (item->phase() == LoadPhase::Completed && item->size() == 2000) ++completed;
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(completed.load(), kWorkers * kEach);
    EXPECT_LE(server_.connectionCount(), static_cast<std::size_t>(kWorkers));
    const std::string key = "127.0.0.1:" + std::to_string(server_.port());
    EXPECT_EQ(pool_.busyCount(key), 0u);
    EXPECT_LE(pool_.idleCount(key), static_cast<std::size_t>(kWorkers));
}

}  // namespace
