#include "engine/schedule/PageLoader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "engine/schedule/PageState.h"
#include "tests/engine/SiteFixture.h"

namespace {

using engine::EngineMessage;
using engine::MessageId;
using engine::PageEntry;
using engine::PageState;
using engine::SiteManager;
using enginetest::RecordingSink;
using enginetest::SiteFixture;
using std::chrono::milliseconds;

std::string img(const std::string& src) {
    return "<img src=\"" + src + "\">";
}

constexpr const char* kStyle = "/content?type=text/css&body=b";
constexpr const char* kImage = "/content?type=image/gif&size=300";
constexpr const char* kScript = "/content?type=application/x-javascript&body=x";

// A document with a style sheet, an image and a script.
std::string homePage() {
    return std::string("<html><head><title>Home</title><link rel=stylesheet href=\"") + kStyle +
           "\"></head><body>" + img(kImage) + "<script src=\"" + kScript +
           "\"></script><a href=\"/other.html\">o</a></body></html>";
}

// Waits up to 30 s until the server has seen `n` requests whose target starts with `prefix`.
bool serverSaw(const support::TestServer& server, const std::string& prefix, std::size_t n) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < limit) {
        std::size_t seen = 0;
        for (const auto& r : server.requests()) seen += r.target.rfind(prefix, 0) == 0;
        if (seen >= n) return true;
        std::this_thread::sleep_for(milliseconds(2));
    }
    return false;
}

using PageLoading = SiteFixture;

TEST_F(PageLoading, LoadsTheDocumentAndEveryElementThenSettlesAsFinished) {
    page("/index.html", homePage());
    const auto entry = load(url("/index.html"));

    EXPECT_EQ(entry->state(), PageState::Finished);
    EXPECT_EQ(entry->expectedCount(), 4u);
    EXPECT_EQ(entry->finishedCount(), 4u);
    EXPECT_EQ(entry->rootItem()->scanResult()->title, "Home");
    for (int k = 0; k < engine::kConnectionCount; ++k) EXPECT_TRUE(entry->figuresUpToDate(k)) << k;

    const engine::PageFigures f = entry->figures(engine::kActualSpeed);
    ASSERT_EQ(f.items.size(), 4u);  // the document, then its elements in document order
    EXPECT_EQ(f.items[1].item->address().urlText, url(kStyle));
    EXPECT_EQ(f.items[2].item->address().urlText, url(kImage));
    EXPECT_EQ(f.items[3].item->address().urlText, url(kScript));
    EXPECT_EQ(f.items[2].stats.size, 300u);
    EXPECT_EQ(f.pageSize, homePage().size() + 1 + 300 + 1);
    EXPECT_EQ(entry->pageSize(), f.pageSize);
    for (const auto& item : f.items) EXPECT_EQ(item.item->phase(), engine::LoadPhase::Completed);
}

TEST_F(PageLoading, ReportsWorkJobStateAndProgressToTheWindows) {
    page("/index.html", homePage());
    const auto entry = load(url("/index.html"));
    const auto messages = sink_->messages();
    ASSERT_FALSE(messages.empty());

    EXPECT_EQ(messages.front().message.id, MessageId::WorkState);
    EXPECT_EQ(messages.front().message.value, 0u);
    EXPECT_EQ(messages.back().message.id, MessageId::WorkState);
    EXPECT_EQ(messages.back().message.value, 1u);
    EXPECT_EQ(sink_->count(MessageId::WorkState, 0), 1u);
    EXPECT_EQ(sink_->count(MessageId::WorkState, 1), 1u);
    EXPECT_EQ(sink_->count(MessageId::PageJob, 0), 1u);
    EXPECT_EQ(sink_->count(MessageId::PageJob, 1), 1u);

    // State changes: In process (from Ready) first, Finished (from In process) last.
    std::vector<EngineMessage> states;
    std::size_t finalReports = 0, itemReports = 0;
    for (const auto& r : messages) {
        EXPECT_FALSE(r.sent);
        if (r.message.id == MessageId::PageState) states.push_back(r.message);
        if (r.message.id == MessageId::ItemProgress) {
            EXPECT_EQ(r.message.page, entry);
            (r.message.item ? itemReports : finalReports) += 1;
        }
    }
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states.front().value, 2u);
    EXPECT_EQ(states.front().previousState, 1u);
    EXPECT_EQ(states.back().value, 4u);
    EXPECT_EQ(states.back().previousState, 2u);
    EXPECT_EQ(finalReports, 1u);
    // Connected, request sent, response done and the end of the transfer, for each item.
    EXPECT_GE(itemReports, 4u * 4u);
}

