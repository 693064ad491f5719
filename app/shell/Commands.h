#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <array>
#include <cstddef>

namespace app {

// Every command of the program. The main frame makes one action per command from the table
// below; menus, the tool bar and the address bar show those actions.
enum class CommandId {
    OpenUrl,
    Analyze,
    OpenScenario,
    SaveScenario,
    Export,
    Print,
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
    About,
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(CommandId::About) + 1;

// The keys of the views in the selection bar.
namespace view {
inline constexpr int kSiteTree = 0;
inline constexpr int kAnalysis = 1;
inline constexpr int kStatistics = 2;
inline constexpr int kReports = 3;
inline constexpr int kPageStatus = 10;
}  // namespace view

// What the enable rules read, gathered by the main frame from the engine, the address bar and
// the active view whenever it updates its commands.
struct CommandState {
    bool downloadRunning = false;
    bool stopRequested = false;
    int activeView = view::kSiteTree;
    bool addressBarEmpty = true;
    bool treeEmpty = true;
    bool treeHasPageToLoad = false;  // what Analyze All would start
    int selectionCount = 0;          // selected rows of the active view
    bool currentPage = false;        // a page of the site tree is the current page
    bool currentPageLoaded = false;
    bool selectionHasContent = false;  // the one selected row has downloaded content
};

// A command as the table gives it: the menu text (with its mnemonic and key hint), the keys,
// the prompt ("status bar text\ntool tip"), and whether its view or dialog is part of this
// program yet. A command whose view has not been built is shown disabled.
struct CommandEntry {
    CommandId id;
    const char* menuText;
    const char* keys;  // QKeySequence::fromString, "; " between alternatives; empty for none
    const char* prompt;
    bool built;
};

const std::array<CommandEntry, kCommandCount>& commandTable();
const CommandEntry& commandEntry(CommandId id);

// The command's keys as sequences, and the two halves of its prompt.
QList<QKeySequence> commandKeys(CommandId id);
QString statusTip(CommandId id);
QString toolTip(CommandId id);

// The enable rule of every command in every state.
bool commandEnabled(CommandId id, const CommandState& state);

}  // namespace app
