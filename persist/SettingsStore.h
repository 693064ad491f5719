#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryKey.h"
#include "platform/RegistryNode.h"

namespace persist {

// The value operations every part of the program uses for its settings. All work on the current
// user's branch below the settings root "SOFTWARE\<company>\<product>"; a section is a key below
// the root and may name a nested key ("Main Window\ToolTips"). All report success (a flag, or an
// empty optional) and none reports an error to the user: a caller that cannot read a value uses its
// default, and callers ignore failed writes. Meant for the user-interface thread; safe across
// processes.

// The installation's names, the settings root until setRoot is called.
inline constexpr std::string_view kCompanyName = "Quorvantix";
inline constexpr std::string_view kProductName = "ZORV";

// Stores the two names every section path is built from.
void setRoot(std::string_view company, std::string_view product);

// "SOFTWARE\<company>\<product>\<section>", at most 1023 characters (longer paths are cut, as
// the fixed path buffer always did). Key names compare without regard to case, so a path
// spelled "Software\..." names the same key.
std::string sectionPath(std::string_view section);

// Open the section, creating it and its missing parents, and write the value.
bool writeIntValue(std::string_view section, std::string_view name, std::int32_t number);
bool writeStringValue(std::string_view section, std::string_view name, std::string_view text);

// Nothing when the key or value is missing or the value is not an integer; a stored -1 reads
// as -1.
std::optional<std::int32_t> readIntValue(std::string_view section, std::string_view name);
// The stored number, or defaultValue when readIntValue would fail.
std::int32_t readIntValue(std::string_view section, std::string_view name,
                          std::int32_t defaultValue);

// Texts handed back are at most kMaxTextLength characters; longer stored text is cut.
inline constexpr std::size_t kMaxTextLength = 255;
// Nothing when the key or value is missing or the value is not text.
std::optional<std::string> readStringValue(std::string_view section, std::string_view name);

// Deletes the section with all its values and sub-keys, from the leaves up. False when the
// section does not exist or a key could not be deleted (deletion then stops there).
bool deleteSection(std::string_view section);

// Replaces the section (values and sub-keys) by exactly `values` and the given sub-sections with
// their values, in one change of the store; the store file is not rewritten when the section
// holds all that already.
bool replaceSection(std::string_view section, const std::vector<platform::RegistryData>& values,
                    const platform::RegistryKey::SubKeyValues& subSections = {});

}  // namespace persist
