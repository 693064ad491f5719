#pragma once

#include <QString>

namespace app {

// The hints by number.
namespace hint {
inline constexpr int kAddressBox = 2;   // on the address box while the pointer rests on it
inline constexpr int kFinished = 3;     // a run ended with its page loaded
inline constexpr int kChildErrors = 4;  // ... with elements that failed
inline constexpr int kFailed = 5;       // ... with the page itself failed
inline constexpr int kReportType = 6;   // on the Reports pane's "Report Type..." tab
}  // namespace hint

// The balloon text of a hint the program has built in (2 to 7); empty for any other number.
QString builtInHintText(int number);

}  // namespace app
