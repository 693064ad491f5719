#pragma once

#include <cstdint>
#include <string>

namespace engine {

// The text shown for a transfer result: the long table of the transfer's error numbers first,
// then the short table of client and system numbers, else "Unknown error,".
std::string errorText(std::int32_t result);

}  // namespace engine
