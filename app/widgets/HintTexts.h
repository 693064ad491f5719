#pragma once

#include <QString>

namespace app {

// The balloon text of a hint the program has built in (2 to 7); empty for any other number.
QString builtInHintText(int number);

}  // namespace app
