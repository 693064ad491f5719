#include "report/ReportStyle.h"

namespace report {

bool ReportStyle::insertClass(const std::string& className, const std::string& declarations) {
    return classes_.emplace(className, declarations).second;
}

bool ReportStyle::setDeclarations(const std::string& className, const std::string& declarations) {
    const auto it = classes_.find(className);
    if (it == classes_.end() || it->second == declarations) return false;
    it->second = declarations;
    return true;
}

std::optional<std::string> ReportStyle::declarations(const std::string& className) const {
    const auto it = classes_.find(className);
    if (it == classes_.end()) return std::nullopt;
    return it->second;
}

void ReportStyle::serialize(bool storing, xlib::Archive& archive) {
    xlib::serializeInt(id_, storing, archive);
    xlib::serializeString(name_, storing, archive);
    std::int32_t count = static_cast<std::int32_t>(classes_.size());
    xlib::serializeInt(count, storing, archive);
    if (storing) {
        for (const auto& [name, text] : classes_) {
            std::string className = name;  // serializeString takes a mutable string
            std::string declarations = text;
            xlib::serializeString(className, true, archive);
            xlib::serializeString(declarations, true, archive);
        }
        return;
    }
    classes_.clear();
    for (std::int32_t i = 0; i < count; ++i) {
        std::string className, declarations;
        xlib::serializeString(className, false, archive);
        xlib::serializeString(declarations, false, archive);
        insertClass(className, declarations);
    }
}

}  // namespace report
