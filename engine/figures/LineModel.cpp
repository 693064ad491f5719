#include "engine/figures/LineModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <string>
#include <unordered_map>

#include "engine/base/ContentKind.h"
#include "engine/figures/ConnectionSpeed.h"

namespace engine {
namespace {

constexpr double kSegmentBytes = 1460;
constexpr double kInitialWindow = 10 * kSegmentBytes;
constexpr int kConnectionsPerHost = 6;
constexpr double kNever = std::numeric_limits<double>::infinity();
// Below this many bytes or milliseconds two amounts are the same (rounding of the shares).
constexpr double kSlack = 1e-6;

enum class Stage { Waiting, Requested, Delivering, Acking, Done };

struct Element {
    int parent = -1;
    std::uint32_t position = 0;
    int pool = -1;  // -1: free
    int host = -1;
    bool https = false;
    bool document = false;  // its children wait for the browser's commit
    double size = 0, server = 0;
    Stage stage = Stage::Waiting;
    bool wanted = false;
    double ready = 0, taken = 0, lookedUp = 0, connected = 0, secured = 0, sent = 0;
    double firstByte = 0, end = 0;
    double received = 0;
    int connection = -1;
    bool newConnection = false;
};

struct Connection {
    int pool = 0;
    int element = -1;  // -1: idle
    double window = kInitialWindow;
    double roundLeft = 0, roundBytes = 0, roundStart = 0, nextRound = kNever;
};

std::uint32_t whole(double ms) {
    if (!(ms > 0)) return 0;
    return static_cast<std::uint32_t>(std::min(std::round(ms), double{UINT32_MAX}));
}

// The measured round trip of an item's connection: its connect time, which on https holds
// the TLS handshake's round trip as well.
double measuredRoundTrip(const ElementStats& stats, bool https) {
    return https ? stats.connectTime / 2.0 : stats.connectTime;
}

class Run {
public:
    Run(const PageFigures& measured, const NetworkLine& line, const BrowserCost& cost)
        : measured_(measured),
          cost_(cost),
          rtt_(line.roundTripMs),
          rate_(static_cast<double>(line.downBitsPerSecond) / 8000.0),
          largestWindow_(std::max(kInitialWindow, rate_ * rtt_)) {
        prepare();
    }

    void simulate() {
        if (elements_.empty()) return;
        want(0, 0);
        // Every step either finishes a stage or moves time on to the next event: at most a few
        // per round of each response, and a round carries at least the initial window.
        double rounds = 0;
        for (const Element& e : elements_) rounds += e.size / kInitialWindow + 4;
        const double steps = 8 * rounds + 1000;
        for (double step = 0; step < steps; ++step) {
            dispatch();
            if (std::all_of(elements_.begin(), elements_.end(),
                            [](const Element& e) { return e.stage == Stage::Done; }))
                return;
            const double next = nextEvent();
            if (next == kNever) return;
            advance(next);
            settle();
        }
    }

    LineFigures result(const NetworkLine& line) const;

private:
    void prepare() {
        std::unordered_map<const WebItem*, int> seen;
        std::map<std::string, int> pools, hosts;
        std::map<std::string, double> hostRoundTrip;
        elements_.resize(measured_.items.size());
        for (std::size_t i = 0; i < measured_.items.size(); ++i) {
            const ItemFigures& f = measured_.items[i];
            Element& e = elements_[i];
            e.parent = f.parent;
            e.position = f.position;
            const WebItem& item = *f.item;
            e.document = item.contentKind() == ContentKind::Html;
            const bool again = !seen.emplace(&item, static_cast<int>(i)).second;
            if (again || item.fromCache() || !item.transferStart()) continue;
            const ParsedUrl address = item.address();
            const ElementStats stats = item.actualStats();
            e.https = address.schemeKind == ParsedUrl::kHttps;
            const std::string origin = std::to_string(address.schemeKind) + "://" + address.host +
                                       ":" + std::to_string(address.port);
            e.pool = pools.emplace(origin, static_cast<int>(pools.size())).first->second;
            e.host = hosts.emplace(address.host, static_cast<int>(hosts.size())).first->second;
            e.size = stats.size;
            double roundTrip = measuredRoundTrip(stats, e.https);
            if (stats.connectTime > 0)
                hostRoundTrip.emplace(origin, roundTrip);
            else if (const auto known = hostRoundTrip.find(origin); known != hostRoundTrip.end())
                roundTrip = known->second;
            e.server = std::max(0.0, stats.waitTime - roundTrip);
        }
        lookups_.assign(hosts.size(), -1);
        open_.assign(pools.size(), 0);
        children_.resize(elements_.size());
        for (std::size_t i = 1; i < elements_.size(); ++i)
            if (elements_[i].parent >= 0)
                children_[static_cast<std::size_t>(elements_[i].parent)].push_back(
                    static_cast<int>(i));
    }

