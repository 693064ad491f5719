#pragma once

#include <cstdint>
#include <string_view>

namespace engine {

// Where a page of the site tree stands. Single bits, so that sets of states combine; stored and
// shown as these numbers.
enum class PageState : std::uint32_t {
    Ready = 1,
    InProcess = 2,
    Finished = 4,
    Error = 8,
    ChildError = 16,
    Aborting = 32,
    Canceled = 64,
};

// "Ready", "In process...", "Finished", "Error", "Child Error", "Aborting...", "Canceled"; any
// other value gives "Unknown".
std::string_view pageStateText(std::uint32_t state);

// Finished, Error or Child Error: the page's items were all accounted for.
bool isLoaded(PageState state);

}  // namespace engine
