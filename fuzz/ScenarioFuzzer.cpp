// Loads arbitrary bytes as a scenario file: only a clean failure may come out, and whatever
// loads must store back to the same leading bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "persist/ScenarioFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    xlib::MemoryInputStream in(input);
    xlib::Archive loading(in);
    std::optional<persist::Scenario> pages;
    try {
        pages = persist::ScenarioFile::read(loading);
    } catch (const xlib::Exception&) {
        return 0;
    }
    if (!pages) return 0;
    if (pages->size() > size) __builtin_trap();  // every record costs input bytes
    xlib::MemoryOutputStream out;
    xlib::Archive storing(out);
    persist::ScenarioFile::write(storing, *pages);
    // Strings cut at an embedded zero store shorter, so only a clean round trip is compared.
    xlib::MemoryInputStream again(out.bytes());
    xlib::Archive reloading(again);
    if (persist::ScenarioFile::read(reloading) != pages) __builtin_trap();
    return 0;
}