    // An element is wanted at `now`, or when its document's parser has started if later.
    void want(int index, double now) {
        Element& e = elements_[static_cast<std::size_t>(index)];
        if (e.wanted) return;
        e.wanted = true;
        e.ready = now;
        if (e.parent >= 0) {
            const Element& parent = elements_[static_cast<std::size_t>(e.parent)];
            if (parent.document) e.ready = std::max(now, parent.firstByte + cost_.commitMs);
        }
        if (e.pool < 0) finish(index, e.ready);
    }

    void finish(int index, double now) {
        Element& e = elements_[static_cast<std::size_t>(index)];
        e.stage = Stage::Done;
        e.end = now;
        if (e.pool < 0) e.taken = e.lookedUp = e.connected = e.secured = e.sent = e.firstByte = now;
        e.received = e.size;
        for (const int child : children_[static_cast<std::size_t>(index)]) want(child, now);
    }

    // Wanted requests, in the order they became wanted, take an idle connection of their pool
    // or open one while the pool has fewer than six.
    void dispatch() {
        std::vector<int> queue;
        for (std::size_t i = 0; i < elements_.size(); ++i)
            if (elements_[i].wanted && elements_[i].stage == Stage::Waiting &&
                elements_[i].ready <= now_ + kSlack)
                queue.push_back(static_cast<int>(i));
        std::stable_sort(queue.begin(), queue.end(), [&](int a, int b) {
            return elements_[static_cast<std::size_t>(a)].ready <
                   elements_[static_cast<std::size_t>(b)].ready;
        });
        for (const int index : queue) {
            Element& e = elements_[static_cast<std::size_t>(index)];
            int chosen = -1;
            for (std::size_t c = 0; c < connections_.size() && chosen < 0; ++c)
                if (connections_[c].pool == e.pool && connections_[c].element < 0)
                    chosen = static_cast<int>(c);
            e.taken = now_;
            if (chosen >= 0) {
                e.lookedUp = e.connected = e.secured = now_;
            } else if (open_[static_cast<std::size_t>(e.pool)] < kConnectionsPerHost) {
                ++open_[static_cast<std::size_t>(e.pool)];
                double& lookup = lookups_[static_cast<std::size_t>(e.host)];
                if (lookup < 0) lookup = now_ + rtt_;
                e.lookedUp = std::max(now_, lookup);
                e.connected = e.lookedUp + rtt_;
                e.secured = e.connected + (e.https ? rtt_ : 0);
                e.newConnection = true;
                chosen = static_cast<int>(connections_.size());
                connections_.push_back({e.pool, -1, kInitialWindow, 0, 0, 0, kNever});
            } else {
                continue;
            }
            connections_[static_cast<std::size_t>(chosen)].element = index;
            e.connection = chosen;
            e.stage = Stage::Requested;
            e.sent = e.secured + cost_.requestMs;
            e.firstByte = e.sent + rtt_ + e.server;
        }
    }

    double share() const {
        const auto delivering =
            std::count_if(connections_.begin(), connections_.end(), [&](const Connection& c) {
                return c.element >= 0 &&
                       elements_[static_cast<std::size_t>(c.element)].stage == Stage::Delivering;
            });
        return delivering == 0 ? rate_ : rate_ / static_cast<double>(delivering);
    }

    // The earliest moment something changes: an element wanted later becoming ready, a first
    // byte, a round's last byte or next round, or a delivering parent reaching a waiting child's
    // tag.
    double nextEvent() const {
        const double rate = share();
        double next = kNever;
        for (const Element& e : elements_)
            if (e.wanted && e.stage == Stage::Waiting && e.ready > now_ + kSlack)
                next = std::min(next, e.ready);
        for (const Connection& c : connections_) {
            if (c.element < 0) continue;
            const auto index = static_cast<std::size_t>(c.element);
            const Element& e = elements_[index];
            if (e.stage == Stage::Requested) next = std::min(next, e.firstByte);
            if (e.stage == Stage::Acking) next = std::min(next, c.nextRound);
            if (e.stage != Stage::Delivering) continue;
            next = std::min(next, now_ + c.roundLeft / rate);
            for (const int child : children_[index]) {
                const Element& k = elements_[static_cast<std::size_t>(child)];
                if (!k.wanted && k.position > e.received)
                    next = std::min(next, now_ + (k.position - e.received) / rate);
            }
        }
        return std::max(next, now_);
    }

    void advance(double to) {
        const double rate = share();
        const double bytes = (to - now_) * rate;
        for (Connection& c : connections_) {
            if (c.element < 0) continue;
            Element& e = elements_[static_cast<std::size_t>(c.element)];
            if (e.stage != Stage::Delivering) continue;
            const double step = std::min(bytes, c.roundLeft);
            c.roundLeft -= step;
            e.received += step;
        }
        now_ = to;
    }

