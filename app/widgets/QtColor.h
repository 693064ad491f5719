#pragma once

#include <QColor>

#include <cstdint>

#include "report/FilterCondition.h"

namespace app {

// A stored colour (red in the low byte, then green, then blue) as Qt draws it.
inline QColor qtColor(report::ColorRef color) {
    return QColor(static_cast<int>(color & 0xff), static_cast<int>((color >> 8) & 0xff),
                  static_cast<int>((color >> 16) & 0xff));
}

// A colour the user chose, as the conditions store it.
inline report::ColorRef colorRef(const QColor& color) {
    return report::rgb(static_cast<std::uint8_t>(color.red()),
                       static_cast<std::uint8_t>(color.green()),
                       static_cast<std::uint8_t>(color.blue()));
}

}  // namespace app
