#include "app/widgets/HintStateStore.h"

#include "persist/SettingsMap.h"
#include "persist/SettingsStore.h"

namespace app {

std::optional<int> SettingsHintStore::read(int hint) const {
    return persist::readIntValue(persist::section::kToolTips, persist::toolTipValueName(hint));
}

bool SettingsHintStore::write(int hint, int state) {
    return persist::writeIntValue(persist::section::kToolTips, persist::toolTipValueName(hint),
                                  state);
}

}  // namespace app
