#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace persist {

// A section's values held in memory: value name to integer and value name to text, each an
// ordered map. The owner enters every name with its default, loads, edits and saves; a saved
// section holds exactly the bag's names.
class SettingsBag {
public:
    // Insert or overwrite an entry.
    void setInt(std::string_view name, std::int32_t value);
    void setString(std::string_view name, std::string_view value);
    // The entry's value; 0 or empty text for a name the bag does not hold.
    std::int32_t getInt(std::string_view name) const;
    std::string getString(std::string_view name) const;

    // For every name the bag holds, reads the section's value of that name and overwrites the
    // entry when it exists with the entry's type (texts cut to 255 characters). Names not in the
    // bag are ignored; entries whose value is missing keep their current value.
    void load(std::string_view section);
    // Replaces the whole section with all its sub-keys by every integer entry and every text
    // entry, in one change of the store. False when the store could not be written.
    bool save(std::string_view section) const;

    const std::map<std::string, std::int32_t, std::less<>>& ints() const { return ints_; }
    const std::map<std::string, std::string, std::less<>>& strings() const { return strings_; }

private:
    std::map<std::string, std::int32_t, std::less<>> ints_;
    std::map<std::string, std::string, std::less<>> strings_;
};

}  // namespace persist
