#include "report/WaterfallText.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "engine/figures/ConnectionSpeed.h"
#include "query/DisplayFormats.h"
#include "report/DrawingText.h"

namespace report {
namespace {

// Tips show the address in full up to this many bytes.
constexpr std::size_t kLongestAddress = 300;

std::string time(std::uint32_t ms) {
    return query::formatTime(static_cast<std::int32_t>(std::min<std::uint32_t>(ms, INT32_MAX)));
}

// The parts one after the other, in one allocation.
std::string concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view part : parts) size += part.size();
    std::string text;
    text.reserve(size);
    for (std::string_view part : parts) text += part;
    return text;
}

std::string phases(const engine::WaterfallParts& parts) {
    return concat({"connect ", time(parts.connect), ", send ", time(parts.send), ", wait ",
                   time(parts.wait), ", receive ", time(parts.receive)});
}

std::string_view connectionName(int index) {
    return engine::kConnectionSpeeds[static_cast<std::size_t>(index)].name;
}

std::string measuredLine(std::int64_t start) {
    const auto magnitude = static_cast<std::uint32_t>(
        std::min<std::int64_t>(start < 0 ? -start : start, static_cast<std::int64_t>(UINT32_MAX)));
    return concat({"Measured: requested ", time(magnitude),
                   start < 0 ? " before the page's document, for an earlier page"
                             : " after the page's document"});
}

std::string outcomeLine(const engine::WaterfallRow& row) {
    const auto size = static_cast<std::int32_t>(std::min<std::uint32_t>(row.size, INT32_MAX));
    std::string line = concat({"size ", query::formatSize(size)});
    line += row.status != 0 ? concat({", status ", std::to_string(row.status)}) : ", no response";
    if (row.redirected) line += ", redirected";
    if (row.blocking) line += ", holds up the browse time";
    if (row.failed && !row.error.empty()) line += concat({"; ", row.error});
    return line;
}

}  // namespace

std::string rowLabel(const engine::WaterfallRow& row, const std::string& pageHost) {
    const std::string_view path(row.path);
    const std::string_view file = path.substr(0, path.find('?'));
    const std::string_view query = path.substr(file.size());
    std::string name;
    if (file.empty()) {
        name = concat({row.host, "/"});
    } else if (file.back() == '/') {
        const std::string_view folder = file.substr(0, file.size() - 1);
        name = concat({folder.substr(folder.rfind('/') + 1), "/"});
    } else {
        name = std::string(file.substr(file.rfind('/') + 1));
    }
    name += query;
    if (row.host != pageHost) name += concat({" \xC2\xB7 ", row.host});
    return drawableText(name);
}

std::string rowTip(const engine::WaterfallRow& row, int connectionIndex,
                   const engine::WaterfallRow* actual) {
    const bool cut = row.address.size() > kLongestAddress;
    std::string tip = concat(
        {std::string_view(row.address).substr(0, kLongestAddress), cut ? "\xE2\x80\xA6" : ""});
    tip += concat({"\n", connectionName(connectionIndex), ", connection ",
                   std::to_string(row.lane + 1), ": ", time(row.start), " to ", time(row.end)});
    tip += concat({"\n", phases(row.parts)});
    if (row.parts.receive != row.receiveTime)
        tip +=
            concat({" (half of ", time(row.receiveTime), ": a document shows while it arrives)"});
    tip += concat({"\n", outcomeLine(row)});
    if (actual != nullptr && connectionIndex != engine::kActualSpeed) {
        engine::WaterfallParts measured = actual->parts;
        measured.receive = actual->receiveTime;  // the record's, not the lane's share
        tip += concat({"\n", connectionName(engine::kActualSpeed), ": ", phases(measured)});
    }
    if (row.measuredStart) tip += concat({"\n", measuredLine(*row.measuredStart)});
    return drawableText(tip, true);
}

}  // namespace report
