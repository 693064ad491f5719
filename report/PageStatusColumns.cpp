#include "report/PageStatusColumns.h"

#include "engine/base/AsciiText.h"
#include "engine/figures/PageFigures.h"
#include "engine/schedule/PageState.h"
#include "query/DisplayFormats.h"
#include "report/SiteColumns.h"
#include "report/TextFormat.h"

namespace report {
namespace {

using engine::PageState;

struct ColumnDefinition {
    const char* header;
    int width;
};

constexpr std::array<ColumnDefinition, kPageStatusColumnCount> kColumns{{
    {"Page", 20},
    {"Status", 20},
    {"Elements", 15},
    {"Size", 15},
    {"Time", 15},
    {"Speed", 15},
}};

// The running figure lags the page's own clock by this much, and never reads below 0.
constexpr std::uint32_t kStartAllowanceMs = 1000;

std::string timeText(const PageStatusFacts& page) {
    if (!page.downloadRunning) return query::formatTime(clampedToInt32(page.downloadTime));
    const std::uint32_t elapsed =
        page.elapsedMs > kStartAllowanceMs ? page.elapsedMs - kStartAllowanceMs : 0;
    return query::formatTime(clampedToInt32(elapsed));
}

}  // namespace

const char* pageStatusHeader(PageStatusColumn column) {
    return kColumns[static_cast<std::size_t>(column)].header;
}

int pageStatusWidth(PageStatusColumn column) {
    return kColumns[static_cast<std::size_t>(column)].width;
}

PageStatusFacts pageStatusFacts(engine::PageEntry& page, int connectionIndex,
                                bool downloadRunning) {
    PageStatusFacts facts;
    facts.address = page.address().urlText;
    facts.state = static_cast<std::uint32_t>(page.state());
    facts.finished = page.finishedCount();
    facts.expected = page.expectedCount();
    facts.pageSize = page.pageSize();
    facts.downloadRunning = downloadRunning;
    facts.elapsedMs = page.jobElapsedMs();
    const engine::PageFigures figures = page.figures(
        engine::isConnectionIndex(connectionIndex) ? connectionIndex : engine::kActualSpeed);
    facts.downloadTime = figures.downloadTime;
    facts.speed = engine::pageSpeed(figures);
    return facts;
}

PageStatusRow pageStatusRow(const std::optional<PageStatusFacts>& page) {
    PageStatusRow row;
    auto& texts = row.texts;
    const auto at = [&texts](PageStatusColumn column) -> std::string& {
        return texts[static_cast<std::size_t>(column)];
    };
    if (!page) {
        at(PageStatusColumn::Page) = "No Page";
        return row;
    }
    at(PageStatusColumn::Page) = page->address;
    at(PageStatusColumn::Status) = std::string(engine::pageStateText(page->state));
    if (page->state == static_cast<std::uint32_t>(PageState::InProcess)) {
        row.progress = page->expected != 0
                           ? static_cast<int>(std::uint64_t{page->finished} * 100 / page->expected)
                           : 0;
    }
    if (page->finished > 0) {
        at(PageStatusColumn::Elements) = format("%u (%u)", page->finished, page->expected);
    }
    at(PageStatusColumn::Size) = query::formatSize(clampedToInt32(page->pageSize));
    at(PageStatusColumn::Time) = timeText(*page);
    at(PageStatusColumn::Speed) = query::formatSpeed(page->speed);
    return row;
}

std::string pageStatusText(std::uint32_t state, const std::string& address) {
    const char* pattern = nullptr;
    switch (static_cast<PageState>(state)) {
        case PageState::Ready:
            pattern = "Ready to download: '%s'.";
            break;
        case PageState::InProcess:
            pattern = "Downloading: '%s'...";
            break;
        case PageState::Finished:
            pattern = "Finished Download: '%s'.";
            break;
        case PageState::Error:
            pattern = "Download Failed: '%s'.";
            break;
        case PageState::ChildError:
            pattern = "Child Download Failed: '%s'.";
            break;
        case PageState::Aborting:
            pattern = "Aborting Download: '%s'.";
            break;
        case PageState::Canceled:
            pattern = "Download Canceled: '%s'.";
            break;
    }
    return pattern ? format(pattern, address.c_str()) : std::string();
}

std::string pageStatusHeaderText(const engine::PageEntry* page) {
    if (!page) return "Web Item Status";
    return pageStatusText(static_cast<std::uint32_t>(page->state()), page->address().urlText);
}

bool headerTextChanged(const std::string& shown, const std::string& next) {
    return engine::compareIgnoringCase(shown, next) != 0;
}

}  // namespace report
