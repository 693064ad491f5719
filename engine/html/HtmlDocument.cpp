#include "engine/html/HtmlDocument.h"

#include "platform/LargePages.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>

namespace engine {

// Nodes and attributes are never destroyed one by one: the storage is released as a whole.
static_assert(std::is_trivially_destructible_v<HtmlNode>);
static_assert(std::is_trivially_destructible_v<HtmlAttribute>);

HtmlDocument::HtmlDocument(std::string_view source)
    // A large document's storage grows into blocks of megabytes: those come in large pages.
    : storage_(std::make_unique<std::pmr::monotonic_buffer_resource>(
          64 * 1024, platform::largePageResource())),
      source_(store(source.substr(0, std::numeric_limits<std::uint32_t>::max()))),
      root_(&newNode(HtmlTag::kDocument, htmlTagName(HtmlTag::kDocument), 0,
                     static_cast<std::uint32_t>(source_.size()))) {}

HtmlDocument::~HtmlDocument() = default;

HtmlNode& HtmlDocument::newNode(HtmlTag tag, std::string_view name, std::uint32_t start,
                                std::uint32_t end) {
    void* memory = storage_->allocate(sizeof(HtmlNode), alignof(HtmlNode));
    return *new (memory) HtmlNode(tag, name, start, end);
}

char* HtmlDocument::allocateText(std::size_t size) {
    return static_cast<char*>(storage_->allocate(std::max<std::size_t>(size, 1), 1));
}

std::string_view HtmlDocument::store(std::string_view text) {
    if (text.empty()) return {};
    char* copy = allocateText(text.size());
    std::memcpy(copy, text.data(), text.size());
    return {copy, text.size()};
}

std::span<const HtmlAttribute> HtmlDocument::store(std::span<const HtmlAttribute> attributes) {
    if (attributes.empty()) return {};
    void* memory =
        storage_->allocate(attributes.size() * sizeof(HtmlAttribute), alignof(HtmlAttribute));
    auto* copy = static_cast<HtmlAttribute*>(memory);
    std::uninitialized_copy(attributes.begin(), attributes.end(), copy);
    return {copy, attributes.size()};
}

}  // namespace engine
