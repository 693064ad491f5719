// Walks what a screen reader is given of every view and every dialog of the real program, on
// the crawled demo site, and finds each control it would announce without a name: a button,
// check box, list, tree, field or custom-drawn control that takes the keyboard focus. Then walks
// them as a keyboard user does: Tab reaches every control, and each shows that it has the focus.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QDebug>
#include <QDialog>
#include <QPointer>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>
#include <QWizard>

#include <algorithm>
#include <functional>

#include "app/analysis/AnalysisRegistration.h"
#include "app/main/PagelystApp.h"
#include "app/reports/CReportContentDlg.h"
#include "app/reports/CReportFieldSetDlg.h"
#include "app/reports/CReportNewItemDlg.h"
#include "app/reports/CReportTableDlg.h"
#include "app/reports/CReportTextDlg.h"
#include "app/reports/CReportTitleDlg.h"
#include "app/reports/ReportsRegistration.h"
#include "app/settings/CFilterConditionDlg.h"
#include "app/shell/CApplication.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/MainView.h"
#include "app/sitetree/SiteTreeRegistration.h"
#include "app/statistics/StatisticsRegistration.h"
#include "app/widgets/WebEngineSetup.h"
#include "report/FieldItem.h"
#include "report/HtmlTextItem.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"
#include "tests/app/AppTestSupport.h"

using app::CommandId;

namespace {

// A name a screen reader can say: "–" or "..." says nothing.
bool sayable(const QString& name) {
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

bool announcedAsControl(const QAccessibleInterface& node) {
    switch (node.role()) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::List:
        case QAccessible::Tree:
        case QAccessible::Table:
        case QAccessible::SpinBox:
        case QAccessible::Slider:
        case QAccessible::PageTabList:
        case QAccessible::PageTab:
        case QAccessible::ButtonMenu:
        case QAccessible::ButtonDropDown:
            return true;
        case QAccessible::EditableText:
            return !node.state().readOnly || node.state().focusable;
        default:
            // Whatever else takes the focus is a control of its own drawing.
            return node.state().focusable;
    }
}

// A combo box's own field and drop-down list, and a spin box's field, are announced as part
// of the box, under its name.
bool partOfANamedBox(const QAccessibleInterface& node) {
    const QAccessibleInterface* parent = node.parent();
    return parent &&
           (parent->role() == QAccessible::ComboBox || parent->role() == QAccessible::SpinBox) &&
           sayable(parent->text(QAccessible::Name));
}

QString describe(const QAccessibleInterface& node) {
    QString where;
    for (const QAccessibleInterface* up = &node; up; up = up->parent()) {
        const QObject* object = up->object();
        const QString part =
            object ? QString::fromLatin1(object->metaObject()->className()) +
                         (object->objectName().isEmpty() ? QString() : "#" + object->objectName())
                   : QStringLiteral("?");
        where = where.isEmpty() ? part : part + " > " + where;
        if (object && object->isWidgetType() && static_cast<const QWidget*>(object)->isWindow())
            break;
    }
    return QString::number(node.role(), 16) + " " + where;
}

// Every shown control of `window` without a name, widget by widget: rows and cells are read
// out by their text, and a web view's page by its document, which the engine names itself.
bool inWebView(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        if (qobject_cast<const QWebEngineView*>(widget)) return true;
    return false;
}

QStringList unnamedIn(QWidget& window) {
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || inWebView(widget)) continue;
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
        if (node && announcedAsControl(*node) && !sayable(node->text(QAccessible::Name)) &&
            !partOfANamedBox(*node)) {
            unnamed << describe(*node) + " \"" + node->text(QAccessible::Name) + "\"";
        }
    }
    return unnamed;
}

QString nameOf(const QWidget* widget) {
    QString name = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty()) name += "#" + widget->objectName();
    const QAccessibleInterface* node =
        QAccessible::queryAccessibleInterface(const_cast<QWidget*>(widget));
    if (node) name += " \"" + node->text(QAccessible::Name) + "\"";
    return name;
}

