#include "engine/HtmlNode.h"

#include <algorithm>

namespace engine {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

HtmlNode::HtmlNode(HtmlTag tag, std::string name, std::uint32_t start, std::uint32_t end)
    : tag_(tag), name_(std::move(name)), start_(start), end_(end) {}

HtmlNode::~HtmlNode() {
    releaseChildrenIteratively();
}

HtmlNode& HtmlNode::operator=(HtmlNode&& other) noexcept {
    if (this != &other) {
        releaseChildrenIteratively();
        tag_ = other.tag_;
        name_ = std::move(other.name_);
        start_ = other.start_;
        end_ = other.end_;
        attributes_ = std::move(other.attributes_);
        children_ = std::move(other.children_);
        text_ = std::move(other.text_);
    }
    return *this;
}

void HtmlNode::releaseChildrenIteratively() noexcept {
    // Default destruction would recurse once per level. Instead the descendants are moved onto one
    // flat list, so every node is destroyed when it no longer has children of its own.
    std::vector<std::unique_ptr<HtmlNode>> pending = std::move(children_);
    children_.clear();
    while (!pending.empty()) {
        std::unique_ptr<HtmlNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children_) pending.push_back(std::move(child));
        node->children_.clear();
    }
}

const HtmlAttribute* HtmlNode::attribute(std::string_view name) const {
    for (const auto& a : attributes_) {
        if (equalsIgnoringCase(a.name, name)) return &a;
    }
    return nullptr;
}

const HtmlAttribute* HtmlNode::nonEmptyAttribute(std::string_view name) const {
    for (const auto& a : attributes_) {
        if (!a.value.empty() && equalsIgnoringCase(a.name, name)) return &a;
    }
    return nullptr;
}

const HtmlNode* HtmlNode::firstTextChild() const {
    for (const auto& child : children_) {
        if (child->tag_ == HtmlTag::kBodyText) return child.get();
    }
    return nullptr;
}

HtmlNode& HtmlNode::appendChild(std::unique_ptr<HtmlNode> child) {
    children_.push_back(std::move(child));
    return *children_.back();
}

HtmlNode& HtmlNode::insertChild(std::size_t index, std::unique_ptr<HtmlNode> child) {
    const auto at =
        children_.begin() + static_cast<std::ptrdiff_t>(std::min(index, children_.size()));
    return **children_.insert(at, std::move(child));
}

std::unique_ptr<HtmlNode> HtmlNode::takeChild(std::size_t index) {
    auto taken = std::move(children_.at(index));
    children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(index));
    return taken;
}

}  // namespace engine
