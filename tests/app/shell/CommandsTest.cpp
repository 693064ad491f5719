// The command table, who carries out each command and the window's own enable rules in each state.
#include <QTest>

#include <set>

#include "app/shell/Commands.h"
#include "tests/app/CommandStates.h"

using app::CommandId;

namespace {

using C = CommandId;

// The rules of the commands the window carries out that depend on the state.
const std::vector<apptest::Rule>& rules() {
    static const std::vector<apptest::Rule> list = {
        {C::OpenUrl,
         {"empty tree", "tree with pages to load", "one loaded page selected",
          "one loaded page selected, source and details answered"}},
        {C::ImportHar,
         {"empty tree", "tree with pages to load", "one loaded page selected",
          "one loaded page selected, source and details answered"}},
        {C::ExportHar,
         {"tree with pages to load", "one loaded page selected",
          "one loaded page selected, source and details answered"}},
        {C::Stop, {"two pages selected, running"}},
    };
    return list;
}

// Commands whose dialog is still missing.
const std::set<CommandId> kMissing = {};

// The views' commands: the window's own rules never enable them.
const std::set<CommandId> kViewCommands = {
    C::Analyze,           C::Export,         C::Print,
    C::ExportPdf,         C::SelectAll,      C::Find,
    C::FindNext,          C::WordWrap,       C::ViewSiteTree,
    C::ViewPageAnalysis,  C::ViewAnalysis,   C::ViewStatistics,
    C::ViewReports,       C::AnalyzeAll,     C::AnalyzeSelected,
    C::AnalyzePageSource, C::ShowDetails,    C::OpenInBrowser,
    C::SaveElementAs,     C::RemoveSelected, C::RemoveNotLoaded,
    C::RemoveAll,         C::NewStatistics,  C::NewReport,
    C::EditStyles,        C::ViewWaterfall,
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

    void enableRules_data() { apptest::addRuleRows(rules()); }
    void enableRules() {
        QFETCH(int, command);
        QFETCH(int, state);
        QFETCH(bool, enabled);
        QCOMPARE(
            app::commandEnabled(static_cast<CommandId>(command),
                                apptest::commandStates()[static_cast<std::size_t>(state)].state),
            enabled);
    }

    // Every other command of the window is enabled in every state; a view's command and a
    // missing one never are by the window's rules.
    void alwaysAndNeverEnabled() {
        std::set<CommandId> ruled;
        for (const apptest::Rule& rule : rules()) ruled.insert(rule.id);
        for (const auto& entry : app::commandTable()) {
            if (ruled.count(entry.id)) continue;
            const app::Carrier carrier = kViewCommands.count(entry.id) ? app::Carrier::View
                                         : kMissing.count(entry.id)    ? app::Carrier::Missing
                                                                       : app::Carrier::Frame;
            QCOMPARE(entry.carrier, carrier);
            for (const apptest::NamedState& named : apptest::commandStates()) {
                QVERIFY2(
                    app::commandEnabled(entry.id, named.state) == (carrier == app::Carrier::Frame),
                    qPrintable(QStringLiteral("%1 in %2").arg(entry.menuText, named.name)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(CommandsTest)
#include "CommandsTest.moc"
