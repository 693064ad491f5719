#pragma once

#include <cstdint>
#include <string_view>

namespace engine {

// The text shown for an HTTP status code of a failed item; "Unknown Status Code" for codes the
// table does not hold.
std::string_view statusText(std::int32_t statusCode);

}  // namespace engine