// The controls of `window` a keyboard user stops at with Tab. A web view's page keeps its own
// focus inside the document, and is left out.
QList<QWidget*> tabStops(QWidget& window) {
    QList<QWidget*> stops;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isVisible() && widget->isEnabled() && !widget->focusProxy() &&
            (widget->focusPolicy() & Qt::TabFocus) && !inWebView(widget))
            stops << widget;
    }
    return stops;
}

void settleFocus() {
    QApplication::processEvents();
    QTest::qWait(30);
}

// Presses `key` in the focused control and waits for the focus to move: a web view hands Tab
// to its document, which gives the focus back to the window later.
bool focusMoves(QWidget* from, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    const QPointer<QWidget> was = from;
    QTest::keyClick(from, key, modifiers);
    return QTest::qWaitFor([&was] { return !was || QApplication::focusWidget() != was; }, 1000);
}

// What a keyboard user sees walking the window with Tab and then Shift+Tab from its first stop:
// the controls reached, and those that looked different while they had the focus than once it
// left them. A field that takes Tab as text is left with Ctrl+Tab, as Qt's fields allow.
struct TabWalk {
    QSet<QWidget*> reached;
    QSet<QWidget*> showedFocus;
};

TabWalk walkByTab(const QList<QWidget*>& stops) {
    TabWalk walk;
    stops.front()->setFocus(Qt::TabFocusReason);
    settleFocus();
    for (const Qt::KeyboardModifiers back : {Qt::NoModifier, Qt::ShiftModifier}) {
        const Qt::Key key = back ? Qt::Key_Backtab : Qt::Key_Tab;
        for (qsizetype step = 0; step < 2 * stops.size() + 2; ++step) {
            const QPointer<QWidget> now = QApplication::focusWidget();
            if (!now) break;
            walk.reached.insert(now);
            const QImage focused = now->grab().toImage();
            if (!focusMoves(now, key, back) && now)
                focusMoves(now, key, back | Qt::ControlModifier);
            if (now && QApplication::focusWidget() != now && now->grab().toImage() != focused)
                walk.showedFocus.insert(now);
        }
    }
    return walk;
}

// The buttons Tab treats as one stop with `button`: an exclusive group, or radio buttons that
// exclude each other. Tab stops at the checked one, and the arrow keys move among them.
QList<QAbstractButton*> buttonsSharingAStop(QAbstractButton* button) {
    if (const QButtonGroup* group = button->group()) {
        if (group->exclusive()) return group->buttons();
    } else if (button->autoExclusive() && button->parentWidget()) {
        return button->parentWidget()->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly);
    }
    return {button};
}

bool reachedOrInReachedGroup(QWidget* control, const QSet<QWidget*>& reached) {
    if (reached.contains(control)) return true;
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!button) return false;
    const QList<QAbstractButton*> members = buttonsSharingAStop(button);
    return std::any_of(members.begin(), members.end(),
                       [&](QAbstractButton* member) { return reached.contains(member); });
}

// The controls of the shown window that Tab does not reach, and those that give no sign of
// having the focus.
QStringList keyboardFaultsIn(QWidget& window) {
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window, 2000)) return {"the window is not active"};
    const QList<QWidget*> stops = tabStops(window);
    QStringList faults;
    if (stops.size() < 2) return faults;
    const TabWalk walk = walkByTab(stops);
    for (QWidget* control : stops) {
        if (!reachedOrInReachedGroup(control, walk.reached))
            faults << "not reached by Tab: " + nameOf(control);
        else if (walk.reached.contains(control) && !walk.showedFocus.contains(control))
            faults << "no visible focus: " + nameOf(control);
    }
    return faults;
}

// The unnamed controls and the keyboard's faults of the shown page.
QStringList faultsIn(QDialog& dialog) {
    return unnamedIn(dialog) + keyboardFaultsIn(dialog);
}

