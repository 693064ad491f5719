#include "export/HarImport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/crawl/CrawlController.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/http/CurlErrorMap.h"
#include "engine/http/TransferResult.h"
#include "engine/items/ImportedItem.h"
#include "engine/schedule/PageItem.h"
#include "engine/schedule/PageState.h"
#include "tests/export/ImportedPages.h"

namespace {

using engine::LoadPhase;
using engine::PageState;
using exporttest::harFixture;

// The page Chrome saved (tests/export/har/chrome-page.har): a redirected document, a style
// sheet and the image it uses, a script and the request it made, an image from the memory
// cache, one answered 404, a data: image, a favicon the browser gave up and a pixel whose host
// had no address.
class ChromePage : public exporttest::ImportedPages {
protected:
    ChromePage() : page_(importOne(harFixture("chrome-page.har"))) {}

    engine::PageFigures figures(int connection = engine::kActualSpeed) {
        return page_->figures(connection);
    }

    std::shared_ptr<engine::PageEntry> page_;
};

constexpr const char* kRoot = "https://shop.example/";
constexpr const char* kCss = "https://shop.example/css/site.css";
constexpr const char* kBack = "https://shop.example/img/back.png";
constexpr const char* kLogo = "https://shop.example/img/logo.svg";
constexpr const char* kGone = "https://shop.example/img/gone.gif";
constexpr const char* kScript = "https://cdn.example/app.js";
constexpr const char* kCart = "https://api.example/cart?id=7";
constexpr const char* kPixel = "https://ads.example/pixel.gif";
constexpr const char* kFavicon = "https://shop.example/favicon.ico";

TEST_F(ChromePage, ARedirectionIsOneItemWithTheAnswerItLedTo) {
    const engine::ItemFigures root = figures().items.front();
    EXPECT_EQ(root.item->address().urlText, kRoot);
    EXPECT_EQ(page_->address().urlText, kRoot);  // as a redirected page takes its new address
    EXPECT_EQ(root.item->statusCode(), 200);
    EXPECT_EQ(root.stats.size, 8512u);
    // Both requests' phases: 31 + 30 connect, 0 + 0 send, 26 + 60 wait, 0 + 30 receive.
    EXPECT_EQ(root.stats.connectTime, 61u);
    EXPECT_EQ(root.stats.waitTime, 86u);
    EXPECT_EQ(root.stats.receiveTime, 30u);
    EXPECT_EQ(root.stats.totalTime, 177u);
}

struct Phases {
    const char* url;
    std::uint32_t connect, send, wait, receive;
};

void PrintTo(const Phases& phases, std::ostream* out) {
    *out << phases.url;
}

class ChromePhases : public ChromePage, public ::testing::WithParamInterface<Phases> {};

// dns and connect are connect, ssl inside it; -1 is none; halves round away from zero.
TEST_P(ChromePhases, TimingsBecomeThePhaseTimes) {
    const engine::ElementStats s = item(figures(), GetParam().url).stats;
    EXPECT_EQ(s.connectTime, GetParam().connect);
    EXPECT_EQ(s.sendTime, GetParam().send);
    EXPECT_EQ(s.waitTime, GetParam().wait);
    EXPECT_EQ(s.receiveTime, GetParam().receive);
}

INSTANTIATE_TEST_SUITE_P(Items, ChromePhases,
                         ::testing::Values(Phases{kCss, 0, 0, 30, 9}, Phases{kBack, 0, 0, 16, 5},
                                           Phases{kScript, 47, 0, 20, 10},
                                           Phases{kCart, 23, 1, 25, 2}, Phases{kGone, 0, 0, 29, 1},
                                           Phases{kLogo, 0, 0, 0, 0}));

TEST_F(ChromePage, BlockedTimeOnlyDelaysTheStart) {
    const auto start = [&](const char* url) {
        return item(figures(), url).item->transferStart()->tick;
    };
    // The document began 2.4 ms after its entry's start, the script 3 ms after its own at 160 ms.
    EXPECT_EQ(start(kScript) - start(kRoot), 161u);
    EXPECT_EQ(start(kCart) - start(kRoot), 298u);
    EXPECT_EQ(item(figures(), kScript).stats.totalTime, 77u);
}

struct Parent {
    const char* url;
    const char* parent;
};

void PrintTo(const Parent& parent, std::ostream* out) {
    *out << parent.url;
}

class ChromeParents : public ChromePage, public ::testing::WithParamInterface<Parent> {};

TEST_P(ChromeParents, AnItemStandsUnderWhatCausedIt) {
    EXPECT_EQ(parentOf(figures(), GetParam().url), GetParam().parent);
}

INSTANTIATE_TEST_SUITE_P(
    Items, ChromeParents,
    ::testing::Values(Parent{kCss, kRoot},        // the parser, in the document
                      Parent{kBack, kCss},        // the parser, in the style sheet
                      Parent{kCart, kScript},     // the call stack's script
                      Parent{kPixel, kScript},    // its first frame with an address
                      Parent{kFavicon, kRoot}));  // no cause named: the document

TEST_F(ChromePage, ItemsStandInTheOrderTheirTransfersBegan) {
    std::vector<std::string> order;
    for (const engine::ItemFigures& entry : figures().items)
        order.push_back(entry.item->address().urlText);
    EXPECT_EQ(order, (std::vector<std::string>{kRoot, kLogo, kCss, kBack, kGone, kScript, kCart,
                                               kPixel, kFavicon}));
}

TEST_F(ChromePage, PositionsSayHowFarTheParentHadArrivedWhenTheElementWasAsked) {
    // The document's last 30 ms of receiving began at 149.4 ms, its 8512 bytes in them.
    EXPECT_EQ(item(figures(), kCss).position, 170u);       // asked at 150 ms
    EXPECT_EQ(item(figures(), kScript).position, 3008u);   // at 160 ms
    EXPECT_EQ(item(figures(), kFavicon).position, 8512u);  // after the document
    EXPECT_EQ(item(figures(), kBack).position, 1200u);     // after the style sheet
}

TEST_F(ChromePage, AnAnswerFromTheCacheIsKeptMarkedAndNotTimed) {
    for (int k = 0; k < engine::kConnectionCount; ++k) {
        const engine::ItemFigures logo = item(figures(k), kLogo);
        EXPECT_TRUE(logo.item->fromCache());
        EXPECT_EQ(logo.item->phase(), LoadPhase::Completed);
        EXPECT_EQ(logo.stats.totalTime, 0u) << k;
    }
    EXPECT_FALSE(item(figures(), kCss).item->fromCache());
}

TEST_F(ChromePage, ARequestWithoutAnswerFailsWithItsNetworkErrorOrWasGivenUp) {
    const engine::WebItem& pixel = *item(figures(), kPixel).item;
    EXPECT_EQ(pixel.phase(), LoadPhase::Error);
    EXPECT_EQ(pixel.result(), engine::error::kNameNotResolved);
    const engine::WebItem& favicon = *item(figures(), kFavicon).item;  // net::ERR_ABORTED
    EXPECT_EQ(favicon.phase(), LoadPhase::Skipped);
    EXPECT_EQ(favicon.result(), 0);
}

TEST_F(ChromePage, AFailedStatusIsAnHttpFailureWithItsBodySize) {
    const engine::ItemFigures gone = item(figures(), kGone);
    EXPECT_EQ(gone.item->result(), engine::kResultHttpStatus);
    EXPECT_EQ(gone.item->statusCode(), 404);
    EXPECT_EQ(gone.stats.size, 120u);  // bodySize -1: content.size
}

TEST_F(ChromePage, ThePageSettlesAndIsGradedAsADownload) {
    EXPECT_EQ(page_->state(), PageState::ChildError);
    EXPECT_TRUE(engine::fullyLoaded(*page_));
    EXPECT_TRUE(page_->waitUntilComplete(std::chrono::milliseconds(0)));
    EXPECT_EQ(page_->finishedCount(), 9u);
    EXPECT_EQ(engine::pageTitle(*page_), "Shop - Home");
    EXPECT_NE(page_->pageClass(), 0);
    EXPECT_NE(page_->hintText().find("error"), std::string::npos) << page_->hintText();
    for (int k = 0; k < engine::kConnectionCount; ++k) EXPECT_TRUE(page_->figuresUpToDate(k));
    EXPECT_GT(figures(7).downloadTime, figures().downloadTime);  // 56K restates the page
    EXPECT_EQ(sink_->count(engine::MessageId::PageState,
                           static_cast<std::uint32_t>(PageState::ChildError)),
              1u);
}

TEST_F(ChromePage, ItemsAreImportedNotTheLoadersOwnAndNotFoundByAddress) {
    for (const engine::ItemFigures& entry : figures().items) {
        EXPECT_NE(dynamic_cast<const engine::ImportedItem*>(entry.item.get()), nullptr);
        EXPECT_EQ(manager_.registry().find(entry.item->address().urlText), nullptr);
    }
    EXPECT_EQ(page_->importSource(), "chrome-page.har");
}

TEST_F(ChromePage, ReloadSelectedLeavesAnImportedItemAlone) {
    EXPECT_FALSE(manager_.reloadElement(page_, item(figures(), kCss).item));
    EXPECT_EQ(page_->state(), PageState::ChildError);
}

TEST_F(ChromePage, TheSummaryCountsWhatWasMadeAndLeftOut) {
    const exporting::HarImport again = import(harFixture("chrome-page.har"));
    EXPECT_EQ(again.summary.pages, 1u);
    EXPECT_EQ(again.summary.items, 9u);
    EXPECT_EQ(again.summary.cached, 1u);
    EXPECT_EQ(again.summary.notWeb, 1u);  // the data: image
    EXPECT_EQ(exporting::importSummaryText(again.summary, "chrome-page.har"),
              "Imported 1 page with 9 elements (1 from the browser's cache) from "
              "chrome-page.har; left out: 1 entry not HTTP or HTTPS.");
    EXPECT_EQ(tree_.pageCount(), 2u);  // a page imported twice stands twice
}

// Firefox's pages (tests/export/har/firefox-pages.har): no causes, Referer headers; a page
// redirected by a Location header with a style sheet confirmed by 304, and a page without
// entries.
class FirefoxPages : public exporttest::ImportedPages {
protected:
    FirefoxPages() : imported_(import(harFixture("firefox-pages.har"))) {}

