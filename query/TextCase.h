#pragma once

#include "engine/base/AsciiText.h"

// The query language compares letters as the engine's ASCII helpers do: only "A" to "Z" have a
// lower case, so statements and cell texts compare the same everywhere.
namespace query {

using engine::compareIgnoringCase;
using engine::equalIgnoringCase;
using engine::toLower;

}  // namespace query