// Each page of a tabbed or wizard dialog in turn, since a hidden page is not announced.
QStringList faultsOnEveryPage(QDialog& dialog) {
    apptest::flushEvents();
    QStringList unnamed = faultsIn(dialog);
    for (auto* tabs : dialog.findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            apptest::flushEvents();
            unnamed << faultsIn(dialog);
        }
    }
    if (auto* wizard = qobject_cast<QWizard*>(&dialog)) {
        while (wizard->currentPage() && !wizard->currentPage()->isFinalPage() &&
               wizard->currentPage()->isComplete()) {
            const int before = wizard->currentId();
            wizard->next();
            apptest::flushEvents();
            if (wizard->currentId() == before) break;
            unnamed << faultsIn(dialog);
        }
    }
    unnamed.removeDuplicates();
    return unnamed;
}

// Each fault on a line of its own (a failure message is cut short).
bool noFaults(const QStringList& faults) {
    for (const QString& fault : faults) qWarning().noquote() << "fault:" << fault;
    return faults.isEmpty();
}

}  // namespace

class AccessibilityWalkTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        program_ = std::make_unique<app::PagelystApp>();
        QVERIFY(program_->application().start({"pagelyst", "--demo"}));
        window_ = program_->application().mainWindow();
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
        for (CommandId run : {CommandId::Analyze, CommandId::AnalyzeAll}) {
            apptest::RunWatcher watcher(context());
            window_->updateCommands();
            window_->runCommand(run);
            QVERIFY(watcher.waitForEnd());
        }
        const auto pages = context().tree().displayOrder();
        QVERIFY(!pages.empty());
        window_->mainView().setCurrentPage(pages.front()->page);
    }
    void cleanupTestCase() {
        for (app::CMainFrame* open : program_->application().windows()) open->close();
        apptest::flushEvents();
        program_.reset();
    }

    void everyViewNamesItsControls() {
        QVERIFY(window_->mainView().table().size() >= 6);
        QVERIFY(noFaults(inEveryView(unnamedIn)));
    }

    void everyViewIsWalkedByKeyboard() { QVERIFY(noFaults(inEveryView(keyboardFaultsIn))); }

    // Tab stops once on the selection bar; Down and Up move to the next view and back.
    void theSelectionBarMovesWithTheArrows() {
        app::MainView& main = window_->mainView();
        main.selectView(app::siteTreeKey());
        apptest::flushEvents();
        QAbstractButton* checked = nullptr;
        for (auto* button : window_->findChildren<QAbstractButton*>()) {
            if (button->group() && button->group()->checkedButton() == button) checked = button;
        }
        QVERIFY(checked);
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_));
        checked->setFocus(Qt::TabFocusReason);
        QTest::keyClick(checked, Qt::Key_Down);
        QTRY_VERIFY(main.activeView() != app::siteTreeKey());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QTRY_COMPARE(main.activeView(), app::siteTreeKey());
    }

    void everyDialogOfTheMenusNamesAndShowsItsControls_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<int>("command");
        const struct {
            const char* name;
            int view;
            CommandId command;
        } rows[] = {
            {"Open URL", app::siteTreeKey(), CommandId::OpenUrl},
            {"Settings", app::siteTreeKey(), CommandId::Settings},
            {"page details", app::siteTreeKey(), CommandId::ShowDetails},
            {"element details", app::analysisKey(), CommandId::ShowDetails},
            {"Find", app::analysisKey(), CommandId::Find},
            {"new statistic", app::statisticsKey(), CommandId::NewStatistics},
            {"new report", app::reportsKey(), CommandId::NewReport},
            {"style editor", app::reportsKey(), CommandId::EditStyles},
            {"Object Explorer", app::siteTreeKey(), CommandId::ObjectExplorer},
            {"Tip of the Day", app::siteTreeKey(), CommandId::TipOfTheDay},
            {"About", app::siteTreeKey(), CommandId::About},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << row.view << static_cast<int>(row.command);
    }
    void everyDialogOfTheMenusNamesAndShowsItsControls() {
        QFETCH(int, view);
        QFETCH(int, command);
        window_->mainView().selectView(view);
        apptest::flushEvents();
        if (view == app::analysisKey()) selectFirstElement();
        window_->updateCommands();
        const auto id = static_cast<CommandId>(command);
        QVERIFY2(window_->action(id)->isEnabled(), "the command is enabled");
        QStringList unnamed;
        QVERIFY(inspectDialogOpenedBy([&] { window_->runCommand(id); }, unnamed));
        QVERIFY(noFaults(unnamed));
    }

    // Dialogs opened from within other dialogs, made directly.
    void everyInnerDialogNamesAndShowsItsControls() {
        report::ReportManager& reports = context().reports();
        report::Report report = reports.reports().begin()->second.clone();
        const std::vector<std::pair<const char*, std::function<QDialog*()>>> dialogs = {
            {"condition", [] { return new app::CFilterConditionDlg(report::FilterCondition{}); }},
            {"new item", [] { return new app::CReportNewItemDlg; }},
            {"title", [] { return new app::CReportTitleDlg(report::TitleItem("Title", 1)); }},
            {"text", [] { return new app::CReportTextDlg(report::HtmlTextItem("<p>x</p>")); }},
            {"field set",
             [] {
                 return new app::CReportFieldSetDlg(
                     report::FieldItem("Pages", "SELECT COUNT(*) FROM Pages"));
             }},
            {"table",
             [&] {
                 return new app::CReportTableDlg(report::TableItem("SELECT URL FROM Pages"),
                                                 context().statistics());
             }},
            {"content",
             [&] {
                 return new app::CReportContentDlg(report, reports, context().statistics(),
                                                   [](QWidget*, std::int32_t) {});
             }},
        };
        QStringList unnamed;
        for (const auto& [name, make] : dialogs) {
            std::unique_ptr<QDialog> dialog(make());
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
            for (const QString& control : faultsOnEveryPage(*dialog))
                unnamed << QString(name) + ": " + control;
        }
        QVERIFY(noFaults(unnamed));
    }