    engine::PageFigures figures(std::size_t page) {
        return imported_.nodes.at(page)->page->figures(engine::kActualSpeed);
    }

    exporting::HarImport imported_;
};

TEST_F(FirefoxPages, EachHarPageWithEntriesIsAPageOfTheTree) {
    ASSERT_EQ(imported_.error, "");
    ASSERT_EQ(imported_.nodes.size(), 2u);
    EXPECT_EQ(engine::pageTitle(*imported_.nodes[0]->page), "Blog");
    EXPECT_EQ(engine::pageTitle(*imported_.nodes[1]->page), "About us");
    EXPECT_EQ(imported_.summary.emptyPages, 1u);
    for (const engine::SiteNode* node : imported_.nodes) {
        EXPECT_EQ(node->depth, 0);
        EXPECT_TRUE(node->checked());
        EXPECT_TRUE(node->stateWord & engine::SiteNode::kKept);
    }
}

TEST_F(FirefoxPages, TheRefererNamesTheParent) {
    EXPECT_EQ(parentOf(figures(0), "https://blog.example/style.css"), "https://blog.example/");
    EXPECT_EQ(parentOf(figures(0), "https://blog.example/font.woff2"),
              "https://blog.example/style.css");
    EXPECT_EQ(parentOf(figures(0), "https://img.example/photo.jpg"), "https://blog.example/");
}

TEST_F(FirefoxPages, ConnectIsDnsAndConnectWithTheSslInside) {
    EXPECT_EQ(figures(0).items.front().stats.connectTime, 24u);  // 5 + 19; ssl 7 is in the 19
}

TEST_F(FirefoxPages, ALocationHeaderRedirectsToARelativeAddress) {
    const engine::ItemFigures root = figures(1).items.front();
    EXPECT_EQ(root.item->address().urlText, "https://blog.example/about");
    EXPECT_EQ(root.stats.waitTime, 68u);
    EXPECT_EQ(root.stats.receiveTime, 11u);
    EXPECT_EQ(figures(1).items.size(), 2u);
}

TEST_F(FirefoxPages, NotModifiedIsAConfirmedCopyNotAFailure) {
    const engine::ItemFigures css = item(figures(1), "https://blog.example/style.css");
    EXPECT_EQ(css.item->statusCode(), 304);
    EXPECT_EQ(css.item->result(), 0);
    EXPECT_EQ(css.stats.waitTime, 14u);
    EXPECT_EQ(imported_.nodes[1]->page->state(), PageState::Finished);
}

// Entries a recording proxy saved without pages (tests/export/har/no-pages.har, HAR 1.1), one
// with a page reference all the same.
class ProxyEntries : public exporttest::ImportedPages {};

TEST_F(ProxyEntries, EntriesWithoutPagesAreGroupedByTheirDocuments) {
    const exporting::HarImport imported = import(harFixture("no-pages.har"));
    ASSERT_EQ(imported.error, "");
    ASSERT_EQ(imported.nodes.size(), 2u);
    const auto addresses = [](const engine::PageFigures& f) {
        std::vector<std::string> list;
        for (const engine::ItemFigures& entry : f.items)
            list.push_back(entry.item->address().urlText);
        return list;
    };
    EXPECT_EQ(addresses(imported.nodes[0]->page->figures(0)),
              (std::vector<std::string>{"http://a.example/", "http://a.example/a.png"}));
    // The frame's document was caused by the page's: it is the page's element, not a page.
    EXPECT_EQ(addresses(imported.nodes[1]->page->figures(0)),
              (std::vector<std::string>{"http://b.example/", "http://b.example/b.css",
                                        "http://b.example/frame.html"}));
    EXPECT_EQ(imported.summary.withoutPage, 1u);  // the script before any document
}

}  // namespace
