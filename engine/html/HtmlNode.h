#pragma once

#include "engine/html/HtmlTag.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {

// One attribute of a tag: the name as written (case kept) and the value without its quotes. No
// character entity is decoded. Both views point into the storage of the node's `HtmlDocument`.
struct HtmlAttribute {
    std::string_view name;
    std::string_view value;

    bool operator==(const HtmlAttribute&) const = default;
};

// One node of a parsed document: a tag, a run of text between tags (`HtmlTag::kBodyText`) or the
// root of the tree (`HtmlTag::kDocument`). Positions are byte offsets into the parsed document:
// `start` is the offset of the tag's "<" (of the text's first byte), `end` the offset after the
// tag's ">", after its closing tag, or where the text ends.
//
// Nodes live in the storage of an `HtmlDocument`, which creates them and frees them all at once:
// a node holds no resource of its own, so no tree, however deep, is ever destroyed recursively.
// Its children form a list in document order.
class HtmlNode {
public:
    class ChildIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = HtmlNode;
        using difference_type = std::ptrdiff_t;
        using pointer = const HtmlNode*;
        using reference = const HtmlNode&;

        ChildIterator() = default;
        explicit ChildIterator(const HtmlNode* node) : node_(node) {}
        reference operator*() const { return *node_; }
        pointer operator->() const { return node_; }
        ChildIterator& operator++() {
            node_ = node_->nextSibling_;
            return *this;
        }
        ChildIterator operator++(int) {
            ChildIterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const ChildIterator&) const = default;

    private:
        const HtmlNode* node_ = nullptr;
    };

    struct ChildRange {
        const HtmlNode* first;
        ChildIterator begin() const { return ChildIterator(first); }
        ChildIterator end() const { return ChildIterator(); }
        bool empty() const { return first == nullptr; }
    };

    HtmlNode(HtmlTag tag, std::string_view name, std::uint32_t start, std::uint32_t end)
        : tag_(tag), start_(start), end_(end), name_(name) {}
    HtmlNode(const HtmlNode&) = delete;
    HtmlNode& operator=(const HtmlNode&) = delete;

    HtmlTag tag() const { return tag_; }
    std::int32_t tagId() const { return static_cast<std::int32_t>(tag_); }
    // The upper-case name ("BODYTEXT" for text, "DOCUMENT" for the root).
    std::string_view name() const { return name_; }
    std::uint32_t start() const { return start_; }
    std::uint32_t end() const { return end_; }
    std::span<const HtmlAttribute> attributes() const { return attributes_; }
    ChildRange children() const { return {firstChild_}; }
    const HtmlNode* firstChild() const { return firstChild_; }
    // Counts the children (walks the list).
    std::size_t childCount() const;
    // The text of a text node, and the content of a SCRIPT element; empty for other nodes.
    std::string_view text() const { return text_; }

    // The first attribute whose name equals `name` ignoring ASCII case, or null.
    const HtmlAttribute* attribute(std::string_view name) const;
    // The first attribute whose name equals `name` ignoring ASCII case and whose value is not
    // empty, or null.
    const HtmlAttribute* nonEmptyAttribute(std::string_view name) const;
    // The first child that is a text node, or null.
    const HtmlNode* firstTextChild() const;

    // Calls visit(node) for every node of the subtree, each child before its parent, children in
    // order; this node comes last. Uses heap, not call stack, in proportion to the depth.
    template <class Visit>
    void visitChildrenFirst(Visit&& visit) const;

    // Building, for `HtmlDocument` and the parser: the views and the child must live in the same
    // document's storage as this node.
    void setEnd(std::uint32_t end) { end_ = end; }
    void setText(std::string_view text) { text_ = text; }
    void setAttributes(std::span<const HtmlAttribute> attributes) { attributes_ = attributes; }
    void appendChild(HtmlNode& child);

private:
    HtmlTag tag_;
    std::uint32_t start_;
    std::uint32_t end_;
    std::string_view name_;
    std::string_view text_;
    std::span<const HtmlAttribute> attributes_;
    HtmlNode* firstChild_ = nullptr;
    HtmlNode* lastChild_ = nullptr;
    HtmlNode* nextSibling_ = nullptr;
};

template <class Visit>
void HtmlNode::visitChildrenFirst(Visit&& visit) const {
    // Each entry is a node and its next child to enter.
    std::vector<std::pair<const HtmlNode*, const HtmlNode*>> stack;
    stack.emplace_back(this, firstChild_);
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next != nullptr) {
            const HtmlNode* child = next;
            next = next->nextSibling_;
            stack.emplace_back(child, child->firstChild_);
            continue;
        }
        const HtmlNode* done = node;
        stack.pop_back();
        visit(*done);
    }
}

}  // namespace engine
