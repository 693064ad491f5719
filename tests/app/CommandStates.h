#pragma once
// The states the enable rules tell apart, each a small change from an idle window with an
// empty site tree; the suites of the window's rules and of each view's rules share them.

#include <QTest>

#include <set>
#include <string>
#include <vector>

#include "app/shell/Commands.h"

namespace apptest {

struct NamedState {
    const char* name;
    app::CommandState state;
};

inline app::CommandState stateWith(void (*change)(app::CommandState&)) {
    app::CommandState state;
    change(state);
    return state;
}

inline const std::vector<NamedState>& commandStates() {
    using S = app::CommandState;
    static const std::vector<NamedState> list = {
        {"empty tree", {}},
        {"tree with pages to load", stateWith([](S& s) {
             s.treeEmpty = false;
             s.treeHasPageToLoad = true;
             s.addressBarEmpty = false;
         })},
        {"one loaded page selected", stateWith([](S& s) {
             s.treeEmpty = false;
             s.selectionCount = 1;
             s.currentPage = s.currentPageLoaded = s.selectionHasContent = true;
         })},
        {"one loaded page selected, source and details answered", stateWith([](S& s) {
             s.treeEmpty = false;
             s.selectionCount = 1;
             s.currentPage = s.currentPageLoaded = s.selectionHasContent = true;
             s.moveAnswered.fill(true);
         })},
        {"two pages selected, running", stateWith([](S& s) {
             s.treeEmpty = false;
             s.treeHasPageToLoad = true;
             s.selectionCount = 2;
             s.downloadRunning = true;
         })},
        {"one page selected, stop requested", stateWith([](S& s) {
             s.treeEmpty = false;
             s.selectionCount = 1;
             s.downloadRunning = s.stopRequested = true;
         })},
    };
    return list;
}

// Which of the states above enable a command.
struct Rule {
    app::CommandId id;
    std::set<std::string> enabledIn;
};

// The data of a rules test: a row per command and state, with the state's index and whether
// the command is enabled there ("command", "state", "enabled").
inline void addRuleRows(const std::vector<Rule>& rules) {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("enabled");
    for (const Rule& rule : rules) {
        for (std::size_t s = 0; s < commandStates().size(); ++s) {
            const std::string name = commandStates()[s].name;
            QTest::addRow("%s / %s", app::commandEntry(rule.id).menuText, name.c_str())
                << static_cast<int>(rule.id) << static_cast<int>(s)
                << (rule.enabledIn.count(name) > 0);
        }
    }
}

}  // namespace apptest
