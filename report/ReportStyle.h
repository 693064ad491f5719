#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include <Archive>

namespace report {

// A named style set: CSS class name to declaration text (without braces), written into a
// report's style block. Class names are kept in byte-wise order. Owned by the ReportManager.
class ReportStyle {
public:
    using Classes = std::map<std::string, std::string>;

    ReportStyle() = default;
    explicit ReportStyle(std::string name) : name_(std::move(name)) {}

    std::int32_t id() const { return id_; }
    void setId(std::int32_t id) { id_ = id; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    const Classes& classes() const { return classes_; }
    // Adds the class unless it is present: a name that is already there keeps its first text.
    // Returns whether the class was added.
    bool insertClass(const std::string& className, const std::string& declarations);
    // Replaces the text of a class that is present; never adds one. Returns whether the text
    // changed.
    bool setDeclarations(const std::string& className, const std::string& declarations);
    std::optional<std::string> declarations(const std::string& className) const;

    // Id, name, the class count and each (name, declarations) pair. Throws xlib::Exception.
    void serialize(bool storing, xlib::Archive& archive);

private:
    std::int32_t id_ = 0;
    std::string name_;
    Classes classes_;
};

}  // namespace report
