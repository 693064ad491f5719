#include "export/HarImportPlan.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "engine/base/AsciiText.h"
#include "engine/base/ContentKind.h"
#include "export/HarTransfer.h"

namespace exporting {
namespace {

// As many as the engine's own transfer follows.
constexpr std::size_t kMaxRedirections = 10;
// Starts further apart than this cannot all stand on the 32-bit millisecond tick counter.
constexpr std::int64_t kMaxSpreadMicros = std::int64_t{30} * 86400 * 1000000;

std::string entryName(const HarEntry& entry) {
    return "log.entries[" + std::to_string(entry.index) + "]";
}

std::string shortened(std::string_view text) {
    constexpr std::size_t kShown = 60;
    return text.size() > kShown ? std::string(text.substr(0, kShown)) + "..." : std::string(text);
}

bool webAddress(std::string_view url) {
    return engine::startsWithIgnoringCase(url, "http://") ||
           engine::startsWithIgnoringCase(url, "https://");
}

// The time a request waited in the browser's queue before its transfer began.
std::int64_t queuedMicros(const HarEntry& entry) {
    const double blocked = entry.timings ? entry.timings->blocked : -1;
    return blocked > 0 ? std::llround(blocked * 1000) : 0;
}

// The address text a reference names, as the requests' addresses are compared.
std::string addressKey(std::string_view text) {
    return engine::ParsedUrl::parse(text).urlText;
}

// A request and the redirections it followed.
struct Chain {
    std::vector<const HarRequest*> requests;
    int page = -1;  // index in log.pages, -1 without one

    const HarEntry& first() const { return *requests.front()->entry; }
    const HarEntry& last() const { return *requests.back()->entry; }
    std::int64_t askedMicros() const { return *first().startedMicros; }
};

class Planner {
public:
    Planner(const HarLog& log, std::uint32_t latestTick) : log_(log), latestTick_(latestTick) {}

    HarPlan run() {
        HarPlan result;
        if (collect() && checkSpread()) {
            link();
            group();
            std::vector<Built> built;
            for (const auto& members : groups_) built.push_back(build(members));
            std::stable_sort(built.begin(), built.end(),
                             [](const Built& a, const Built& b) { return a.began < b.began; });
            for (Built& page : built) result.pages.push_back(std::move(page.page));
            summary_.pages = result.pages.size();
            if (result.pages.empty()) error_ = noPageReason();
        }
        result.summary = summary_;
        result.error = std::move(error_);
        if (!result.error.empty()) result.pages.clear();
        return result;
    }

private:
    struct Built {
        PlannedPage page;
        std::int64_t began = 0;
    };

    bool fail(std::string message) {
        error_ = std::move(message);
        return false;
    }

    // The entries that are HTTP requests, each with its page, in the order they began.
    bool collect() {
        std::unordered_map<std::string_view, int> pageIndex;
        for (const HarPage& page : log_.pages)
            pageIndex.emplace(page.id, static_cast<int>(page.index));
        requests_.reserve(log_.entries.size());
        for (const HarEntry& entry : log_.entries) {
            int page = -1;
            // Page references mean nothing in a file that has no pages (some recorders write
            // them all the same): its entries are grouped by document.
            if (entry.pageref && !log_.pages.empty()) {
                const auto found = pageIndex.find(*entry.pageref);
                if (found == pageIndex.end())
                    return fail(entryName(entry) + ".pageref \"" + shortened(*entry.pageref) +
                                "\" names no page of log.pages");
                page = found->second;
            }
            if (!webAddress(entry.url)) {
                ++summary_.notWeb;
                continue;
            }
            if (entry.urlTooLong)
                return fail(entryName(entry) + ".request.url is longer than " +
                            std::to_string(HarLimits::kMaxText) + " bytes");
            engine::ParsedUrl url = engine::ParsedUrl::parse(entry.url);
            if (!url.valid)
                return fail(entryName(entry) + ".request.url \"" + shortened(entry.url) +
                            "\" is not an address that can be requested");
            requests_.push_back(
                {&entry, std::move(url), *entry.startedMicros + queuedMicros(entry)});
            pageOf_.push_back(page);
        }
        order_.resize(requests_.size());
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = i;
        // In the order the transfers began, as Pagelyst's own HAR lists them, so that a file
        // written from imported pages imports the same again.
        std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
            return requests_[a].startMicros < requests_[b].startMicros;
        });
        return true;
    }

