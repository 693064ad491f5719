#include "engine/html/HtmlNode.h"

#include <algorithm>

#include "engine/base/AsciiText.h"

namespace engine {

std::size_t HtmlNode::childCount() const {
    std::size_t count = 0;
    for (const HtmlNode* c = firstChild_; c != nullptr; c = c->nextSibling_) ++count;
    return count;
}

const HtmlAttribute* HtmlNode::attribute(std::string_view name) const {
    for (const auto& a : attributes_) {
        if (equalIgnoringCase(a.name, name)) return &a;
    }
    return nullptr;
}

const HtmlAttribute* HtmlNode::nonEmptyAttribute(std::string_view name) const {
    for (const auto& a : attributes_) {
        if (!a.value.empty() && equalIgnoringCase(a.name, name)) return &a;
    }
    return nullptr;
}

const HtmlNode* HtmlNode::firstTextChild() const {
    for (const HtmlNode& child : children()) {
        if (child.tag_ == HtmlTag::kBodyText) return &child;
    }
    return nullptr;
}

void HtmlNode::appendChild(HtmlNode& child) {
    if (lastChild_ == nullptr) {
        firstChild_ = &child;
    } else {
        lastChild_->nextSibling_ = &child;
    }
    lastChild_ = &child;
}

}  // namespace engine
