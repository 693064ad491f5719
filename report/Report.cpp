#include "report/Report.h"

#include <utility>

namespace report {

void Report::append(std::unique_ptr<ReportItem> item) {
    if (item) items_.push_back(std::move(item));
}

std::unique_ptr<ReportItem> Report::remove(std::size_t index) {
    if (index >= items_.size()) return nullptr;
    std::unique_ptr<ReportItem> item = std::move(items_[index]);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return item;
}

bool Report::swapItems(std::size_t a, std::size_t b) {
    if (a >= items_.size() || b >= items_.size()) return false;
    std::swap(items_[a], items_[b]);
    return true;
}

Report Report::clone() const {
    Report copy(name_, std::string(), styleId_);
    for (const auto& item : items_) copy.append(item->clone());
    return copy;
}

void Report::serialize(bool storing, xlib::Archive& archive) {
    xlib::serializeInt(id_, storing, archive);
    xlib::serializeInt(styleId_, storing, archive);
    xlib::serializeString(name_, storing, archive);
    xlib::serializeString(description_, storing, archive);
    std::int32_t count = static_cast<std::int32_t>(items_.size());
    xlib::serializeInt(count, storing, archive);
    if (storing) {
        for (const auto& item : items_) {
            std::int32_t kind = static_cast<std::int32_t>(item->kindId());
            xlib::serializeInt(kind, true, archive);
            item->serialize(true, archive);
        }
        return;
    }
    items_.clear();
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t kind = 0;
        xlib::serializeInt(kind, false, archive);
        std::unique_ptr<ReportItem> item = createItem(kind);
        if (!item) XLIB_THROW("Unknown report item kind");
        item->serialize(false, archive);
        items_.push_back(std::move(item));
    }
}

}  // namespace report