    void startRound(Connection& c, Element& e) {
        c.window = std::min(largestWindow_, c.window + c.roundBytes);
        c.roundBytes = std::min(c.window, e.size - e.received);
        c.roundLeft = c.roundBytes;
        c.roundStart = now_;
        e.stage = Stage::Delivering;
    }

    void settle() {
        for (Connection& c : connections_) {
            if (c.element < 0) continue;
            const int index = c.element;
            Element& e = elements_[static_cast<std::size_t>(index)];
            // A request's first round grows nothing: the last one's bytes were counted when
            // the connection's previous response ended.
            if (e.stage == Stage::Requested && e.firstByte <= now_ + kSlack) startRound(c, e);
            if (e.stage == Stage::Acking && c.nextRound <= now_ + kSlack) startRound(c, e);
            if (e.stage == Stage::Delivering && c.roundLeft <= kSlack) {
                if (e.size - e.received <= kSlack) {
                    c.window = std::min(largestWindow_, c.window + c.roundBytes);
                    c.roundBytes = 0;
                    c.element = -1;
                    finish(index, now_);
                    continue;
                }
                c.nextRound = std::max(now_, c.roundStart + rtt_);
                e.stage = Stage::Acking;
                if (c.nextRound <= now_ + kSlack) startRound(c, e);
            }
        }
        for (std::size_t i = 0; i < elements_.size(); ++i) {
            const Element& e = elements_[i];
            if (e.stage != Stage::Delivering && e.stage != Stage::Acking) continue;
            for (const int child : children_[i])
                if (elements_[static_cast<std::size_t>(child)].position <= e.received + kSlack)
                    want(child, now_);
        }
    }

    const PageFigures& measured_;
    BrowserCost cost_;
    double rtt_, rate_, largestWindow_;
    double now_ = 0;
    std::vector<Element> elements_;
    std::vector<std::vector<int>> children_;
    std::vector<Connection> connections_;
    std::vector<double> lookups_;  // per host: when its name is known; -1 before the first
    std::vector<int> open_;        // per pool: connections opened
};

bool blocksRendering(const ItemFigures& f) {
    if (f.item->phase() != LoadPhase::Completed) return false;
    if (f.parent < 0) return true;
    const ContentKind kind = f.item->contentKind();
    return f.parent == 0 && (kind == ContentKind::Css || kind == ContentKind::Script);
}

LineFigures Run::result(const NetworkLine& line) const {
    LineFigures out;
    out.line = line;
    out.waterfall.connectionIndex = kActualSpeed;
    out.waterfall.name = line.name;
    const Waterfall measuredRows = waterfallOf(measured_);
    std::vector<const WaterfallRow*> rowOf(elements_.size(), nullptr);
    for (const WaterfallRow& row : measuredRows.rows)
        rowOf[static_cast<std::size_t>(row.item)] = &row;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const Element& e = elements_[i];
        LineTiming t;
        t.item = static_cast<int>(i);
        t.connection = e.connection;
        t.newConnection = e.newConnection;
        // Rounded moment by moment, so that the parts between them add up to the moments.
        t.ready = whole(e.ready);
        t.taken = std::max(t.ready, whole(e.taken));
        t.lookedUp = std::max(t.taken, whole(e.lookedUp));
        t.connected = std::max(t.lookedUp, whole(e.connected));
        t.secured = std::max(t.connected, whole(e.secured));
        t.sent = std::max(t.secured, whole(e.sent));
        t.firstByte = std::max(t.sent, whole(e.firstByte));
        t.end = std::max(t.firstByte, whole(e.end));
        out.loadTime = std::max(out.loadTime, t.end);
        const bool blocking = blocksRendering(measured_.items[i]);
        if (blocking) out.renderTime = std::max(out.renderTime, t.end);
        if (rowOf[i] != nullptr) {
            WaterfallRow row = *rowOf[i];
            row.lane = std::max(0, t.connection);
            row.start = t.taken;
            row.end = t.end;
            row.parts = {t.secured - t.taken, t.sent - t.secured, t.firstByte - t.sent,
                         t.end - t.firstByte};
            row.receiveTime = row.parts.receive;
            row.blocking = blocking;
            out.waterfall.rows.push_back(std::move(row));
        }
        out.timings.push_back(t);
    }
    std::stable_sort(
        out.waterfall.rows.begin(), out.waterfall.rows.end(),
        [](const WaterfallRow& a, const WaterfallRow& b) { return a.start < b.start; });
    out.waterfall.downloadTime = out.loadTime;
    out.waterfall.browseTime = out.renderTime;
    return out;
}

}  // namespace

LineFigures modelLine(const PageFigures& measured, const NetworkLine& line,
                      const BrowserCost& cost) {
    Run run(measured, line, cost);
    run.simulate();
    return run.result(line);
}

}  // namespace engine
