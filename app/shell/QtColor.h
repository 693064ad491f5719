#pragma once

#include <QColor>

#include "report/FilterCondition.h"

namespace app {

// A stored colour (red in the low byte, then green, then blue) as Qt draws it.
inline QColor qtColor(report::ColorRef color) {
    return QColor(static_cast<int>(color & 0xff), static_cast<int>((color >> 8) & 0xff),
                  static_cast<int>((color >> 16) & 0xff));
}

}  // namespace app
