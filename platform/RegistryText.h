#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/RegistryNode.h"

namespace platform {

// The store file's text form. It opens with kFirstLine and closes with kLastLine, so a file cut
// short at any point is recognised; between them, a key line "[name\name]" names a key by its
// path from the branch root ("[]" is the root itself) and is followed by its values, one a line:
//
//     "PageLimit"=int:150
//     "ProxyServer"="proxy.example"
//
// Quoted names and texts escape \\ \" \n \r \t and any other control byte or byte that is not
// part of a UTF-8 sequence as \xHH, so the file is always valid UTF-8. Blank lines and lines
// starting with ";" are ignored. A key line is written for every key that has values or no
// sub-keys; the keys above it exist implicitly. See docs/settings-store.md.
inline constexpr std::string_view kFirstLine = "; Pagelyst settings store, format 1";
inline constexpr std::string_view kLastLine = "; end of store";

std::string formatRegistryText(const RegistryNode& root);

// The tree the text describes, or nothing when the text is not a complete, well-formed store
// file (cut short, not UTF-8, a control byte, a malformed line, a name beyond the limits).
std::optional<RegistryNode> parseRegistryText(std::string_view text);

}  // namespace platform
