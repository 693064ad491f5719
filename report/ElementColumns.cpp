#include "report/ElementColumns.h"

#include <algorithm>

#include "engine/base/LoadPhase.h"
#include "engine/items/WebItem.h"
#include "engine/url/ParsedUrl.h"
#include "query/DisplayFormats.h"

namespace report {
namespace {

struct ColumnName {
    std::uint32_t id;
    const char* header;
};

constexpr std::array<ColumnName, kElementColumnCount> kColumns{{
    {kElementName, "Element"},
    {kElementHost, "Host"},
    {kElementProtocol, "Protocol"},
    {kElementType, "Type"},
    {kElementStatus, "Status"},
    {kElementSize, "Size"},
    {kElementTime, "Time"},
    {kElementSpeed, "Speed"},
    {kElementConnectTime, "Connect Time"},
    {kElementSendTime, "Send Time"},
    {kElementReceiveTime, "Receive Time"},
    {kElementWaitTime, "Wait Response Time"},
    {kElementPercentTime, "% Time"},
}};

SiteCell timeCell(std::uint32_t ms) {
    return numberCell(query::formatTime(clampedToInt32(ms)), ms);
}

SiteCell speedCell(double bytesPerSecond) {
    return SiteCell{query::formatSpeed(bytesPerSecond), bytesPerSecond};
}

bool settledPhase(engine::LoadPhase phase) {
    using engine::LoadPhase;
    return phase == LoadPhase::Ready || phase == LoadPhase::Completed || phase == LoadPhase::Error;
}

// Time and Speed while a download runs: what the item itself shows at this moment.
SiteCell liveCell(const engine::WebItem& item, std::uint32_t column) {
    if (settledPhase(item.phase())) {
        const engine::ElementStats stats = item.actualStats();
        return column == kElementTime ? timeCell(stats.totalTime) : speedCell(stats.speed);
    }
    const std::uint32_t elapsed = item.elapsedSoFar();
    if (column == kElementTime) return timeCell(elapsed);
    return speedCell(elapsed == 0 ? 0.0 : item.receivedSoFar() / (elapsed * 0.001));
}

}  // namespace

const std::array<std::uint32_t, kElementColumnCount>& elementColumns() {
    static const std::array<std::uint32_t, kElementColumnCount> ids = [] {
        std::array<std::uint32_t, kElementColumnCount> list{};
        std::transform(kColumns.begin(), kColumns.end(), list.begin(),
                       [](const ColumnName& c) { return c.id; });
        return list;
    }();
    return ids;
}

std::string elementColumnHeader(std::uint32_t column) {
    const auto it = std::find_if(kColumns.begin(), kColumns.end(),
                                 [column](const ColumnName& c) { return c.id == column; });
    return it == kColumns.end() ? std::string() : it->header;
}

bool isNumericElementColumn(std::uint32_t column) {
    return column >= kElementSize && column <= kElementPercentTime &&
           !elementColumnHeader(column).empty();
}

engine::ItemFigures withAddress(engine::ItemFigures figures, const engine::WebItem& item) {
    if (!figures.stats.urlText.empty()) return figures;
    const engine::ParsedUrl address = item.address();
    figures.stats.host = address.host;
    figures.stats.objectPath = address.objectPath.empty() ? "/" : address.objectPath;
    return figures;
}

SiteCell elementCell(const engine::ItemFigures& figures, std::uint32_t column, bool live) {
    const engine::ElementStats& s = figures.stats;
    const engine::WebItem* item = figures.item.get();
    if (item != nullptr && s.urlText.empty() &&
        (column == kElementName || column == kElementHost)) {
        const engine::ElementStats placed = withAddress(figures, *item).stats;
        return textCell(column == kElementName ? placed.objectPath : placed.host);
    }
    if (live && item != nullptr && (column == kElementTime || column == kElementSpeed)) {
        return liveCell(*item, column);
    }
    switch (column) {
        case kElementName:
            return textCell(s.objectPath);
        case kElementHost:
            return textCell(s.host);
        case kElementProtocol: {
            const bool https = item && item->target().schemeKind == engine::ParsedUrl::kHttps;
            return textCell(https ? "HTTPS" : "HTTP");
        }
        case kElementType:
            return textCell(s.contentType);
        case kElementStatus:
            return textCell(item ? std::string(engine::phaseText(item->phase())) : std::string());
        case kElementSize:
            return numberCell(query::formatSize(clampedToInt32(s.size)), s.size);
        case kElementTime:
            return timeCell(s.totalTime);
        case kElementSpeed:
            return speedCell(s.speed);
        case kElementConnectTime:
            return timeCell(s.connectTime);
        case kElementSendTime:
            return timeCell(s.sendTime);
        case kElementReceiveTime:
            return timeCell(s.receiveTime);
        case kElementWaitTime:
            return timeCell(s.waitTime);
        case kElementPercentTime:
            if (live) return {};
            return SiteCell{query::formatPercent(s.percentTime), s.percentTime};
        default:
            return {};
    }
}

}  // namespace report