TEST_F(PageLoading, ADnsFailureOfTheOnlyItemIsAnError) {
    const auto entry = load("http://no-such-host.pagelyst.invalid/");
    EXPECT_EQ(entry->state(), PageState::Error);
    EXPECT_EQ(entry->rootItem()->result(), 12007);
    EXPECT_EQ(entry->finishedCount(), 1u);
}

TEST_F(PageLoading, AFailingImageIsAChildError) {
    const std::string broken = "/content?status=404&type=image/gif&size=57";
    page("/broken.html", "<html>" + img(broken) + "</html>");
    const auto entry = load(url("/broken.html"));
    EXPECT_EQ(entry->state(), PageState::ChildError);
    const engine::PageFigures f = entry->figures(engine::kActualSpeed);
    ASSERT_EQ(f.items.size(), 2u);
    EXPECT_EQ(f.items[1].item->result(), -1);
    EXPECT_EQ(f.items[1].item->statusCode(), 404);
    // The refused image keeps its measured record: its address and its error page's body.
    const engine::ElementStats& stats = f.items[1].stats;
    EXPECT_EQ(stats.urlText, url(broken));
    EXPECT_EQ(stats.port, server_.port());
    EXPECT_EQ(stats.size, 57u);
    EXPECT_EQ(stats.contentType, "image/gif");
}

TEST_F(PageLoading, AnOctetStreamRootIsSkippedAndThePageCanceled) {
    const auto entry = load(url("/content?type=application/octet-stream&size=100"));
    EXPECT_EQ(entry->state(), PageState::Canceled);
    EXPECT_EQ(entry->rootItem()->phase(), engine::LoadPhase::Skipped);
}

TEST_F(PageLoading, ThreeReferencesToOneImageMakeOneChild) {
    page("/three.html", "<html>" + img(kImage) + img(kImage) + "<p>" + img(kImage) + "</html>");
    const auto entry = load(url("/three.html"));
    EXPECT_EQ(entry->state(), PageState::Finished);
    EXPECT_EQ(entry->expectedCount(), 2u);
    EXPECT_EQ(requestCounts()[kImage], 1);
}

TEST_F(PageLoading, ASecondPageCountsASharedImageWithoutFetchingItAgain) {
    const std::string other = "/content?type=image/gif&size=20";
    page("/first.html", "<html>" + img(kImage) + "</html>");
    page("/second.html", "<html>" + img(other) + img(kImage) + "</html>");
    const auto first = load(url("/first.html"));
    const auto second = load(url("/second.html"));

    EXPECT_EQ(second->state(), PageState::Finished);
    EXPECT_EQ(second->expectedCount(), 3u);
    EXPECT_EQ(second->finishedCount(), 3u);
    EXPECT_EQ(requestCounts()[kImage], 1);
    const engine::PageFigures f = second->figures(engine::kActualSpeed);
    ASSERT_EQ(f.items.size(), 3u);
    EXPECT_EQ(f.items[2].item, first->figures(engine::kActualSpeed).items[1].item);
    EXPECT_EQ(f.pageSize, second->rootItem()->size() + 20 + 300);
}

TEST_F(PageLoading, ASharedImageThatFailedFailsEveryPageThatUsesIt) {
    // The error page's type is not the image's: the failure still belongs to every page.
    const std::string broken = "/content?status=404&type=text/html&body=gone";
    page("/first.html", "<html>" + img(broken) + "</html>");
    page("/second.html", "<html>" + img(kImage) + img(broken) + "</html>");
    const auto first = load(url("/first.html"));
    const auto second = load(url("/second.html"));

    EXPECT_EQ(first->state(), PageState::ChildError);
    EXPECT_EQ(second->state(), PageState::ChildError);
    EXPECT_EQ(second->expectedCount(), 3u);
    EXPECT_EQ(requestCounts()[broken], 1);
    const engine::PageFigures f = second->figures(engine::kActualSpeed);
    ASSERT_EQ(f.items.size(), 3u);
    EXPECT_EQ(f.items[2].item, first->figures(engine::kActualSpeed).items[1].item);
    EXPECT_EQ(f.items[2].item->statusCode(), 404);
}

TEST_F(PageLoading, ASharedItemThatDownloadedIsNotReusedForAReferenceOfAnotherType) {
    const std::string sheet = "/content?type=text/css&body=b";
    page("/first.html", "<html><link rel=stylesheet href=\"" + sheet + "\"></html>");
    page("/second.html", "<html>" + img(sheet) + "</html>");
    load(url("/first.html"));
    const auto second = load(url("/second.html"));

    EXPECT_EQ(second->state(), PageState::Finished);
    EXPECT_EQ(second->expectedCount(), 1u);
    EXPECT_EQ(requestCounts()[sheet], 1);
}

