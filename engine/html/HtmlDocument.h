#pragma once

#include "engine/html/HtmlNode.h"

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <span>
#include <string_view>

namespace engine {

// A parsed document: a copy of its bytes, the tree of `HtmlNode`s and the storage that holds the
// nodes and the texts they do not share with the copy. Nothing in it refers to the bytes it was
// made from, so it outlives them. Everything is freed at once when the document is destroyed;
// views taken from its nodes are valid until then. Movable (views stay valid), not copyable;
// not thread-safe to build.
class HtmlDocument {
public:
    // A document of a copy of `source` (at most 4 GiB - 1 bytes, as positions are 32-bit) whose
    // tree is a DOCUMENT root spanning all of it, without children yet.
    explicit HtmlDocument(std::string_view source = {});
    HtmlDocument(HtmlDocument&&) noexcept = default;
    HtmlDocument& operator=(HtmlDocument&&) noexcept = default;
    ~HtmlDocument();

    const HtmlNode& root() const { return *root_; }
    HtmlNode& root() { return *root_; }
    // The copy of the bytes; node positions are offsets into it.
    std::string_view source() const { return source_; }

    // Building: a new node without parent, a copy of some text, a copy of an attribute list.
    // All of them live as long as the document.
    HtmlNode& newNode(HtmlTag tag, std::string_view name, std::uint32_t start, std::uint32_t end);
    std::string_view store(std::string_view text);
    // Room for `size` characters, to be filled by the caller before it makes a view of them.
    char* allocateText(std::size_t size);
    std::span<const HtmlAttribute> store(std::span<const HtmlAttribute> attributes);

private:
    std::unique_ptr<std::pmr::monotonic_buffer_resource> storage_;
    std::string_view source_;
    HtmlNode* root_;
};

}  // namespace engine
