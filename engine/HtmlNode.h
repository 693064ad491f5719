#pragma once

#include "engine/HtmlTag.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {

// One attribute of a tag: the name as written (case kept) and the value without its quotes.
// No character entity is decoded.
struct HtmlAttribute {
    std::string name;
    std::string value;

    bool operator==(const HtmlAttribute&) const = default;
};

// One node of a parsed document: a tag, a text run between tags (`HtmlTag::kBodyText`) or the
// root of the tree (`HtmlTag::kDocument`). Positions are byte offsets into the parsed document:
// `start` is the offset of the tag's "<" (of the text's first byte), `end` the offset after the
// tag's ">", after its closing tag, or where the text ends.
//
// A node owns its children. Trees may be arbitrarily deep, so neither destruction nor the walks
// below recurse: their stack use does not depend on the depth of the tree.
class HtmlNode {
public:
    HtmlNode(HtmlTag tag, std::string name, std::uint32_t start, std::uint32_t end = 0);
    ~HtmlNode();
    HtmlNode(HtmlNode&& other) noexcept = default;
    HtmlNode& operator=(HtmlNode&& other) noexcept;
    HtmlNode(const HtmlNode&) = delete;
    HtmlNode& operator=(const HtmlNode&) = delete;

    HtmlTag tag() const { return tag_; }
    std::int32_t tagId() const { return static_cast<std::int32_t>(tag_); }
    // The upper-case name as written in the document ("BODYTEXT" and "DOCUMENT" for text and root).
    const std::string& name() const { return name_; }
    std::uint32_t start() const { return start_; }
    std::uint32_t end() const { return end_; }
    const std::vector<HtmlAttribute>& attributes() const { return attributes_; }
    const std::vector<std::unique_ptr<HtmlNode>>& children() const { return children_; }
    // The text of a text node, and the content of a SCRIPT element; empty for other nodes.
    const std::string& text() const { return text_; }

    // The first attribute whose name equals `name` ignoring ASCII case, or null.
    const HtmlAttribute* attribute(std::string_view name) const;
    // The first attribute whose name equals `name` ignoring ASCII case and whose value is not
    // empty, or null.
    const HtmlAttribute* nonEmptyAttribute(std::string_view name) const;
    // The first child that is a text node, or null.
    const HtmlNode* firstTextChild() const;

    void setEnd(std::uint32_t end) { end_ = end; }
    void setText(std::string text) { text_ = std::move(text); }
    void addAttribute(HtmlAttribute attribute) { attributes_.push_back(std::move(attribute)); }
    // Takes ownership of `child`, appends it and returns it.
    HtmlNode& appendChild(std::unique_ptr<HtmlNode> child);
    // Inserts `child` before the child at `index` (at the end when `index` is the child count).
    HtmlNode& insertChild(std::size_t index, std::unique_ptr<HtmlNode> child);
    // Removes the child at `index` and hands it to the caller.
    std::unique_ptr<HtmlNode> takeChild(std::size_t index);

    // Calls visit(node) for every node of the subtree, each child before its parent, children in
    // order; this node comes last.
    template <class Visit>
    void visitChildrenFirst(Visit&& visit) const;

private:
    void releaseChildrenIteratively() noexcept;

    HtmlTag tag_;
    std::string name_;
    std::uint32_t start_;
    std::uint32_t end_;
    std::vector<HtmlAttribute> attributes_;
    std::vector<std::unique_ptr<HtmlNode>> children_;
    std::string text_;
};

template <class Visit>
void HtmlNode::visitChildrenFirst(Visit&& visit) const {
    // Each entry is a node and the index of its next child to enter.
    std::vector<std::pair<const HtmlNode*, std::size_t>> stack;
    stack.emplace_back(this, 0);
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next < node->children_.size()) {
            const HtmlNode* child = node->children_[next++].get();
            stack.emplace_back(child, 0);
            continue;
        }
        const HtmlNode* done = node;
        stack.pop_back();
        visit(*done);
    }
}

}  // namespace engine
