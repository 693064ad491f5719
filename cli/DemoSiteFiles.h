#pragma once

#include <span>
#include <string_view>

namespace cli {

// One file of the demo site as compiled into the program.
struct EmbeddedFile {
    std::string_view path;   // relative to the site's root, "/"-separated: "images/logo.gif"
    std::string_view bytes;  // the file's exact contents
};

// Every file under cli/demo/site, sorted by path. The table is generated at build time by
// cmake/EmbedFiles.cmake and lives as long as the program.
std::span<const EmbeddedFile> demoSiteFiles();

}  // namespace cli
