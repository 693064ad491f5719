#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <Archive>

#include "query/StatisticsDefinition.h"

namespace query {

// Every statistics definition of the program, in ascending id order, with the ten built-ins on
// a fresh start. Lives on the user-interface thread.
//
// "lmstat.cfg" holds the version word 3, the last id handed out, the number of definitions and
// each definition as id, title and query.
class StatisticsCatalog {
public:
    static constexpr const char* kFileName = "lmstat.cfg";

    // Starts with the built-in definitions.
    StatisticsCatalog();

    // Returns the new id, or 0 when a damaged file left no id to hand out.
    std::int32_t add(const std::string& title, const std::string& query);
    // An unknown id changes nothing.
    void modify(std::int32_t id, const std::string& title, const std::string& query);
    bool remove(std::int32_t id);
    std::optional<StatisticsDefinition> find(std::int32_t id) const;
    // The first definition with this title, compared without regard to case.
    std::optional<StatisticsDefinition> findByTitle(const std::string& title) const;

    std::vector<StatisticsDefinition> definitions() const;
    std::int32_t lastId() const { return lastId_; }
    // Changes at every change of the catalogue; views refill their lists when it differs from
    // the one they showed. Strictly increasing, so two changes in one millisecond still differ.
    std::uint32_t changeStamp() const { return changeStamp_; }

    // Reads the file at `path`; on any failure (missing, damaged, another version) the
    // catalogue holds the built-ins. Returns whether the file was read; when it was not, the
    // reader's message ("Unsupported file version", ...) goes to `cause`.
    bool load(const std::string& path, std::string* cause = nullptr);
    // Writes through a temporary file renamed over `path`; false when it cannot be written.
    bool save(const std::string& path) const;

    void serialize(bool storing, xlib::Archive& archive);

    // The ten built-in definitions in their order (ids 1 to 10 on a fresh catalogue).
    static const std::vector<std::pair<std::string, std::string>>& builtIns();

private:
    void resetToBuiltIns();
    void touch();

    std::int32_t lastId_ = 0;
    std::map<std::int32_t, StatisticsDefinition> definitions_;
    std::uint32_t changeStamp_ = 0;
};

}  // namespace query
