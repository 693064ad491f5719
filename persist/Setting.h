#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace persist {

// An integer setting: where it lives and its default. get() applies the default whenever the
// stored value cannot be read, and also for a stored -1, which the store cannot tell apart from
// a missing value.
struct IntSetting {
    std::string_view section;
    std::string_view name;
    std::int32_t defaultValue;

    std::int32_t get() const;
    bool set(std::int32_t value) const;
};

// A text setting; its default is empty text. get() is cut to 255 characters.
struct TextSetting {
    std::string_view section;
    std::string_view name;

    std::string get() const;
    bool set(std::string_view value) const;
};

}  // namespace persist
