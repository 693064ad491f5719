// The command table and the enable rule of every command in each view and state.
#include <QTest>

#include <set>

#include "app/shell/Commands.h"

using app::CommandId;
using app::CommandState;
namespace view = app::view;

namespace {

using C = CommandId;

// The states the rules tell apart, each a small change from an idle Site Tree.
struct NamedState {
    const char* name;
    CommandState state;
};

CommandState with(void (*change)(CommandState&)) {
    CommandState state;
    change(state);
    return state;
}

const std::vector<NamedState>& states() {
    static const std::vector<NamedState> list = {
        {"empty tree", {}},
        {"tree with pages to load", with([](CommandState& s) {
             s.treeEmpty = false;
             s.treeHasPageToLoad = true;
             s.addressBarEmpty = false;
         })},
        {"one loaded page selected", with([](CommandState& s) {
             s.treeEmpty = false;
             s.selectionCount = 1;
             s.currentPage = s.currentPageLoaded = s.selectionHasContent = true;
         })},
        {"two pages selected, running", with([](CommandState& s) {
             s.treeEmpty = false;
             s.treeHasPageToLoad = true;
             s.selectionCount = 2;
             s.downloadRunning = true;
         })},
        {"one page selected, stop requested", with([](CommandState& s) {
             s.treeEmpty = false;
             s.selectionCount = 1;
             s.downloadRunning = s.stopRequested = true;
         })},
        {"statistics view, page and address", with([](CommandState& s) {
             s.activeView = view::kStatistics;
             s.treeEmpty = false;
             s.treeHasPageToLoad = true;
             s.addressBarEmpty = false;
             s.selectionCount = 1;
             s.currentPage = s.currentPageLoaded = true;
         })},
    };
    return list;
}

// Which states enable each command that depends on the state, by the names above.
struct Rule {
    CommandId id;
    std::set<std::string> enabledIn;
};

const std::vector<Rule>& rules() {
    static const std::vector<Rule> list = {
        {C::OpenUrl,
         {"empty tree", "tree with pages to load", "one loaded page selected",
          "statistics view, page and address"}},
        {C::Analyze, {"tree with pages to load"}},
        {C::Export, {"one loaded page selected", "statistics view, page and address"}},
        {C::AnalyzeAll, {"tree with pages to load"}},
        {C::AnalyzeSelected, {"one loaded page selected"}},
        {C::Stop, {"two pages selected, running"}},
        {C::OpenInBrowser,
         {"one loaded page selected", "one page selected, stop requested",
          "statistics view, page and address"}},
        {C::SaveElementAs, {"one loaded page selected"}},
        {C::RemoveSelected, {"one loaded page selected"}},
        {C::RemoveNotLoaded, {"tree with pages to load", "one loaded page selected"}},
        {C::RemoveAll, {"tree with pages to load", "one loaded page selected"}},
    };
    return list;
}

// Commands the program does not carry out yet: their view or dialog is still missing.
const std::set<CommandId> kNotBuilt = {
    C::Print,       C::SelectAll,         C::Find,         C::FindNext,
    C::WordWrap,    C::ViewPageAnalysis,  C::ViewAnalysis, C::ViewStatistics,
    C::ViewReports, C::AnalyzePageSource, C::ShowDetails,  C::NewStatistics,
    C::NewReport,   C::EditStyles,        C::TipOfTheDay,
};

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void tableHasEveryCommandWithTextAndPrompt() {
        for (std::size_t i = 0; i < app::kCommandCount; ++i) {
            const auto& entry = app::commandTable()[i];
            QCOMPARE(static_cast<std::size_t>(entry.id), i);
            // Only the address bar's focus key has neither menu entry nor prompt.
            if (entry.id == C::FocusAddressBar) continue;
            QVERIFY2(!QString::fromLatin1(entry.menuText).isEmpty(), entry.menuText);
            QVERIFY2(!app::toolTip(entry.id).isEmpty(), entry.menuText);
        }
    }

    void promptSplitsIntoStatusAndToolTip() {
        QCOMPARE(app::statusTip(C::AnalyzeAll), QStringLiteral("Analyze all page(s)"));
        QCOMPARE(app::toolTip(C::AnalyzeAll), QStringLiteral("Analyze All Page(s)"));
        QCOMPARE(app::commandKeys(C::Copy).size(), 2);
        QVERIFY(app::commandKeys(C::Stop).isEmpty());
    }

    void enableRules_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("enabled");
        for (const Rule& rule : rules()) {
            for (std::size_t s = 0; s < states().size(); ++s) {
                const std::string name = states()[s].name;
                QTest::addRow("%s / %s", app::commandEntry(rule.id).menuText, name.c_str())
                    << static_cast<int>(rule.id) << static_cast<int>(s)
                    << (rule.enabledIn.count(name) > 0);
            }
        }
    }
    void enableRules() {
        QFETCH(int, command);
        QFETCH(int, state);
        QFETCH(bool, enabled);
        QCOMPARE(app::commandEnabled(static_cast<CommandId>(command),
                                     states()[static_cast<std::size_t>(state)].state),
                 enabled);
    }

    // Every other command is enabled in every state when it is built, and never when not.
    void alwaysAndNeverEnabled() {
        std::set<CommandId> ruled;
        for (const Rule& rule : rules()) ruled.insert(rule.id);
        for (const auto& entry : app::commandTable()) {
            if (ruled.count(entry.id)) continue;
            const bool built = kNotBuilt.count(entry.id) == 0;
            QCOMPARE(entry.built, built);
            for (const NamedState& named : states()) {
                QVERIFY2(app::commandEnabled(entry.id, named.state) == built,
                         qPrintable(QStringLiteral("%1 in %2").arg(entry.menuText, named.name)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(CommandsTest)
#include "CommandsTest.moc"
