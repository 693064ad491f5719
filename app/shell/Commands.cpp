#include "app/shell/Commands.h"

#include <QStringList>

namespace app {
namespace {

using C = CommandId;

constexpr Carrier Frame = Carrier::Frame;
constexpr Carrier View = Carrier::View;
constexpr Carrier Missing = Carrier::Missing;

// clang-format off
constexpr std::array<CommandEntry, kCommandCount> kTable{{
    {C::OpenUrl, "Open &URL...\tCtrl+U", "Ctrl+U", "Analyze URL\nAnalyze URL", Frame},
    {C::Analyze, "Analyze", "", "Analyze page specified in address bar\nAnalyze specified page", View},
    {C::OpenScenario, "&Open Scenario...\tCtrl+O", "Ctrl+O", "Open Scenario\nOpen Scenario", Frame},
    {C::ImportHar, "Import &HAR...", "", "Analyse the pages a browser recorded in a HAR file\nImport HAR", Frame},
    {C::ExportHar, "Export H&AR...", "", "Save every page of the site tree as a HAR file\nExport HAR", Frame},
    {C::SaveScenario, "&Save Scenario...\tCtrl+S", "Ctrl+S", "Save Scenario\nSave Scenario", Frame},
    {C::Export, "Expor&t...", "", "Export data\nExport Data", View},
    {C::Print, "&Print...", "", "Print\nPrint", View},
    {C::ExportPdf, "Export as P&DF...", "", "Export the shown report as a PDF file\nExport as PDF", View},
    {C::Exit, "E&xit...\tAlt+F4", "Alt+F4", "Quit the application\nExit", Frame},
    {C::NewWindow, "New Window", "Ctrl+N", "Create New Item\nNew Item", Frame},
    {C::Undo, "&Undo\tCtrl+Z", "Ctrl+Z; Alt+Backspace", "Undo the last action\nUndo", Frame},
    {C::Cut, "Cu&t\tCtrl+X", "Ctrl+X; Shift+Del", "Cut the selection and put it on the Clipboard\nCut", Frame},
    {C::Copy, "&Copy\tCtrl+C", "Ctrl+C; Ctrl+Ins", "Copy the selection and put it on the Clipboard\nCopy", Frame},
    {C::Paste, "&Paste\tCtrl+V", "Ctrl+V; Shift+Ins", "Insert Clipboard contents\nPaste", Frame},
    {C::SelectAll, "&Select All", "Ctrl+A", "Select the entire document\nSelect All", View},
    {C::Find, "F&ind...\tCtrl+F", "Ctrl+F", "Find the specified text\nFind", View},
    {C::FindNext, "Find Ne&xt\tF3", "F3", "Repeat the last action\nFind Next", View},
    {C::WordWrap, "&Word Wrap", "", "Wrap long lines\nWord Wrap", View},
    {C::Settings, "Setti&ngs...", "", "View/Edit profiler properties\nProfiler Properties", Frame},
    {C::ToggleToolBar, "&Toolbar", "", "Show or hide the toolbar\nToggle ToolBar", Frame},
    {C::ToggleAddressBar, "A&ddress Bar", "", "Show or hide the addressbar\nToggle AddressBar", Frame},
    {C::ToggleStatusBar, "Stat&us Bar", "", "Show or hide the status bar\nToggle StatusBar", Frame},
    {C::ToggleSelectionBar, "Selection &Bar\tF11", "F11", "Show or hide the selection bar\nToggle SelectionBar", Frame},
    {C::FocusAddressBar, "Address", "Alt+D", "", Frame},
    {C::NextPane, "Next Pane", "F6", "Switch to the next window pane\nNext Pane", Frame},
    {C::PreviousPane, "Previous Pane", "Shift+F6", "Switch back to the previous window pane\nPrevious Pane", Frame},
    {C::ViewSiteTree, "&Site Tree", "", "Show site analysis view\nShow Site Analysis", View},
    {C::ViewPageAnalysis, "P&age Analysis", "", "Show page analysis view\nShow Page Analysis", View},
    {C::ViewAnalysis, "A&nalysis", "", "Show source view\nShow Source", View},
    {C::ViewStatistics, "Stat&istics", "", "Show statistics view\nShow Statistics", View},
    {C::ViewReports, "Rep&orts", "", "Show report view\nShow Report", View},
    {C::ViewWaterfall, "&Waterfall", "", "Show waterfall view\nShow Waterfall", View},
    {C::AnalyzeAll, "Analy&ze All", "", "Analyze all page(s)\nAnalyze All Page(s)", View},
    {C::AnalyzeSelected, "Analyze Selecte&d", "", "Analyze selected page(s)\nAnalyze Selected", View},
    {C::Stop, "St&op", "", "Stop Downloading\nStop", Frame},
    {C::Auto, "Auto", "", "Crawl the site level by level\nAuto", Frame},
    {C::AnalyzePageSource, "Analyze Page Sour&ce", "", "Show page and elements source and  usage\nShow Page Source", View},
    {C::ShowDetails, "Sho&w Details...", "", "Show element or page details\nShow Details", View},
    {C::OpenInBrowser, "Open in &Browser", "", "Open URL in browser.\nOpen in browser", View},
    {C::SaveElementAs, "S&ave As...", "", "Save element as.\nSave Element As", View},
    {C::RemoveSelected, "Remove &Selected Page(s)\tDelete", "Del", "Remove selected page(s) from site tree.\nRemove Selected", View},
    {C::RemoveNotLoaded, "Remove &Not Loaded Page(s)", "", "Remove not loaded page(s) from site tree.\nRemove Not Loaded Pages", View},
    {C::RemoveAll, "R&emove All", "", "Remove all pages from site tree.\nRemove All", View},
    {C::NewStatistics, "&New...", "", "Create new statistics layout.\nNew Statistics", View},
    {C::NewReport, "&New...", "", "Create new report\nNew Report", View},
    {C::EditStyles, "Edit &Styles...", "", "Edit Report Styles\nEdit Report Styles", View},
    {C::TipOfTheDay, "Ti&p of the Day...", "", "Display the Tip of the Day.\nTip of the Day", Frame},
    {C::HelpContents, "&Contents\tF1", "F1", "Opens help\nHelp", Frame},
    {C::ObjectExplorer, "&Object Explorer...", "", "List the web item objects the program holds\nObject Explorer", Frame},
    {C::About, "&About ZORV...", "", "Display program information, version number and copyright\nAbout", Frame},
}};
// clang-format on

bool tableInOrder() {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (static_cast<std::size_t>(kTable[i].id) != i) return false;
    }
    return true;
}

// The rule of a command the main window or the application carries out.
bool frameRule(CommandId id, const CommandState& s) {
    switch (id) {
        case C::OpenUrl:
        case C::ImportHar:
            return !s.downloadRunning;
        case C::ExportHar:
            return !s.downloadRunning && !s.treeEmpty;
        case C::Stop:
            return s.downloadRunning && !s.stopRequested;
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
    return commandEntry(id).carrier == Carrier::Frame && frameRule(id, state);
}

}  // namespace app
