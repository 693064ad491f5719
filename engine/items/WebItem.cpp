#include "engine/items/WebItem.h"

#include <utility>

#include "engine/http/BodyBuffer.h"
#include "engine/http/TransferResult.h"
#include "engine/items/ErrorText.h"
#include "engine/items/StatusText.h"

namespace engine {
namespace {

std::uint32_t nextId() {
    static std::atomic<std::uint32_t> counter{0};
    return counter.fetch_add(1);
}

std::uint64_t nextTransfer() {
    static std::atomic<std::uint64_t> counter{0};
    return counter.fetch_add(1);
}

}  // namespace

WebItem::WebItem(ParsedUrl address, const Clock& clock)
    : id_(nextId()), machine_(clock, *this), address_(std::move(address)), clock_(clock) {
    if (!address_.valid) machine_.step(LoadPhase::Error);
}

ParsedUrl WebItem::address() const {
    std::lock_guard guard(data_);
    return address_;
}

void WebItem::setAddress(ParsedUrl address) {
    std::lock_guard guard(data_);
    address_ = std::move(address);
}

ParsedUrl WebItem::target() const {
    std::lock_guard guard(data_);
    return target_;
}

std::int32_t WebItem::result() const {
    std::lock_guard guard(data_);
    return outcome_.result;
}

std::int32_t WebItem::statusCode() const {
    std::lock_guard guard(data_);
    return outcome_.statusCode;
}

ContentKind WebItem::contentKind() const {
    std::lock_guard guard(data_);
    return outcome_.contentKind;
}

std::string WebItem::contentType() const {
    std::lock_guard guard(data_);
    return outcome_.contentType;
}

std::shared_ptr<const std::string> WebItem::body() const {
    std::lock_guard guard(data_);
    if (body_) return body_;
    static const auto empty = std::make_shared<const std::string>();
    return empty;
}

std::uint32_t WebItem::size() const {
    std::lock_guard guard(data_);
    return BodyBuffer::size32(outcome_.received);
}

std::uint32_t WebItem::receivedSoFar() const {
    return transferring_.load() ? BodyBuffer::size32(receiving_.load()) : size();
}

std::uint32_t WebItem::elapsedSoFar() const {
    return machine_.timers().totalAt(clock_.now());
}

bool WebItem::bodyOverCap() const {
    std::lock_guard guard(data_);
    return outcome_.bodyOverCap;
}

bool WebItem::connectionReused() const {
    std::lock_guard guard(data_);
    return outcome_.connectionReused;
}

std::string WebItem::httpVersion() const {
    std::lock_guard guard(data_);
    return outcome_.httpVersion;
}

bool WebItem::fromCache() const {
    std::lock_guard guard(data_);
    return outcome_.fromCache;
}

std::optional<TransferStart> WebItem::transferStart() const {
    std::lock_guard guard(data_);
    return transferStart_;
}

std::string WebItem::errorText() const {
    std::lock_guard guard(data_);
    if (outcome_.result == kResultHttpStatus) return std::string(statusText(outcome_.statusCode));
    return engine::errorText(outcome_.result);
}

std::string WebItem::acceptPattern() const {
    std::lock_guard guard(data_);
    return acceptPattern_;
}

void WebItem::setAcceptPattern(std::string pattern) {
    std::lock_guard guard(data_);
    acceptPattern_ = std::move(pattern);
}

std::shared_ptr<const ScanResult> WebItem::scanResult() const {
    std::lock_guard guard(data_);
    if (scanResult_) return scanResult_;
    static const auto none = std::make_shared<const ScanResult>();
    return none;
}

void WebItem::setScanResult(ScanResult result) {
    auto published = std::make_shared<const ScanResult>(std::move(result));
    std::lock_guard guard(data_);
    scanResult_ = std::move(published);
}

ElementStats WebItem::actualStats() const {
    std::lock_guard guard(data_);
    return actualStats_;
}

void WebItem::fillActualStats() {
    const PhaseTimers::Snapshot times = machine_.timers().snapshot();
    std::lock_guard guard(data_);
    actualStats_ = ElementStats::measured(times, BodyBuffer::size32(outcome_.received), target_,
                                          outcome_.contentKind, outcome_.contentType);
}

void WebItem::resetMeasurements() {
    {
        std::lock_guard guard(data_);
        outcome_ = TransferOutcome{};
        actualStats_ = ElementStats{};
        transferStart_.reset();
    }
    receiving_.store(0);
    redirected_.store(false);
    machine_.reset();
}

void WebItem::beginTransfer(const ParsedUrl& target) {
    {
        std::lock_guard guard(data_);
        target_ = target;
        body_.reset();
        outcome_ = TransferOutcome{};
        transferStart_ = TransferStart{clock_.now(), nextTransfer()};
    }
    receiving_.store(0);
    redirected_.store(false);
    transferring_.store(true);
    machine_.begin();
}

void WebItem::retarget(const ParsedUrl& target) {
    std::lock_guard guard(data_);
    target_ = target;
}

void WebItem::endTransfer(TransferOutcome outcome) {
    machine_.stopAll();
    const LoadPhase final = outcome.phase;
    {
        std::lock_guard guard(data_);
        body_ = std::make_shared<const std::string>(std::move(outcome.body));
        outcome.body.clear();
        outcome_ = std::move(outcome);
    }
    transferring_.store(false);
    machine_.settle(final);
}

void WebItem::phaseNotification(LoadPhase phase, const std::string& redirectUrl) {
    if (phase == machine_.phase()) return;
    if (phase == LoadPhase::Redirecting) {
        redirected_.store(true);
        redirectHook(redirectUrl);
    }
    machine_.step(phase);
}

void WebItem::firstResponseByte() {
    machine_.firstByte();
}

void WebItem::bodyProgress(std::uint64_t received) {
    receiving_.store(received);
}

}  // namespace engine
