#include "app/shell/Commands.h"

#include <QStringList>

namespace app {
namespace {

using C = CommandId;

// clang-format off
constexpr std::array<CommandEntry, kCommandCount> kTable{{
    {C::OpenUrl, "Open &URL...\tCtrl+U", "Ctrl+U", "Analyze URL\nAnalyze URL", true},
    {C::Analyze, "Analyze", "", "Analyze page specified in address bar\nAnalyze specified page", true},
    {C::OpenScenario, "&Open Scenario...\tCtrl+O", "Ctrl+O", "Open Scenario\nOpen Scenario", true},
    {C::SaveScenario, "&Save Scenario...\tCtrl+S", "Ctrl+S", "Save Scenario\nSave Scenario", true},
    {C::Export, "Expor&t...", "", "Export data\nExport Data", true},
    {C::Print, "&Print...", "", "Print\nPrint", false},
    {C::Exit, "E&xit...\tAlt+F4", "Alt+F4", "Quit the application\nExit", true},
    {C::NewWindow, "New Window", "Ctrl+N", "Create New Item\nNew Item", true},
    {C::Undo, "&Undo\tCtrl+Z", "Ctrl+Z; Alt+Backspace", "Undo the last action\nUndo", true},
    {C::Cut, "Cu&t\tCtrl+X", "Ctrl+X; Shift+Del", "Cut the selection and put it on the Clipboard\nCut", true},
    {C::Copy, "&Copy\tCtrl+C", "Ctrl+C; Ctrl+Ins", "Copy the selection and put it on the Clipboard\nCopy", true},
    {C::Paste, "&Paste\tCtrl+V", "Ctrl+V; Shift+Ins", "Insert Clipboard contents\nPaste", true},
    {C::SelectAll, "&Select All", "Ctrl+A", "Select the entire document\nSelect All", false},
    {C::Find, "F&ind...\tCtrl+F", "Ctrl+F", "Find the specified text\nFind", false},
    {C::FindNext, "Find Ne&xt\tF3", "F3", "Repeat the last action\nFind Next", false},
    {C::WordWrap, "&Word Wrap", "", "Wrap long lines\nWord Wrap", false},
    {C::Settings, "Setti&ngs...", "", "View/Edit profiler properties\nProfiler Properties", true},
    {C::ToggleToolBar, "&Toolbar", "", "Show or hide the toolbar\nToggle ToolBar", true},
    {C::ToggleAddressBar, "A&ddress Bar", "", "Show or hide the addressbar\nToggle AddressBar", true},
    {C::ToggleStatusBar, "Stat&us Bar", "", "Show or hide the status bar\nToggle StatusBar", true},
    {C::ToggleSelectionBar, "Selection &Bar\tF11", "F11", "Show or hide the selection bar\nToggle SelectionBar", true},
    {C::FocusAddressBar, "Address", "Alt+D", "", true},
    {C::NextPane, "Next Pane", "F6", "Switch to the next window pane\nNext Pane", true},
    {C::PreviousPane, "Previous Pane", "Shift+F6", "Switch back to the previous window pane\nPrevious Pane", true},
    {C::ViewSiteTree, "&Site Tree", "", "Show site analysis view\nShow Site Analysis", true},
    {C::ViewPageAnalysis, "P&age Analysis", "", "Show page analysis view\nShow Page Analysis", false},
    {C::ViewAnalysis, "A&nalysis", "", "Show source view\nShow Source", false},
    {C::ViewStatistics, "Stat&istics", "", "Show statistics view\nShow Statistics", false},
    {C::ViewReports, "Rep&orts", "", "Show report view\nShow Report", false},
    {C::AnalyzeAll, "Analy&ze All", "", "Analyze all page(s)\nAnalyze All Page(s)", true},
    {C::AnalyzeSelected, "Analyze Selecte&d", "", "Analyze selected page(s)\nAnalyze Selected", true},
    {C::Stop, "St&op", "", "Stop Downloading\nStop", true},
    {C::Auto, "Auto", "", "Crawl the site level by level\nAuto", true},
    {C::AnalyzePageSource, "Analyze Page Sour&ce", "", "Show page and elements source and  usage\nShow Page Source", false},
    {C::ShowDetails, "Sho&w Details...", "", "Show element or page details\nShow Details", false},
    {C::OpenInBrowser, "Open in &Browser", "", "Open URL in browser.\nOpen in browser", true},
    {C::SaveElementAs, "S&ave As...", "", "Save element as.\nSave Element As", true},
    {C::RemoveSelected, "Remove &Selected Page(s)\tDelete", "Del", "Remove selected page(s) from site tree.\nRemove Selected", true},
    {C::RemoveNotLoaded, "Remove &Not Loaded Page(s)", "", "Remove not loaded page(s) from site tree.\nRemove Not Loaded Pages", true},
    {C::RemoveAll, "R&emove All", "", "Remove all pages from site tree.\nRemove All", true},
    {C::NewStatistics, "&New...", "", "Create new statistics layout.\nNew Statistics", false},
    {C::NewReport, "&New...", "", "Create new report\nNew Report", false},
    {C::EditStyles, "Edit &Styles...", "", "Edit Report Styles\nEdit Report Styles", false},
    {C::TipOfTheDay, "Ti&p of the Day...", "", "Display the Tip of the Day.\nTip of the Day", false},
    {C::HelpContents, "&Contents\tF1", "F1", "Opens help\nHelp", true},
    {C::About, "&About ZORV...", "", "Display program information, version number and copyright\nAbout", true},
}};
// clang-format on

bool tableInOrder() {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (static_cast<std::size_t>(kTable[i].id) != i) return false;
    }
    return true;
}

bool siteTreeActive(const CommandState& s) {
    return s.activeView == view::kSiteTree;
}

bool pageStatusActive(const CommandState& s) {
    return s.activeView == view::kPageStatus;
}

// The rule of a command that exists in this program.
bool ruleHolds(CommandId id, const CommandState& s) {
    switch (id) {
        case C::OpenUrl:
            return !s.downloadRunning;
        case C::Analyze:
            if (s.addressBarEmpty) return false;
            return siteTreeActive(s) || (pageStatusActive(s) && !s.downloadRunning);
        case C::Export:
            if (s.activeView == view::kStatistics || s.activeView == view::kReports) {
                return s.currentPage;
            }
            return s.selectionHasContent;
        case C::Print:
            return s.activeView == view::kReports && s.currentPage;
        case C::SelectAll:
        case C::Find:
        case C::FindNext:
        case C::WordWrap:
            return s.activeView == view::kAnalysis;
        case C::AnalyzeAll:
            if (s.downloadRunning) return false;
            if (siteTreeActive(s)) return s.treeHasPageToLoad;
            return pageStatusActive(s) && !s.addressBarEmpty;
        case C::AnalyzeSelected:
            return !s.downloadRunning && s.selectionCount > 0 &&
                   (siteTreeActive(s) || pageStatusActive(s));
        case C::Stop:
            return s.downloadRunning && !s.stopRequested;
        case C::AnalyzePageSource:
            return siteTreeActive(s) && s.currentPageLoaded;
        case C::ShowDetails:
            return s.selectionCount == 1 && (!siteTreeActive(s) || !s.downloadRunning);
        case C::OpenInBrowser:
            return s.selectionCount == 1;
        case C::SaveElementAs:
            return s.selectionHasContent;
        case C::RemoveSelected:
            return siteTreeActive(s) && !s.downloadRunning && s.selectionCount > 0;
        case C::RemoveNotLoaded:
        case C::RemoveAll:
            return siteTreeActive(s) && !s.downloadRunning && !s.treeEmpty;
        default:
            return true;  // always, or as the focused control decides
    }
}

}  // namespace

const std::array<CommandEntry, kCommandCount>& commandTable() {
    static const bool ordered = tableInOrder();
    Q_ASSERT(ordered);
    (void)ordered;
    return kTable;
}

const CommandEntry& commandEntry(CommandId id) {
    return commandTable()[static_cast<std::size_t>(id)];
}

QList<QKeySequence> commandKeys(CommandId id) {
    QList<QKeySequence> keys;
    const QString text = QString::fromLatin1(commandEntry(id).keys);
    for (const QString& part : text.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        keys.push_back(QKeySequence::fromString(part, QKeySequence::PortableText));
    }
    return keys;
}

QString statusTip(CommandId id) {
    return QString::fromLatin1(commandEntry(id).prompt).section(QLatin1Char('\n'), 0, 0);
}

QString toolTip(CommandId id) {
    const QString prompt = QString::fromLatin1(commandEntry(id).prompt);
    return prompt.contains(QLatin1Char('\n')) ? prompt.section(QLatin1Char('\n'), 1) : prompt;
}

bool commandEnabled(CommandId id, const CommandState& state) {
    return commandEntry(id).built && ruleHolds(id, state);
}

}  // namespace app