TEST_F(PageLoading, ASharedFrameCountsWithItsElementsWithoutBeingFetchedAgain) {
    const std::string inFrame = "/content?type=image/gif&size=7";
    page("/frame.html", "<html>" + img(inFrame) + "</html>");
    page("/one.html", "<html><iframe src=\"/frame.html\"></iframe></html>");
    page("/two.html", "<html>" + img(kImage) + "<iframe src=\"/frame.html\"></iframe></html>");
    const auto first = load(url("/one.html"));
    const auto second = load(url("/two.html"));

    EXPECT_EQ(second->state(), PageState::Finished);
    EXPECT_EQ(second->expectedCount(), 4u);
    EXPECT_EQ(second->finishedCount(), 4u);
    EXPECT_EQ(requestCounts()["/frame.html"], 1);
    EXPECT_EQ(requestCounts()[inFrame], 1);
    const engine::PageFigures f = second->figures(engine::kActualSpeed);
    ASSERT_EQ(f.items.size(), 4u);
    EXPECT_EQ(f.items[2].item->address().urlText, url("/frame.html"));
    EXPECT_EQ(f.items[3].item->address().urlText, url(inFrame));
    EXPECT_EQ(f.items[3].parent, 2);
    EXPECT_EQ(f.items[3].level, 2);
    // The first page keeps its own tree.
    EXPECT_EQ(first->figures(engine::kActualSpeed).items.size(), 3u);
}

TEST_F(PageLoading, AFramesOwnElementsStandBelowIt) {
    const std::string inFrame = "/content?type=image/gif&size=7";
    page("/frame.html", "<html>" + img(inFrame) + "</html>");
    page("/framed.html", "<html><iframe src=\"/frame.html\"></iframe>" + img(kImage) + "</html>");
    const auto entry = load(url("/framed.html"));

    EXPECT_EQ(entry->state(), PageState::Finished);
    const engine::PageFigures f = entry->figures(engine::kActualSpeed);
    ASSERT_EQ(f.items.size(), 4u);
    EXPECT_EQ(f.items[1].item->address().urlText, url("/frame.html"));
    EXPECT_EQ(f.items[2].item->address().urlText, url(inFrame));
    EXPECT_EQ(f.items[2].level, 2);
    EXPECT_EQ(f.items[2].parent, 1);
    EXPECT_EQ(f.items[3].item->address().urlText, url(kImage));
    EXPECT_EQ(f.items[3].parent, 0);
    EXPECT_EQ(f.items[1].stats.sizeWithChildren, f.items[1].stats.size + 7);
}

TEST_F(PageLoading, ElementsOfTheSamePageAsInlineWorkOfAPlainManager) {
    use(SiteManager::Role::Plain);
    EXPECT_EQ(manager_->operationFlags(), SiteManager::kPagesInParallel);
    page("/frame.html", "<html>" + img("/content?type=image/gif&size=7") + "</html>");
    page("/framed.html", "<html><iframe src=\"/frame.html\"></iframe>" + homePage() + "</html>");
    const auto entry = load(url("/framed.html"));
    EXPECT_EQ(entry->state(), PageState::Finished);
    EXPECT_EQ(entry->expectedCount(), 6u);
    EXPECT_EQ(entry->finishedCount(), 6u);
    // Only the windows' manager reports page jobs.
    EXPECT_EQ(sink_->count(MessageId::PageJob, 0), 0u);
    EXPECT_EQ(sink_->count(MessageId::PageJob, 1), 0u);
}

TEST_F(PageLoading, ARedirectedPageTakesTheAddressItArrivedAt) {
    manager_->visited().add(url("/redirect/2"));
    const auto entry = load(url("/redirect/2"));
    EXPECT_EQ(entry->state(), PageState::Finished);
    EXPECT_EQ(entry->address().urlText, url("/redirect/0"));
    EXPECT_TRUE(manager_->visited().contains(url("/redirect/0")));
    EXPECT_FALSE(manager_->visited().contains(url("/redirect/2")));
    // The item is known under every address it passed.
    EXPECT_EQ(manager_->registry().find(url("/redirect/1")), entry->rootItem());
    EXPECT_EQ(entry->figures(0).items[0].stats.urlText, url("/redirect/0"));
}

