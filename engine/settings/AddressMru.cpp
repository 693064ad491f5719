#include "engine/settings/AddressMru.h"

#include <algorithm>

#include "engine/base/AsciiText.h"
#include "persist/SettingsBag.h"
#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"

namespace engine {
namespace {

constexpr std::string_view kSection = persist::section::kAddressMru;
constexpr std::string_view kCount = "mru_end";
constexpr std::string_view kLast = "last";
constexpr std::string_view kCurrent = "current";

std::string entryName(std::size_t index) {
    return "mru" + std::to_string(index);
}

bool beginsWith(std::string_view entry, std::string_view prefix, std::string_view typed) {
    return entry.size() >= prefix.size() + typed.size() && entry.starts_with(prefix) &&
           entry.substr(prefix.size()).starts_with(typed);
}

}  // namespace

void AddressMru::mruAdd(std::string_view text) {
    if (text.empty() || trimmed_.contains(trimmed(text))) return;
    trimmed_.emplace(trimmed(text));
    list_.emplace_back(text);
    // The completion list outlives reloads of the list; it never offers one address twice.
    if (std::find(completion_.begin(), completion_.end(), text) == completion_.end())
        completion_.emplace_back(text);
}

void AddressMru::mruLoad() {
    list_.clear();
    trimmed_.clear();
    if (const auto count = persist::readIntValue(kSection, kCount)) {
        for (std::int32_t i = 0; i < *count; ++i) {
            const auto entry = persist::readStringValue(kSection, entryName(i));
            if (!entry) break;
            mruAdd(*entry);
        }
    }
    const auto current = persist::readStringValue(kSection, kCurrent);
    if (current && !current->empty()) {
        mruAdd(*current);
        barText_ = *current;
    }
}

bool AddressMru::mruSave() const {
    // The section is written whole: the recent addresses, their count and the address bar's
    // text, and nothing else (a "current" address saved earlier goes).
    persist::SettingsBag bag;
    for (std::size_t i = 0; i < list_.size(); ++i) bag.setString(entryName(i), list_[i]);
    bag.setInt(kCount, static_cast<std::int32_t>(list_.size()));
    bag.setString(kLast, completeTyped(barText_));
    return bag.save(kSection);
}

bool AddressMru::saveCurrent(std::string_view address) {
    return persist::writeStringValue(kSection, kCurrent, address);
}

std::vector<std::string> AddressMru::candidates(std::string_view typed) const {
    const std::string_view wanted = trimmed(typed);
    std::vector<std::string> offered;
    for (const auto& entry : completion_) {
        const std::string_view text = trimmed(entry);
        if (beginsWith(text, "", wanted) || beginsWith(text, "http://", wanted) ||
            beginsWith(text, "https://", wanted))
            offered.push_back(entry);
    }
    return offered;
}

std::string completeTyped(std::string_view text) {
    const std::string_view t = trimmedControls(text);
    if (startsWithIgnoringCase(t, "http://") || startsWithIgnoringCase(t, "https://") ||
        startsWithIgnoringCase(t, "file://"))
        return std::string(text);
    return "http://" + std::string(t);
}

}  // namespace engine
