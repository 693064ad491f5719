// Reads arbitrary bytes as the settings store's file, through the same path a start-up takes:
// the file is read, checked and either loaded or moved aside. A loaded tree must respect the
// store's limits and its text form must be stable (writing what was read and reading it back
// gives the same text), so a hand-edited file can never turn into a different store on save.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/RegistryNode.h"
#include "platform/RegistryStore.h"
#include "platform/RegistryText.h"

namespace {

// One folder for the whole run, removed at exit. The path lives on the heap on purpose: a static
// object would be destroyed before the exit handler that needs it runs.
const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path* folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "pagelyst-fuzz-XXXXXX");
        if (!::mkdtemp(pattern.data())) __builtin_trap();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(scratchFolder(), ignored);
        });
        return new std::filesystem::path(pattern);
    }();
    return *folder;
}

void checkLimits(const platform::RegistryNode& node, std::size_t depth) {
    if (depth > platform::RegistryNode::kMaxDepth) __builtin_trap();
    node.forEachValue([](const platform::RegistryData& data) {
        if (data.name.size() > platform::RegistryNode::kMaxValueNameLength) __builtin_trap();
    });
    node.forEachChild([&](const platform::RegistryNode& child) {
        if (!platform::isValidKeyName(child.name())) __builtin_trap();
        checkLimits(child, depth + 1);
    });
}

void checkStableText(const platform::RegistryNode& root) {
    const std::string text = platform::formatRegistryText(root);
    const auto again = platform::parseRegistryText(text);
    if (!again || platform::formatRegistryText(*again) != text) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto file = scratchFolder() / "current-user.conf";
    std::filesystem::remove(file.string() + ".damaged-1");
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
    const platform::RegistryStore store(file.string());
    platform::RegistryNode root;
    if (store.read(root) != platform::RegistryStatus::Success) __builtin_trap();
    const bool loaded = std::filesystem::exists(file);
    const auto parsed = platform::parseRegistryText(bytes);
    // A file is loaded exactly when it parses, and otherwise moved aside, never left in place.
    if (loaded != parsed.has_value()) __builtin_trap();
    if (parsed) {
        checkLimits(*parsed, 0);
        checkStableText(*parsed);
    }
    const platform::RegistryNode empty;
    if (platform::formatRegistryText(root) !=
        platform::formatRegistryText(parsed ? *parsed : empty))
        __builtin_trap();
    return 0;
}
