#include "report/FilterConditionList.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "engine/figures/ConnectionSpeed.h"
#include "persist/RegistryValue.h"
#include "persist/SettingsStore.h"
#include "platform/RegistryKey.h"

namespace report {
namespace {

constexpr std::size_t kMaxKeyName = 255;

struct StoredField {
    const char* name;
    std::int32_t FilterCondition::*field;
};

// The integer values of a condition's sub-key ("enabled" and "CustomColor" are handled apart
// because of their types). "Thresold" is the name the store has always used.
constexpr StoredField kIntFields[] = {
    {"id", &FilterCondition::id},
    {"ct", &FilterCondition::connectionType},
    {"time_type", &FilterCondition::timeType},
    {"Thresold", &FilterCondition::threshold},
    {"Color", &FilterCondition::colorIndex},
};

FilterCondition defaultCondition(int id, int timeType, int connection, int seconds, int color) {
    FilterCondition c;
    c.id = id;
    c.timeType = timeType;
    c.connectionType = connection;
    c.threshold = seconds;
    c.colorIndex = color;
    c.name = generatedName(c);
    return c;
}

std::vector<std::string> subKeysOf(const std::string& keyPath) {
    std::vector<std::string> names;
    platform::RegistryKey key;
    if (platform::RegistryKey().open(keyPath, key) != platform::RegistryStatus::Success)
        return names;
    for (std::uint32_t index = 0;; ++index) {
        char name[1024];
        std::uint32_t size = sizeof name;
        if (key.enumKey(index, name, &size) != platform::RegistryStatus::Success) break;
        names.emplace_back(name, size);
    }
    return names;
}

FilterCondition readCondition(const std::string& keyPath) {
    const auto value = [&](const char* name) {
        return persist::RegistryValue(platform::RegistryHive::CurrentUser, keyPath, name);
    };
    FilterCondition c;
    for (const auto& stored : kIntFields) c.*stored.field = value(stored.name).readInt();
    c.name = value("name").readString();
    // Stored as an integer and read as a byte: a missing value (-1) counts as enabled.
    c.enabled = (value("enabled").readInt() & 0xFF) != 0;
    c.customColor = static_cast<ColorRef>(value("CustomColor").readInt());
    return c;
}

// A condition's values as its sub-key of the filters section holds them.
std::vector<platform::RegistryData> conditionValues(const FilterCondition& c) {
    const auto number = [](const char* name, std::int32_t n) {
        return platform::RegistryData{name, platform::RegistryType::Int, n, {}};
    };
    std::vector<platform::RegistryData> values;
    values.push_back({"name", platform::RegistryType::String, 0, c.name});
    for (const auto& stored : kIntFields) values.push_back(number(stored.name, c.*stored.field));
    values.push_back(number("enabled", c.enabled ? 1 : 0));
    values.push_back(number("CustomColor", static_cast<std::int32_t>(c.customColor)));
    return values;
}

}  // namespace

FilterConditionList FilterConditionList::makeDefaults() {
    FilterConditionList list;
    list.conditions_ = {
        defaultCondition(1, FilterCondition::kBrowseTime, 7, 8, 5),
        defaultCondition(2, FilterCondition::kBrowseTime, 8, 12, 21),
        defaultCondition(3, FilterCondition::kBrowseTime, 4, 4, 17),
        defaultCondition(4, FilterCondition::kDownloadTime, 7, 24, 31),
        defaultCondition(5, FilterCondition::kDownloadTime, 8, 36, 16),
        defaultCondition(6, FilterCondition::kDownloadTime, 4, 12, 18),
    };
    return list;
}

void FilterConditionList::add(FilterCondition condition) {
    condition.enabled = true;
    conditions_.push_back(std::move(condition));
    renumber();
}

void FilterConditionList::renumber() {
    for (std::size_t i = 0; i < conditions_.size(); ++i)
        conditions_[i].id = static_cast<std::int32_t>(i);
}

bool FilterConditionList::holds(const FilterCondition& condition, const PageTimesFor& times) {
    if (!condition.enabled || !engine::isConnectionIndex(condition.connectionType)) return false;
    const PageTimes t = times(condition.connectionType);
    const std::int64_t limit = std::int64_t{condition.threshold} * 1000;
    return limit < (condition.isDownloadTime() ? t.download : t.browse);
}

std::vector<FilterCondition> FilterConditionList::evaluate(bool pageFinished,
                                                           const PageTimesFor& times) const {
    std::vector<FilterCondition> matched;
    if (!pageFinished) return matched;
    for (const auto& condition : conditions_)
        if (holds(condition, times)) matched.push_back(condition);
    return matched;
}

FilterConditionList FilterConditionList::load() {
    const auto valid = persist::readIntValue(kSection, "filter_valid");
    if (!valid || *valid == 0 || *valid == -1) return makeDefaults();

    FilterConditionList list;
    const std::string filters = persist::sectionPath(kFiltersSection);
    for (const auto& name : subKeysOf(filters))
        list.conditions_.push_back(readCondition(filters + "\\" + name));
    std::stable_sort(list.conditions_.begin(), list.conditions_.end(),
                     [](const auto& a, const auto& b) { return a.id < b.id; });
    list.renumber();
    return list;
}

bool FilterConditionList::save() {
    bool saved = persist::writeIntValue(kSection, "filter_valid", 1);
    renumber();
    // Every condition in one change of the store: a save that fails or is killed half-way
    // leaves the previous list, never a part of either.
    platform::RegistryKey::SubKeyValues subKeys;
    for (const auto& condition : conditions_) {
        std::string key = subKeyName(condition);
        if (!platform::isValidKeyName(key)) {
            saved = false;  // a name the store cannot hold: this one condition is not saved
            continue;
        }
        subKeys.emplace_back(std::move(key), conditionValues(condition));
    }
    return persist::replaceSection(kFiltersSection, {}, subKeys) && saved;
}

std::string FilterConditionList::subKeyName(const FilterCondition& condition) {
    const std::string suffix = "[" + std::to_string(condition.id) + "]";
    std::string name = condition.name.substr(0, kMaxKeyName - suffix.size());
    for (char& c : name)
        if (c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    return name + suffix;
}

}  // namespace report