TEST_F(PageLoading, APageRedirectedToAPageOfTheTreeIsRemovedBetweenTwoSentMessages) {
    std::atomic<int> finishedHooks{0};
    manager_->setPageFinishedHook([&](const std::shared_ptr<PageEntry>&) { ++finishedHooks; });
    manager_->visited().add(url("/redirect/0"));
    manager_->visited().add(url("/redirect/1"));
    const auto held = load(url("/redirect/0"));
    const auto duplicate = load(url("/redirect/1"));

    EXPECT_EQ(duplicate->state(), PageState::Finished);
    EXPECT_TRUE(duplicate->rootItem()->isDuplicate());
    EXPECT_EQ(finishedHooks.load(), 1);  // not run for the duplicate
    std::vector<RecordingSink::Recorded> removal;
    for (const auto& r : sink_->messages()) {
        if (r.message.id == MessageId::DuplicatePage) removal.push_back(r);
        if (r.message.id == MessageId::PageJob && r.message.value == 1) {
            EXPECT_EQ(r.message.page, held);  // the duplicate's job end is not reported
        }
    }
    ASSERT_EQ(removal.size(), 2u);
    EXPECT_TRUE(removal[0].sent && removal[1].sent);
    EXPECT_EQ(removal[0].message.value, 0u);
    EXPECT_EQ(removal[1].message.value, 1u);
    EXPECT_EQ(removal[0].message.page, duplicate);
    // The default removal forgets the address and the items.
    EXPECT_FALSE(manager_->visited().contains(url("/redirect/1")));
    EXPECT_TRUE(manager_->visited().contains(url("/redirect/0")));
    EXPECT_TRUE(duplicate->figures(0).items.empty());
    EXPECT_EQ(held->figures(0).items.size(), 1u);
    EXPECT_EQ(manager_->registry().find(url("/redirect/0")), held->rootItem());
}

TEST_F(PageLoading, TheFinishedHookSeesASettledPageBeforeItsJobEnds) {
    page("/index.html", homePage());
    std::atomic<int> calls{0};
    std::atomic<bool> settled{false}, stillWaited{false};
    manager_->setPageFinishedHook([&](const std::shared_ptr<PageEntry>& p) {
        ++calls;
        settled = p->state() == PageState::Finished && p->figuresUpToDate(3);
        stillWaited = !p->waitUntilComplete(milliseconds(0));
    });
    load(url("/index.html"));
    EXPECT_EQ(calls.load(), 1);
    EXPECT_TRUE(settled.load());
    EXPECT_TRUE(stillWaited.load());
}

TEST_F(PageLoading, AnAbortedPageSettlesAsCanceledAndFetchesNothingMore) {
    auto gate = std::make_shared<engine::ManualResetEvent>(false);
    server_.get(R"(/held/(\d+)\.gif)", [gate](const httplib::Request&, httplib::Response& res) {
        gate->waitFor(milliseconds(30000));
        res.set_content("GIF89a", "image/gif");
    });
    std::string html = "<html>";
    for (int i = 0; i < 6; ++i) html += img("/held/" + std::to_string(i) + ".gif");
    page("/slow.html", html + "</html>");

    const auto entry = PageEntry::create(*manager_, url("/slow.html"));
    manager_->enqueuePage(entry, engine::kScanAll);
    ASSERT_TRUE(serverSaw(server_, "/held/", 4));  // four workers, each held
    EXPECT_TRUE(entry->abort());
    EXPECT_EQ(entry->state(), PageState::Aborting);
    gate->set();
    ASSERT_TRUE(sink_->waitForRunsEnded(1));

    EXPECT_EQ(entry->state(), PageState::Canceled);
    EXPECT_EQ(requestCounts().size(), 1u + 4u);  // the other two were never fetched
    EXPECT_LE(entry->finishedCount(), entry->expectedCount());
    std::size_t untouched = 0;
    for (const auto& item : entry->figures(0).items) untouched += item.item->isNew();
    EXPECT_EQ(untouched, 2u);
}

TEST_F(PageLoading, LoadingAPageAgainMeasuresEverythingAnew) {
    page("/index.html", "<html>" + img(kImage) + "</html>");
    const auto entry = PageEntry::create(*manager_, url("/index.html"));
    for (std::size_t run = 1; run <= 2; ++run) {
        manager_->enqueuePage(entry, engine::kScanAll);
        ASSERT_TRUE(sink_->waitForRunsEnded(run));
        EXPECT_EQ(entry->state(), PageState::Finished);
        EXPECT_EQ(entry->expectedCount(), 2u);
        EXPECT_EQ(entry->finishedCount(), 2u);
    }
    EXPECT_EQ(requestCounts()[kImage], 2);
    EXPECT_EQ(manager_->registry().size(), 2u);  // the first load's items are gone
}

TEST_F(PageLoading, AnchorsOnlyLoadsCollectNoElements) {
    page("/index.html", homePage());
    const auto entry = load(url("/index.html"), engine::kScanAnchors | engine::kScanTitle);
    EXPECT_EQ(entry->state(), PageState::Finished);
    EXPECT_EQ(entry->expectedCount(), 1u);
    EXPECT_EQ(entry->rootItem()->scanResult()->anchors.size(), 1u);
    EXPECT_EQ(entry->jobFlags(), engine::kScanAnchors | engine::kScanTitle);
}

}  // namespace