private:
    app::AppContext& context() { return program_->application().context(); }

    // What `check` finds in the window with each view shown in turn, under the view's title.
    QStringList inEveryView(const std::function<QStringList(QWidget&)>& check) {
        app::MainView& main = window_->mainView();
        QStringList faults;
        for (const auto& entry : main.table()) {
            main.selectView(entry.key);
            apptest::flushEvents();
            if (main.activeView() != entry.key) faults << entry.title + ": not shown";
            for (const QString& fault : check(*window_)) faults << entry.title + ": " + fault;
        }
        faults.removeDuplicates();
        return faults;
    }

    void selectFirstElement() {
        const auto pages = context().tree().displayOrder();
        const auto& items = pages.front()->page->figures(0).items;
        if (items.size() > 1) window_->mainView().setSelectedElement(items[1].item);
        apptest::flushEvents();
    }

    // Runs `open` and walks the first dialog it shows, modal or not, then closes it.
    bool inspectDialogOpenedBy(const std::function<void()>& open, QStringList& unnamed) {
        QSet<QWidget*> before;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible()) before.insert(top);
        bool seen = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* dialog = qobject_cast<QDialog*>(top);
                if (!dialog || !dialog->isVisible() || before.contains(dialog) || seen) continue;
                seen = true;
                unnamed = faultsOnEveryPage(*dialog);
                dialog->reject();
                dialog->close();
            }
        });
        poll.start();
        open();
        const bool shown = QTest::qWaitFor([&] { return seen; }, 10000);
        poll.stop();
        apptest::flushEvents();
        return shown;
    }

    apptest::ProgramHome home_;
    apptest::Answers answers_;
    std::unique_ptr<app::PagelystApp> program_;
    app::CMainFrame* window_ = nullptr;
};

int main(int argc, char** argv) {
    app::prepareWebEngine();
    QApplication qt(argc, argv);
    AccessibilityWalkTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "AccessibilityWalkTest.moc"
