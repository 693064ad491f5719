#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "engine/base/Clock.h"
#include "engine/base/ContentKind.h"
#include "engine/base/LoadPhase.h"
#include "engine/http/TransferListener.h"
#include "engine/items/ScanResult.h"
#include "engine/timing/ElementStats.h"
#include "engine/timing/PhaseMachine.h"
#include "engine/url/ParsedUrl.h"

namespace engine {

// What a finished transfer leaves in its item.
struct TransferOutcome {
    std::int32_t result = 0;      // 0, -1 (HTTP status failure) or a system error number
    std::int32_t statusCode = 0;  // 0 when the response had none
    ContentKind contentKind = ContentKind::Unknown;
    std::string contentType;  // normalised (see normalizeContentType)
    std::string body;         // empty when skipped or over the body cap
    std::uint64_t received = 0;
    bool bodyOverCap = false;
    bool connectionReused = false;
    std::string httpVersion;  // of the last response ("HTTP/1.1"); empty when none arrived
    LoadPhase phase = LoadPhase::Completed;  // Completed, Error or Skipped
    bool fromCache = false;  // a recorded answer from a browser's cache: nothing was transferred
};

// When the last transfer of an item began: the tick of its clock, and a process-wide number
// that orders transfers begun within the same tick.
struct TransferStart {
    std::uint32_t tick = 0;
    std::uint64_t order = 0;
};

// One downloaded resource: a page's document or one element it refers to.
//
// Items are shared between pages and threads through std::shared_ptr. The transfer runs on one
// worker; the client's callbacks step the phase machine on that thread; every accessor below
// is safe from any thread and returns a consistent copy. lock() is the item's own lock, held by
// the page loader across download and scan so that one item is never fetched twice at once.
class WebItem : public TransferListener, protected PhaseHooks {
public:
    // Phase Ready with zero times, or Error at once when the address is not valid.
    explicit WebItem(ParsedUrl address, const Clock& clock = Clock::steady());
    WebItem(const WebItem&) = delete;
    WebItem& operator=(const WebItem&) = delete;
    virtual ~WebItem() = default;

    // A process-wide creation number: 0 for the first item, then counting up.
    std::uint32_t id() const { return id_; }

    ParsedUrl address() const;  // the address the item was created (and registered) for
    void setAddress(ParsedUrl address);
    ParsedUrl target() const;  // the address of the last transfer

    LoadPhase phase() const { return machine_.phase(); }
    const PhaseTimers& timers() const { return machine_.timers(); }

    std::int32_t result() const;
    std::int32_t statusCode() const;
    ContentKind contentKind() const;
    std::string contentType() const;
    // The body bytes; shared, never changed once published, so readers need no lock.
    std::shared_ptr<const std::string> body() const;
    // Bytes received, saturated at 4 GiB - 1 (also when the body was too large to keep).
    std::uint32_t size() const;
    // While a transfer runs: the body bytes of its current response so far and the sum of the
    // four stopwatches up to now (running intervals included). Between transfers: size() and
    // the stopwatches' sums.
    std::uint32_t receivedSoFar() const;
    std::uint32_t elapsedSoFar() const;
    bool bodyOverCap() const;
    bool connectionReused() const;
    std::string httpVersion() const;
    // Whether the last transfer was answered from a cache, with no time (see TransferOutcome).
    bool fromCache() const;
    // When the last transfer began; none before the first. Kept after the transfer ends, as
    // its stopwatches keep only their sums.
    std::optional<TransferStart> transferStart() const;
    // The result's error text, or the status code's text when the result is -1.
    std::string errorText() const;

    std::string acceptPattern() const;
    void setAcceptPattern(std::string pattern);

    // What the last scan found (HtmlScanner.h); shared and never changed once published.
    std::shared_ptr<const ScanResult> scanResult() const;
    void setScanResult(ScanResult result);

    // True from creation until the first download starts.
    bool isNew() const { return new_.load(); }
    void clearNew() { new_.store(false); }
    // Whether the server answered the last transfer with a redirection that it followed.
    bool wasRedirected() const { return redirected_.load(); }
    // Set when a redirection led to an address another item already holds.
    bool isDuplicate() const { return duplicate_.load(); }
    void setDuplicate(bool duplicate) { duplicate_.store(duplicate); }

    std::mutex& lock() { return lock_; }

    // The figures for the measured connection; fillActualStats() takes them from the last
    // transfer (the page loader calls it when the result is 0 or kResultHttpStatus).
    ElementStats actualStats() const;
    void fillActualStats();
    // Forgets the last transfer's measurements before the item is fetched again: phase Ready,
    // stopwatches, outcome and figures cleared. Body and scan result stay until the new
    // transfer replaces them. Not while a transfer runs (the caller holds lock()).
    void resetMeasurements();

    // Transfer side, used by downloadItem: a transfer of `target` begins (the previous body is
    // released, the stopwatches restart), and ends with `outcome`.
    void beginTransfer(const ParsedUrl& target);
    void endTransfer(TransferOutcome outcome);

    // TransferListener: steps the phase machine. A Redirecting phase first calls redirectHook.
    void phaseNotification(LoadPhase phase, const std::string& redirectUrl) override;
    void firstResponseByte() override;
    void bodyProgress(std::uint64_t received) override;

protected:
    // Called with the address a redirection leads to; the base forwards it to redirected().
    virtual void redirectHook(const std::string& url) { redirected(url); }
    virtual void redirected(const std::string& /*url*/) {}
    // The running transfer now fetches `target` (a redirection): the address fields of the
    // item's figures follow it.
    void retarget(const ParsedUrl& target);

private:
    const std::uint32_t id_;
    PhaseMachine machine_;
    std::mutex lock_;
    std::atomic<bool> new_{true};
    std::atomic<bool> duplicate_{false};
    std::atomic<bool> redirected_{false};
    std::atomic<bool> transferring_{false};
    std::atomic<std::uint64_t> receiving_{0};  // the running transfer's body bytes

    mutable std::mutex data_;  // guards the fields below
    ParsedUrl address_;
    ParsedUrl target_;
    std::string acceptPattern_ = "*/*";
    TransferOutcome outcome_;
    std::shared_ptr<const std::string> body_;
    std::shared_ptr<const ScanResult> scanResult_;
    ElementStats actualStats_;
    std::optional<TransferStart> transferStart_;
    const Clock& clock_;
};

}  // namespace engine
