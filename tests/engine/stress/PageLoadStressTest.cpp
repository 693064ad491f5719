#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "engine/schedule/PageState.h"
#include "tests/engine/SiteFixture.h"
#include "tests/support/RawServer.h"

namespace {

using engine::MessageId;
using engine::PageEntry;
using engine::PageState;
using enginetest::SiteFixture;

// A page of 1,000 elements, ten of them frames with elements of their own, loaded again and
// again: every load must end exactly once, with every element fetched and accounted for.
//
// The site is served by a plain keep-alive script rather than the routing test server, so that
// the 200,000 requests of the run cost little besides the loader's own work.
class PageLoadStress : public SiteFixture {
protected:
    static constexpr int kFrames = 10;
    static constexpr int kPerFrame = 50;
    static constexpr int kImages = 1000 - kFrames - kFrames * kPerFrame;  // on the page itself
    static constexpr std::uint32_t kItems = 1 + 1000;
    static constexpr int kLoads = 200;
    inline static const std::string kGif = "GIF89a";

    PageLoadStress() {
        std::string html = "<html>";
        for (int f = 0; f < kFrames; ++f) {
            std::string frame = "<html>";
            for (int i = 0; i < kPerFrame; ++i) {
                frame += "<img src=\"/s/" + std::to_string(10000 + f * kPerFrame + i) + ".gif\">";
            }
            frame += "</html>";
            pageSize_ += static_cast<std::uint32_t>(frame.size());
            documents_["/frame" + std::to_string(f) + ".html"] = frame;
            html += "<iframe src=\"/frame" + std::to_string(f) + ".html\"></iframe>";
        }
        for (int i = 0; i < kImages; ++i) html += "<img src=\"/s/" + std::to_string(i) + ".gif\">";
        html += "</html>";
        pageSize_ += static_cast<std::uint32_t>(html.size() + (1000 - kFrames) * kGif.size());
        documents_["/stress.html"] = html;
    }

    // Answers every request of a connection until the client closes it.
    void serve(support::RawServer::Connection& connection) {
        for (std::string request = connection.readRequest(); !request.empty();
             request = connection.readRequest()) {
            const std::size_t end = request.find(' ', 4);
            const std::string path = request.substr(4, end - 4);
            const auto document = documents_.find(path);
            const bool html = document != documents_.end();
            const std::string& body = html ? document->second : kGif;
            const std::string head = std::string("HTTP/1.1 200 OK\r\nContent-Type: ") +
                                     (html ? "text/html" : "image/gif") +
                                     "\r\nContent-Length: " + std::to_string(body.size()) +
                                     "\r\n\r\n";
            served_.fetch_add(1);
            if (!connection.send(head + body)) return;
        }
    }

    std::map<std::string, std::string> documents_;  // fixed before the server starts
    std::uint32_t pageSize_ = 0;                    // every byte of the page and its elements
    std::atomic<std::size_t> served_{0};
    support::RawServer site_{[this](support::RawServer::Connection& c) { serve(c); }};
};

TEST_F(PageLoadStress, EveryLoadOfAThousandElementsFinishesExactlyOnce) {
    std::atomic<int> finishes{0};
    manager_->setPageFinishedHook([&](const std::shared_ptr<PageEntry>&) { ++finishes; });
    const auto entry = PageEntry::create(*manager_, site_.url("/stress.html"));
    for (int load = 1; load <= kLoads; ++load) {
        sink_->clear();
        manager_->enqueuePage(entry, engine::kScanAll);
        ASSERT_TRUE(sink_->waitForRunsEnded(1)) << load;
        ASSERT_EQ(entry->state(), PageState::Finished) << load;
        ASSERT_EQ(finishes.load(), load);
        ASSERT_EQ(sink_->count(MessageId::PageState, 4), 1u) << load;
        ASSERT_EQ(entry->expectedCount(), kItems) << load;
        ASSERT_EQ(entry->finishedCount(), kItems) << load;
        ASSERT_EQ(entry->pageSize(), pageSize_) << load;
        ASSERT_EQ(served_.load(), static_cast<std::size_t>(load) * kItems) << load;
    }
    EXPECT_EQ(entry->figures(engine::kActualSpeed).items.size(), kItems);
    EXPECT_EQ(manager_->registry().size(), kItems);  // the earlier loads' trees are gone
}

}  // namespace
