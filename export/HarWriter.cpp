#include "export/HarWriter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "engine/base/Clock.h"
#include "engine/crawl/CrawlController.h"
#include "engine/http/TransferResult.h"
#include "engine/schedule/PageState.h"
#include "export/JsonReport.h"
#include "export/OutputFile.h"
#include "export/PageFacts.h"

#ifndef PAGELYST_VERSION
#define PAGELYST_VERSION "0"
#endif

namespace exporting {
namespace {

using nlohmann::json;

// The reason phrases of the status codes servers send.
std::string_view reasonPhrase(std::int32_t status) {
    static constexpr std::pair<std::int32_t, std::string_view> kPhrases[] = {
        {100, "Continue"},
        {101, "Switching Protocols"},
        {200, "OK"},
        {201, "Created"},
        {202, "Accepted"},
        {203, "Non-Authoritative Information"},
        {204, "No Content"},
        {205, "Reset Content"},
        {206, "Partial Content"},
        {300, "Multiple Choices"},
        {301, "Moved Permanently"},
        {302, "Found"},
        {303, "See Other"},
        {304, "Not Modified"},
        {305, "Use Proxy"},
        {307, "Temporary Redirect"},
        {308, "Permanent Redirect"},
        {400, "Bad Request"},
        {401, "Unauthorized"},
        {402, "Payment Required"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {406, "Not Acceptable"},
        {407, "Proxy Authentication Required"},
        {408, "Request Timeout"},
        {409, "Conflict"},
        {410, "Gone"},
        {411, "Length Required"},
        {412, "Precondition Failed"},
        {413, "Content Too Large"},
        {414, "URI Too Long"},
        {415, "Unsupported Media Type"},
        {416, "Range Not Satisfiable"},
        {417, "Expectation Failed"},
        {429, "Too Many Requests"},
        {500, "Internal Server Error"},
        {501, "Not Implemented"},
        {502, "Bad Gateway"},
        {503, "Service Unavailable"},
        {504, "Gateway Timeout"},
        {505, "HTTP Version Not Supported"},
    };
    for (const auto& [code, phrase] : kPhrases)
        if (code == status) return phrase;
    return "";
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Form decoding: "+" is a space, "%XX" a byte; a "%" without two hex digits stays as it is.
std::string decodeComponent(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

json queryString(std::string_view url) {
    json list = json::array();
    const auto mark = url.find('?');
    if (mark == std::string_view::npos) return list;
    std::string_view rest = url.substr(mark + 1);
    rest = rest.substr(0, rest.find('#'));
    while (!rest.empty()) {
        const auto amp = rest.find('&');
        const std::string_view pair = rest.substr(0, amp);
        rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
        if (pair.empty()) continue;
        const auto eq = pair.find('=');
        list.push_back(
            {{"name", decodeComponent(pair.substr(0, eq))},
             {"value", eq == std::string_view::npos ? std::string()
                                                    : decodeComponent(pair.substr(eq + 1))}});
    }
    return list;
}

// A transfer's four stopwatches: elapsed milliseconds.
std::array<std::uint32_t, 4> elapsedOf(const engine::WebItem& item,
                                       const engine::ElementStats& stats) {
    const std::int32_t result = item.result();
    if (result == 0 || result == engine::kResultHttpStatus) {
        // The record the page's figures were computed from.
        return {stats.connectTime, stats.sendTime, stats.waitTime, stats.receiveTime};
    }
    // A failed transfer keeps no record; its stopwatches still show how far it got.
    std::array<std::uint32_t, 4> elapsed{};
    const auto snapshot = item.timers().snapshot();
    for (std::size_t i = 0; i < snapshot.size(); ++i) elapsed[i] = snapshot[i].elapsed;
    return elapsed;
}

struct Entry {
    std::chrono::system_clock::time_point started;
    std::uint64_t order = 0;  // orders transfers begun within the same millisecond
    json value;
};

Entry entryFor(const engine::WebItem& item, const engine::ElementStats& stats,
               const std::string& pageId, const HarClock& clock) {
    const std::array<std::uint32_t, 4> w = elapsedOf(item, stats);
    const std::optional<engine::TransferStart> began = item.transferStart();
    const auto started = began ? clock.wallTime(began->tick) : clock.wall;

    const std::int64_t connect =
        item.connectionReused() && w[0] == 0 ? -1 : static_cast<std::int64_t>(w[0]);
    const std::int64_t send = w[1], wait = w[2], receive = w[3];
    const std::int64_t total = std::max<std::int64_t>(connect, 0) + send + wait + receive;

    const std::string url = item.address().urlText;
    const std::int32_t status = item.statusCode();
    const std::int32_t result = item.result();
    const bool answered = status != 0;
    // The protocol the server answered in; a request without an answer went out as HTTP/1.1.
    const std::string version = answered ? item.httpVersion() : "";
    const std::uint32_t size = item.size();

    json value = {
        {"pageref", pageId},
        {"startedDateTime", isoTime(started)},
        {"time", total},
        {"request",
         {{"method", "GET"},
          {"url", url},
          {"httpVersion", version.empty() ? "HTTP/1.1" : version},
          {"cookies", json::array()},
          {"headers", json::array()},
          {"queryString", queryString(url)},
          {"headersSize", -1},
          {"bodySize", -1}}},
        {"response",
         {{"status", status},
          {"statusText", reasonPhrase(status)},
          {"httpVersion", version},
          {"cookies", json::array()},
          {"headers", json::array()},
          {"content", {{"size", answered ? size : 0}, {"mimeType", item.contentType()}}},
          {"redirectURL", ""},
          {"headersSize", -1},
          {"bodySize", answered ? static_cast<std::int64_t>(size) : -1}}},
        {"cache", json::object()},
        {"timings",
         {{"blocked", -1},
          {"dns", -1},
          {"connect", connect},
          {"send", send},
          {"wait", wait},
          {"receive", receive},
          {"ssl", -1}}},
    };
    if (result != 0) value["comment"] = item.errorText();
    if (item.fromCache()) value["_fromCache"] = "memory";
    return {started, began ? began->order : 0, std::move(value)};
}

// What referred to the item, in the shape browsers give an entry's cause, and where in it:
// enough for an import to rebuild the page's tree as it was measured.
void addReference(json& value, const engine::PageFigures& figures,
                  const engine::ItemFigures& item) {
    if (item.parent < 0) return;
    const engine::WebItem& parent = *figures.items[static_cast<std::size_t>(item.parent)].item;
    value["_initiator"] = {{"type", "parser"}, {"url", parent.address().urlText}};
    value["_offset"] = item.position;
}

}  // namespace

HarClock HarClock::now() {
    return {std::chrono::system_clock::now(), engine::Clock::steady().now()};
}

std::chrono::system_clock::time_point HarClock::wallTime(std::uint32_t tickAt) const {
    return wall - std::chrono::milliseconds(static_cast<std::uint32_t>(tick - tickAt));
}

std::string isoTime(std::chrono::system_clock::time_point time) {
    const auto ms = std::chrono::floor<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms >= 0 ? ms / 1000 : (ms - 999) / 1000);
    const auto fraction = static_cast<int>(ms - static_cast<std::int64_t>(seconds) * 1000);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    char result[48];
    std::snprintf(result, sizeof result, "%.*s.%03dZ", static_cast<int>(length), text, fraction);
    return result;
}

nlohmann::json harDocument(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                           const HarClock& clock) {
    json harPages = json::array();
    std::vector<Entry> entries;
    std::unordered_set<const engine::WebItem*> listed;
    int number = 0;
    for (const auto& page : pages) {
        if (!page) continue;
        const std::string id = "page_" + std::to_string(++number);
        const engine::PageFigures figures = page->figures(engine::kActualSpeed);
        // A page starts with its root item's request.
        std::chrono::system_clock::time_point first = clock.wall;
        for (const auto& itemFigures : figures.items) {
            const engine::WebItem& item = *itemFigures.item;
            if (item.isNew() || item.phase() == engine::LoadPhase::Ready) continue;
            Entry entry = entryFor(item, itemFigures.stats, id, clock);
            addReference(entry.value, figures, itemFigures);
            if (&itemFigures == &figures.items.front()) first = entry.started;
            if (listed.insert(&item).second) entries.push_back(std::move(entry));
        }
        // A page whose document got no answer was never loaded, whatever its state says.
        const bool loaded = engine::isLoaded(page->state()) && !figures.items.empty() &&
                            figures.items.front().item->statusCode() != 0;
        std::string title = engine::pageTitle(*page);
        if (title.empty()) title = page->address().urlText;
        harPages.push_back({
            {"id", id},
            {"title", std::move(title)},
            {"startedDateTime", isoTime(first)},
            {"pageTimings",
             {{"onContentLoad", loaded ? static_cast<std::int64_t>(figures.browseTime) : -1},
              {"onLoad", loaded ? static_cast<std::int64_t>(figures.downloadTime) : -1},
              {"comment", "Simulated browser with four connections over the measured transfers"}}},
        });
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.started != b.started ? a.started < b.started : a.order < b.order;
    });
    json harEntries = json::array();
    for (Entry& entry : entries) harEntries.push_back(std::move(entry.value));
    return {{"log",
             {{"version", "1.2"},
              {"creator", {{"name", "Pagelyst"}, {"version", PAGELYST_VERSION}}},
              {"pages", std::move(harPages)},
              {"entries", std::move(harEntries)}}}};
}

bool writeHar(const std::string& path, const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
              std::string& error, const HarClock& clock) {
    return saveText(path, jsonText(harDocument(pages, clock), 2) + "\n", error);
}

}  // namespace exporting
