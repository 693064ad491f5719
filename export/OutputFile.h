#pragma once

#include <string>
#include <string_view>

namespace exporting {

// Saves `text` as the file `path` through a temporary file in the same folder that replaces the
// file only once it is complete, so a failed write leaves any earlier file as it was and no
// partial one. False with `error` set ("Can't write data to stream: PATH (reason)") on failure.
bool saveText(const std::string& path, std::string_view text, std::string& error);

}  // namespace exporting
