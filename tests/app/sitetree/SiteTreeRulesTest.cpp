// The Site Tree view's registration: its row of the view table, its menu and the enable rule of
// each of its commands in each state.
#include <QTest>

#include "app/sitetree/SiteTreeRegistration.h"
#include "tests/app/CommandStates.h"

using app::CommandId;
using C = CommandId;

namespace {

const std::set<std::string> kLoadedSelected = {
    "one loaded page selected", "one loaded page selected, source and details answered"};

const std::vector<apptest::Rule>& rules() {
    static const std::vector<apptest::Rule> list = {
        {C::Analyze, {"tree with pages to load"}},
        {C::Export, kLoadedSelected},
        {C::AnalyzeAll, {"tree with pages to load"}},
        {C::AnalyzeSelected, kLoadedSelected},
        {C::AnalyzePageSource, {"one loaded page selected, source and details answered"}},
        {C::ShowDetails, {"one loaded page selected, source and details answered"}},
        {C::OpenInBrowser,
         {"one loaded page selected", "one loaded page selected, source and details answered",
          "one page selected, stop requested"}},
        {C::SaveElementAs, kLoadedSelected},
        {C::RemoveSelected, kLoadedSelected},
        {C::RemoveNotLoaded,
         {"tree with pages to load", "one loaded page selected",
          "one loaded page selected, source and details answered"}},
        {C::RemoveAll,
         {"tree with pages to load", "one loaded page selected",
          "one loaded page selected, source and details answered"}},
    };
    return list;
}

}  // namespace

class SiteTreeRulesTest : public QObject {
    Q_OBJECT

private slots:
    void rowOfTheViewTable() {
        const app::ViewRegistration view = app::siteTreeView();
        QCOMPARE(view.key, 0);
        QCOMPARE(view.showCommand, C::ViewSiteTree);
        QCOMPARE(view.title, QStringLiteral("Web Site Tree"));
        QVERIFY(view.listed && view.pane && view.make);
        QCOMPARE(view.menuTitle, QStringLiteral("&Actions"));
        QCOMPARE(view.menu.front(), app::MenuItem(C::AnalyzePageSource));
        QCOMPARE(view.menu[1], app::kSeparator);
        QVERIFY(view.moves.empty());
        // Every command of the menu but Stop (the window's) is the view's own.
        for (const app::MenuItem& item : view.menu) {
            if (item && *item != C::Stop)
                QVERIFY2(view.command(*item), app::commandEntry(*item).menuText);
        }
        QCOMPARE(view.commands.size(), rules().size());
    }

    void enableRules_data() { apptest::addRuleRows(rules()); }
    void enableRules() {
        QFETCH(int, command);
        QFETCH(int, state);
        QFETCH(bool, enabled);
        static const app::ViewRegistration view = app::siteTreeView();
        const app::ViewCommand* rule = view.command(static_cast<CommandId>(command));
        QVERIFY(rule);
        QCOMPARE(rule->enabled(apptest::commandStates()[static_cast<std::size_t>(state)].state),
                 enabled);
    }
};

QTEST_GUILESS_MAIN(SiteTreeRulesTest)
#include "SiteTreeRulesTest.moc"
