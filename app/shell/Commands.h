#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <array>
#include <cstddef>
#include <optional>

#include "app/shell/ViewMove.h"

namespace app {

// Every command of the program. The main frame makes one action per command from the table
// below; menus, the tool bar and the address bar show those actions.
enum class CommandId {
    OpenUrl,
    Analyze,
    OpenScenario,
    ImportHar,
    ExportHar,
    SaveScenario,
    Export,
    Print,
    ExportPdf,
    Exit,
    NewWindow,
    Undo,
    Cut,
    Copy,
    Paste,
    SelectAll,
    Find,
    FindNext,
    WordWrap,
    Settings,
    ToggleToolBar,
    ToggleAddressBar,
    ToggleStatusBar,
    ToggleSelectionBar,
    FocusAddressBar,
    NextPane,
    PreviousPane,
    ViewSiteTree,
    ViewPageAnalysis,
    ViewAnalysis,
    ViewStatistics,
    ViewReports,
    ViewWaterfall,
    AnalyzeAll,
    AnalyzeSelected,
    Stop,
    Auto,
    AnalyzePageSource,
    ShowDetails,
    OpenInBrowser,
    SaveElementAs,
    RemoveSelected,
    RemoveNotLoaded,
    RemoveAll,
    NewStatistics,
    NewReport,
    EditStyles,
    TipOfTheDay,
    HelpContents,
    ObjectExplorer,
    About,
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(CommandId::About) + 1;

// What the enable rules read, gathered by the main frame from the engine, the address bar and
// the active view (fillCommandState) whenever it updates its commands.
struct CommandState {
    bool downloadRunning = false;
    bool stopRequested = false;
    bool addressBarEmpty = true;
    bool treeEmpty = true;
    bool treeHasPageToLoad = false;  // what Analyze All would start
    int selectionCount = 0;          // selected rows of the active view
    bool currentPage = false;        // a page of the site tree is the current page
    bool currentPageLoaded = false;
    bool selectionHasContent = false;                 // the one selected row has downloaded content
    int selectedPhase = -1;                           // its engine::LoadPhase (-1: not an item)
    bool textShown = false;                           // the active view shows a text (a source)
    bool textSelected = false;                        // ... and part of it is selected
    std::array<bool, kViewMoveCount> moveAnswered{};  // a registered view answers the move

    bool answered(ViewMove move) const { return moveAnswered[static_cast<std::size_t>(move)]; }
};

// Who carries a command out: the main window or the application, by the rule of this table;
// the views (a view's command counts as built once a registered view lists it, and is enabled
// by the active view's own rule); or nothing yet (its dialog is still missing).
enum class Carrier { Frame, View, Missing };

// A command as the table gives it: the menu text (with its mnemonic and key hint), the keys,
// the prompt ("status bar text\ntool tip") and who carries it out.
struct CommandEntry {
    CommandId id;
    const char* menuText;
    const char* keys;  // QKeySequence::fromString, "; " between alternatives; empty for none
    const char* prompt;
    Carrier carrier;
};

// One entry of a menu or of the tool bar: a command, or a separator (none).
using MenuItem = std::optional<CommandId>;
inline constexpr MenuItem kSeparator = std::nullopt;

const std::array<CommandEntry, kCommandCount>& commandTable();
const CommandEntry& commandEntry(CommandId id);

// The command's keys as sequences, and the two halves of its prompt.
QList<QKeySequence> commandKeys(CommandId id);
QString statusTip(CommandId id);
QString toolTip(CommandId id);

// The main window's own rule of a command it carries out; false for every other command (a
// view's commands are enabled by the active view's rules).
bool commandEnabled(CommandId id, const CommandState& state);

}  // namespace app
