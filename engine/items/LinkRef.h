#pragma once

#include <cstdint>
#include <string>

#include "engine/url/ParsedUrl.h"

namespace engine {

// One reference found in a document: an element to fetch or an anchor to follow.
struct LinkRef {
    std::string urlText;         // the attribute value as written (no entity decoded)
    std::uint32_t position = 0;  // offset of the "<" of the tag that carried it
    std::string acceptPattern;   // the content types the referring tag accepts (AcceptPattern.h)
    ParsedUrl url;               // urlText resolved against the document's base address

    bool operator==(const LinkRef&) const = default;
};

}  // namespace engine