    bool checkSpread() {
        if (requests_.empty()) return true;
        const HarRequest& first = requests_[order_.front()];
        for (const HarRequest& request : requests_) {
            latestMicros_ = std::max(latestMicros_, request.startMicros);
            if (request.startMicros - first.startMicros > kMaxSpreadMicros)
                return fail(entryName(*request.entry) + " starts more than 30 days after " +
                            entryName(*first.entry));
        }
        return true;
    }

    // The next request for `url` of the same page that began after the request at
    // `place` in `order_` and is not part of a chain yet.
    std::optional<std::size_t> redirectTarget(std::size_t place, const std::string& url) {
        const auto found = byAddress_.find(url);
        if (found == byAddress_.end()) return std::nullopt;
        std::vector<std::size_t>& places = found->second;
        std::size_t& next = cursor_[url];
        // Places before this one can be no later redirection's target either.
        while (next < places.size() && (places[next] <= place || linked_[places[next]])) ++next;
        const int page = pageOf_[order_[place]];
        // A few places on, for a request of another page standing in between.
        for (std::size_t i = next; i < places.size() && i < next + 8; ++i)
            if (!linked_[places[i]] && pageOf_[order_[places[i]]] == page) return places[i];
        return std::nullopt;
    }

    // Joins every redirection with the request it led to.
    void link() {
        for (std::size_t place = 0; place < order_.size(); ++place)
            byAddress_[requests_[order_[place]].url.urlText].push_back(place);
        linked_.assign(order_.size(), false);
        for (std::size_t place = 0; place < order_.size(); ++place) {
            if (linked_[place]) continue;
            Chain chain;
            chain.page = pageOf_[order_[place]];
            std::size_t at = place;
            chain.requests.push_back(&requests_[order_[at]]);
            while (chain.requests.size() <= kMaxRedirections) {
                const HarRequest& request = *chain.requests.back();
                if (!isRedirection(*request.entry)) break;
                const engine::ParsedUrl target =
                    engine::ParsedUrl::resolve(request.url, request.entry->redirectUrl);
                const auto next = target.valid ? redirectTarget(at, target.urlText) : std::nullopt;
                if (!next) break;
                linked_[*next] = true;
                at = *next;
                chain.requests.push_back(&requests_[order_[at]]);
            }
            chains_.push_back(std::move(chain));
        }
    }

    static bool isDocument(const Chain& chain) {
        const std::string& type = chain.first().resourceType;
        if (!type.empty()) return engine::equalIgnoringCase(type, "document");
        return engine::normalizeContentType(chain.last().mimeType) == "text/html";
    }

    // Whether the chain's _initiator names a request of the group.
    static bool causedBy(const Chain& chain, const std::unordered_set<std::string>& addresses) {
        for (const std::string& url : chain.first().initiatorUrls)
            if (addresses.count(addressKey(url)) != 0) return true;
        return false;
    }

    // The chains of each HAR page, then those of each document without a page.
    void group() {
        std::vector<std::vector<std::size_t>> byPage(log_.pages.size());
        std::vector<std::size_t>* current = nullptr;
        std::vector<std::vector<std::size_t>> documents;
        std::unordered_set<std::string> currentAddresses;
        for (std::size_t c = 0; c < chains_.size(); ++c) {
            const Chain& chain = chains_[c];
            if (chain.page >= 0) {
                byPage[static_cast<std::size_t>(chain.page)].push_back(c);
                continue;
            }
            if (isDocument(chain) && (current == nullptr || !causedBy(chain, currentAddresses))) {
                documents.emplace_back();
                current = &documents.back();
                currentAddresses.clear();
            }
            if (current == nullptr) {
                summary_.withoutPage += chain.requests.size();
                continue;
            }
            current->push_back(c);
            for (const HarRequest* request : chain.requests)
                currentAddresses.insert(request->url.urlText);
        }
        for (auto& members : byPage) {
            if (members.empty()) {
                ++summary_.emptyPages;
            } else {
                groups_.push_back(std::move(members));
            }
        }
        for (auto& members : documents) groups_.push_back(std::move(members));
    }

