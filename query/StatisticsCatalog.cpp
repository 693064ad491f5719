#include "query/StatisticsCatalog.h"

#include <algorithm>
#include <limits>

#include "engine/base/Clock.h"
#include "query/TextCase.h"

namespace query {

const std::vector<std::pair<std::string, std::string>>& StatisticsCatalog::builtIns() {
    static const std::vector<std::pair<std::string, std::string>> kBuiltIns{
        {"General",
         "SELECT URL, Host, Element, Protocol, Type as 'Resource Type', Time as 'Load Time', "
         "Size, TimeWithChildren as 'Time With Children', SizeWithChildren as 'Size With "
         "Children', Speed, PercentOfSize as '% Size', PercentOfTime as '% Time', "
         "PercentOfSizeWithChildren as '% Size With Children', PercentOfTimeWithChildren as '% "
         "Time With Children', ConnectTime as 'Connect Time', SendTime as 'Send Time', "
         "ReceiveTime as 'Receive Time' order by PercentOfTime desc"},
        {"Compact",
         "SELECT URL, Type as 'Resource Type', Time, Size, PercentOfTime as '% Time' order by "
         "PercentOfTime desc"},
        {"Size By Type",
         "SELECT Type as 'Resource Type', Count(Size) as 'Count', SUM(Size) as 'Total Size', "
         "SUM(PercentOfSize) as '% Size Total' group by Type order by SUM(Size) desc"},
        {"Time By Type",
         "SELECT Type as 'Resource Type', Count(Time) as 'Count', SUM(Time) as 'Total Time', "
         "SUM(PercentOfTime) as '% Time Total' group by Type order by SUM(Time) desc"},
        {"Size By Host",
         "SELECT Host, Count(Size) as 'Count', SUM(Size) as 'Size Total', SUM(PercentOfSize) as "
         "'% Size Total' group by Host order by SUM(Size) desc"},
        {"Time By Host",
         "SELECT Host, Count(Time) as 'Count', SUM(Time) as 'Time Total', SUM(PercentOfTime) as "
         "'% Time Total' group by Host order by SUM(Time) desc"},
        {"Average Speed By Host",
         "SELECT Host, Count(Speed) as 'Count', AVG(Speed) as 'Average Speed', "
         "SUM(PercentOfTime) as '% Time Total', SUM(PercentOfSize) as '% Size Total' group by "
         "Host order by AVG(Speed) desc"},
        {"Size By Type and Host",
         "SELECT Host, Type as 'Resource Type', Count(Size) as 'Count', SUM(Size) as 'Total "
         "Size', SUM(PercentOfSize) as '% Size Total' group by Type order by SUM(PercentOfSize) "
         "desc"},
        {"Time By Type and Host",
         "SELECT Host, Type as 'Resource Type', Count(Time) as 'Count', SUM(Time) as 'Total "
         "Time', SUM(PercentOfTime) as '% Time Total' group by Type order by SUM(PercentOfTime) "
         "desc"},
        {"Size and Time by Type and Host",
         "SELECT Host, Type as 'Resource Type', Count(Time) as 'Count', SUM(Time) as 'Total "
         "Time', SUM(PercentOfTime) as '% Time Total', SUM(Size) as 'Total Size', "
         "SUM(PercentOfSize) as '% Size Total' group by Host, Type order by SUM(PercentOfTime) "
         "desc"},
    };
    return kBuiltIns;
}

StatisticsCatalog::StatisticsCatalog() {
    resetToBuiltIns();
}

void StatisticsCatalog::touch() {
    changeStamp_ = std::max(engine::Clock::steady().now(), changeStamp_ + 1);
}

std::int32_t StatisticsCatalog::add(const std::string& title, const std::string& query) {
    if (lastId_ == std::numeric_limits<std::int32_t>::max()) return 0;  // no id left
    const std::int32_t id = ++lastId_;
    definitions_[id] = {id, title, query};
    touch();
    return id;
}

void StatisticsCatalog::modify(std::int32_t id, const std::string& title,
                               const std::string& query) {
    const auto it = definitions_.find(id);
    if (it == definitions_.end()) return;
    it->second.title = title;
    it->second.query = query;
    touch();
}

bool StatisticsCatalog::remove(std::int32_t id) {
    if (definitions_.erase(id) == 0) return false;
    touch();
    return true;
}

std::optional<StatisticsDefinition> StatisticsCatalog::find(std::int32_t id) const {
    const auto it = definitions_.find(id);
    if (it == definitions_.end()) return std::nullopt;
    return it->second;
}

std::optional<StatisticsDefinition> StatisticsCatalog::findByTitle(const std::string& title) const {
    for (const auto& [id, definition] : definitions_)
        if (toLower(definition.title) == toLower(title)) return definition;
    return std::nullopt;
}

std::vector<StatisticsDefinition> StatisticsCatalog::definitions() const {
    std::vector<StatisticsDefinition> list;
    for (const auto& [id, definition] : definitions_) list.push_back(definition);
    return list;
}

void StatisticsCatalog::resetToBuiltIns() {
    lastId_ = 0;
    definitions_.clear();
    for (const auto& [title, query] : builtIns()) add(title, query);
}

void StatisticsCatalog::serialize(bool storing, xlib::Archive& archive) {
    if (!xlib::serializeVersion(storing, archive)) XLIB_THROW("Unsupported file version");
    xlib::serializeInt(lastId_, storing, archive);
    std::int32_t count = static_cast<std::int32_t>(definitions_.size());
    xlib::serializeInt(count, storing, archive);
    if (storing) {
        for (auto& [id, definition] : definitions_) {
            std::int32_t key = id;
            xlib::serializeInt(key, true, archive);
            xlib::serializeString(definition.title, true, archive);
            xlib::serializeString(definition.query, true, archive);
        }
        return;
    }
    definitions_.clear();
    lastId_ = std::max(lastId_, 0);  // ids start at 1 whatever a damaged file says
    for (std::int32_t i = 0; i < count; ++i) {
        StatisticsDefinition definition;
        xlib::serializeInt(definition.id, false, archive);
        xlib::serializeString(definition.title, false, archive);
        xlib::serializeString(definition.query, false, archive);
        // A damaged last id must never let add() hand out an id that is taken.
        lastId_ = std::max(lastId_, definition.id);
        definitions_[definition.id] = std::move(definition);
    }
}

bool StatisticsCatalog::load(const std::string& path, std::string* cause) {
    xlib::FileStream file;
    file.open(path, xlib::FileStream::Disposition::OpenExisting, xlib::FileStream::Access::Read);
    bool loaded = true;
    try {
        xlib::Archive archive(file.input());
        serialize(false, archive);
    } catch (const xlib::Exception& error) {
        resetToBuiltIns();
        loaded = false;
        if (cause) *cause = error.message();
    }
    touch();
    return loaded;
}

bool StatisticsCatalog::save(const std::string& path) const {
    try {
        xlib::SaveStream file(path);
        xlib::Archive archive(file);
        StatisticsCatalog copy = *this;  // serialize() serves both directions, so not const
        copy.serialize(true, archive);
        file.commit();
        return true;
    } catch (const xlib::Exception&) {
        return false;
    }
}

}  // namespace query
