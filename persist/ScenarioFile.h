#pragma once

#include <optional>
#include <string>
#include <vector>

#include <Archive>

namespace persist {

// One page of a scenario: its address and the index of its parent page in the same list (-1 for
// a top-level page). A scenario is the site tree reduced to addresses and shape, listed depth
// first, each page before its children, children in tree order.
struct ScenarioPage {
    std::string address;
    int parent = -1;

    bool operator==(const ScenarioPage&) const = default;
};

using Scenario = std::vector<ScenarioPage>;

inline constexpr const char* kScenarioExtension = "wsa";
inline constexpr const char* kScenarioFilter = "Scenario Files (*.wsa)|*.wsa|All Files (*.*)|*.*||";

// The "*.wsa" format: the version word 3, the number of top-level pages, then each page as its
// address, its number of children and its children's records, depth first. No recursion is
// used either way, so a hostile file nested a million levels deep cannot exhaust the stack.
class ScenarioFile {
public:
    // Writes the scenario; throws xlib::Exception when the stream fails.
    static void write(xlib::Archive& archive, const Scenario& pages);
    // Reads a scenario; throws xlib::Exception on a damaged file and returns nothing when the
    // version word is not 3 or a count is negative.
    static std::optional<Scenario> read(xlib::Archive& archive);

    // Saves through a temporary file renamed over `path`, so a failed save keeps the previous
    // file. Returns false when the file cannot be written, with the system's reason in `reason`.
    static bool save(const std::string& path, const Scenario& pages, std::string* reason = nullptr);
    // Loads `path`; nothing when it is missing, unreadable or not a valid scenario.
    static std::optional<Scenario> load(const std::string& path);
};

}  // namespace persist