    // The item that caused `chain` among the items built so far (`byAddress`: address to item).
    static int parentOf(const Chain& chain, const std::unordered_map<std::string, int>& byAddress) {
        for (const std::string& url : chain.first().initiatorUrls) {
            const auto found = byAddress.find(addressKey(url));
            if (found != byAddress.end()) return found->second;
        }
        if (!chain.first().referer.empty()) {
            const auto found = byAddress.find(addressKey(chain.first().referer));
            if (found != byAddress.end()) return found->second;
        }
        return 0;
    }

    // Where the reference to `child` stood in the parent's body: Pagelyst's own record, or
    // the share of the parent's last receive that had passed when the child was asked for.
    static std::uint32_t position(const Chain& child, const Chain& parent,
                                  const engine::RecordedTransfer& transfer) {
        const auto size = static_cast<std::uint32_t>(
            std::min<std::uint64_t>(transfer.outcome.received, UINT32_MAX));
        if (child.first().offset) return std::min(*child.first().offset, size);
        std::int64_t before = 0;  // milliseconds until the last response's first byte
        for (const engine::RecordedRequest& r : transfer.requests)
            before += std::int64_t{r.connect} + r.send + r.wait + r.receive;
        const std::int64_t receive = transfer.requests.back().receive;
        before -= receive;
        const std::int64_t into =
            child.askedMicros() - (parent.requests.front()->startMicros + before * 1000);
        if (into <= 0) return 0;
        if (into >= receive * 1000) return size;
        return static_cast<std::uint32_t>(std::llround(
            static_cast<double>(size) * static_cast<double>(into) / (receive * 1000.0)));
    }

    std::uint32_t tickOf(const Chain& chain) const {
        const std::int64_t before =
            (latestMicros_ - chain.requests.front()->startMicros + 500) / 1000;
        return latestTick_ - static_cast<std::uint32_t>(before);
    }

    Built build(const std::vector<std::size_t>& members) {
        Built built;
        const Chain& root = chains_[members.front()];
        built.began = root.requests.front()->startMicros;
        built.page.address = root.requests.front()->url.urlText;
        if (root.page >= 0) {
            const std::string& title = log_.pages[static_cast<std::size_t>(root.page)].title;
            // Browsers name a page without a title by its address.
            if (title != root.first().url && title != built.page.address &&
                title != root.requests.back()->url.urlText)
                built.page.page.title = title;
        }
        std::unordered_map<std::string, int> byAddress;
        std::vector<engine::RecordedItem>& items = built.page.page.items;
        for (std::size_t i = 0; i < members.size(); ++i) {
            const Chain& chain = chains_[members[i]];
            engine::RecordedItem item;
            item.transfer = recordedTransfer(chain.requests, tickOf(chain));
            if (i > 0) {
                item.parent = parentOf(chain, byAddress);
                const Chain& parent = chains_[members[static_cast<std::size_t>(item.parent)]];
                item.position =
                    position(chain, parent, items[static_cast<std::size_t>(item.parent)].transfer);
            }
            if (item.transfer.outcome.fromCache) ++summary_.cached;
            for (const HarRequest* request : chain.requests)
                byAddress[request->url.urlText] = static_cast<int>(i);
            items.push_back(std::move(item));
        }
        summary_.items += items.size();
        return built;
    }

    std::string noPageReason() const {
        if (requests_.empty()) return "no page to import: the file holds no HTTP or HTTPS request";
        return "no page to import: no request belongs to a page or follows a document";
    }

    const HarLog& log_;
    const std::uint32_t latestTick_;
    std::vector<HarRequest> requests_;  // in the file's order
    std::vector<int> pageOf_;           // of each request
    std::vector<std::size_t> order_;    // indexes of requests_ by the time their transfers began
    std::int64_t latestMicros_ = 0;
    std::unordered_map<std::string, std::vector<std::size_t>> byAddress_;  // places in order_
    std::unordered_map<std::string, std::size_t> cursor_;
    std::vector<bool> linked_;  // by place: part of an earlier request's chain
    std::vector<Chain> chains_;
    std::vector<std::vector<std::size_t>> groups_;
    HarImportSummary summary_;
    std::string error_;
};

}  // namespace

HarPlan planPages(const HarLog& log, std::uint32_t latestTick) {
    return Planner(log, latestTick).run();
}

}  // namespace exporting
