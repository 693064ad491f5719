#pragma once

#include "engine/html/HtmlDocument.h"

#include <string_view>

namespace engine {

// The tolerant tag-tree parser of downloaded documents.
//
// It knows the tag names of `HtmlTag` and treats every other tag alike; it never fails: whatever
// the bytes, the result is a tree rooted at a DOCUMENT node (start 0, end = document size). The
// rules that decide the tree's shape are described in docs/html-scanner.md.
class HtmlParser {
public:
    // Parses `document`, which is only read: nothing is appended to it or changed in it, and no
    // byte beyond its size is looked at. The result keeps no reference to `document`. Time and
    // memory grow linearly with the size of the document; stack use does not grow with its
    // nesting depth. Documents of 4 GiB and more are parsed up to the last byte a 32-bit
    // position can address.
    static HtmlDocument parse(std::string_view document);
};

}  // namespace engine
