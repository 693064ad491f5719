#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "engine/settings/EngineSettings.h"
#include "report/FilterConditionList.h"

class QWidget;

namespace app {

class CMyListCtrl;

// How the Settings command opens the settings sheet, which the program's composition registers
// (the shell knows no sheet): the sheet over the current engine settings and the highlighting
// conditions, on its Customize page for `customize` when given. Returns the confirmed engine
// settings (stored already; `conditions` replaced), or none when the user cancelled.
using SettingsOpener = std::function<std::optional<engine::EngineSettings>(
    QWidget* parent, const engine::EngineSettings& current, report::FilterConditionList& conditions,
    std::vector<CMyListCtrl*> lists, const CMyListCtrl* customize)>;

}  // namespace app
