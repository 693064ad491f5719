// The Page Status view's registration: its row of the view table, its menu and the enable rule
// of each of its commands in the states that tell its rules apart.
#include <QTest>

#include <set>
#include <string>
#include <vector>

#include "app/pagestatus/StatusRegistration.h"
#include "engine/base/LoadPhase.h"

using app::CommandId;
using C = CommandId;
using S = app::CommandState;

namespace {

struct NamedState {
    const char* name;
    S state;
};

S with(void (*change)(S&)) {
    S state;
    change(state);
    return state;
}

void selected(S& s, engine::LoadPhase phase, bool content) {
    s.currentPage = true;
    s.selectionCount = 1;
    s.selectedPhase = static_cast<int>(phase);
    s.selectionHasContent = content;
    s.moveAnswered.fill(true);
}

const std::vector<NamedState>& states() {
    using P = engine::LoadPhase;
    static const std::vector<NamedState> list = {
        {"idle, nothing typed", {}},
        {"address typed", with([](S& s) { s.addressBarEmpty = false; })},
        {"address typed, running", with([](S& s) {
             s.addressBarEmpty = false;
             s.downloadRunning = true;
         })},
        {"completed element", with([](S& s) { selected(s, P::Completed, true); })},
        {"completed element, no move answered", with([](S& s) {
             selected(s, P::Completed, true);
             s.moveAnswered.fill(false);
         })},
        {"failed element", with([](S& s) { selected(s, P::Error, true); })},
        {"receiving element", with([](S& s) { selected(s, P::Receiving, true); })},
        {"skipped element", with([](S& s) { selected(s, P::Skipped, false); })},
        {"completed element, running", with([](S& s) {
             selected(s, P::Completed, true);
             s.downloadRunning = true;
         })},
        {"completed empty element", with([](S& s) { selected(s, P::Completed, false); })},
    };
    return list;
}

const std::set<std::string> kAnySelected = {
    "completed element",      "completed element, no move answered",
    "failed element",         "receiving element",
    "skipped element",        "completed element, running",
    "completed empty element"};

struct Rule {
    CommandId id;
    std::set<std::string> enabledIn;
};

const std::vector<Rule>& rules() {
    static const std::vector<Rule> list = {
        {C::Analyze, {"address typed"}},
        {C::AnalyzeAll, {"address typed"}},
        {C::AnalyzeSelected,
         {"completed element", "completed element, no move answered", "failed element",
          "receiving element", "skipped element", "completed empty element"}},
        {C::AnalyzePageSource, {"completed element", "failed element", "completed empty element"}},
        {C::ShowDetails,
         {"completed element", "failed element", "receiving element", "skipped element",
          "completed element, running", "completed empty element"}},
        {C::OpenInBrowser, kAnySelected},
        {C::SaveElementAs,
         {"completed element", "completed element, no move answered",
          "completed element, running"}},
        {C::Export,
         {"completed element", "completed element, no move answered",
          "completed element, running"}},
    };
    return list;
}

}  // namespace

class StatusRulesTest : public QObject {
    Q_OBJECT

private slots:
    void rowOfTheViewTable() {
        const app::ViewRegistration view = app::statusView();
        QCOMPARE(view.key, 10);
        QCOMPARE(view.showCommand, C::ViewPageAnalysis);
        QCOMPARE(view.title, QStringLiteral("Web Item Status"));
        QVERIFY(view.listed && view.make);
        QVERIFY(view.moves.empty());
        QCOMPARE(view.commands.size(), rules().size());
    }

    // "&Actions" with the entries the Page Status view names its own way.
    void menuEntries() {
        const app::ViewRegistration view = app::statusView();
        QCOMPARE(view.menuTitle, QStringLiteral("&Actions"));
        const auto textOf = [&view](const app::MenuItem& item) -> QString {
            if (!item) return QStringLiteral("-");
            for (const auto& [id, text] : view.menuTexts) {
                if (id == *item) return text;
            }
            return QString::fromLatin1(app::commandEntry(*item).menuText);
        };
        QStringList texts;
        for (const app::MenuItem& item : view.menu) texts << textOf(item);
        QCOMPARE(texts, (QStringList{"Analy&ze", "Reloa&d Selected", "St&op", "-", "&Go to Source",
                                     "&Show Details...", "Open in Bro&wser", "S&ave As..."}));
        // Every entry but Stop (the window's) is the view's own.
        for (const app::MenuItem& item : view.menu) {
            if (item && *item != C::Stop) QVERIFY(view.command(*item));
        }
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
        const app::ViewRegistration view = app::statusView();
        const app::ViewCommand* rule = view.command(static_cast<CommandId>(command));
        QVERIFY(rule);
        QCOMPARE(rule->enabled(states()[static_cast<std::size_t>(state)].state), enabled);
    }
};

QTEST_GUILESS_MAIN(StatusRulesTest)
#include "StatusRulesTest.moc"
