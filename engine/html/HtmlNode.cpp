#include "engine/html/HtmlNode.h"

#include <algorithm>

namespace engine {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::size_t HtmlNode::childCount() const {
    std::size_t count = 0;
    for (const HtmlNode* c = firstChild_; c != nullptr; c = c->nextSibling_) ++count;
    return count;
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
