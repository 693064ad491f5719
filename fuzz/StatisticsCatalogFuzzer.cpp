// Loads arbitrary bytes as "lmstat.cfg": the load either succeeds or fails cleanly, and the
// catalogue then still hands out ids that no definition holds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "query/StatisticsCatalog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    xlib::MemoryInputStream in(std::string_view(reinterpret_cast<const char*>(data), size));
    xlib::Archive archive(in);
    query::StatisticsCatalog catalog;
    try {
        catalog.serialize(false, archive);
    } catch (const xlib::Exception&) {
        return 0;
    }
    if (catalog.definitions().size() > size) __builtin_trap();
    const auto before = catalog.definitions().size();
    const bool added = catalog.add("fuzz", "select URL") != 0;
    if (catalog.definitions().size() != before + (added ? 1 : 0)) __builtin_trap();
    return 0;
}
