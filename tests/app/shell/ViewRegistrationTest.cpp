// A view defined here alone joins the real program through one registration: the selection
// bar lists it, its menu shows while it is active, its own rule enables its command, it hears
// every notification of a real run, and a move another view asks for reaches it.
#include <QAbstractButton>
#include <QMenuBar>
#include <QTest>

#include "app/shell/CApplication.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/MainView.h"
#include "app/shell/ViewHost.h"
#include "app/sitetree/SiteTreeRegistration.h"
#include "app/widgets/CChoiceBar.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/TestServer.h"

using app::CommandId;

namespace {

constexpr int kProbeKey = 42;

// Records what the window tells it; its one command (Find) is enabled while `ready` is set.
class ProbeView : public QWidget, public app::AppView {
public:
    QWidget* widget() override { return this; }
    void fillCommandState(app::CommandState& state) const override {
        state.selectionCount = ready ? 1 : 0;
    }
    bool runCommand(CommandId id) override {
        if (id != CommandId::Find) return false;
        ++finds;
        return true;
    }
    void engineMessage(const engine::EngineMessage& message) override {
        heard.push_back(message.id);
    }
    void answerMove(app::ViewMove move, const app::ViewTarget& target) override {
        if (move == app::ViewMove::ShowSource) sourceOf = target.page;
    }

    bool ready = false;
    int finds = 0;
    std::vector<engine::MessageId> heard;
    std::shared_ptr<engine::PageEntry> sourceOf;
};

ProbeView* made = nullptr;

app::ViewRegistration probeView() {
    app::ViewRegistration view;
    view.key = kProbeKey;
    view.showCommand = CommandId::ViewStatistics;
    view.shortName = QStringLiteral("Probe");
    view.title = QStringLiteral("Probe Title");
    view.description = QStringLiteral("A view of the test.");
    view.menuTitle = QStringLiteral("&Probe");
    view.menu = {CommandId::Find, app::kSeparator, CommandId::Stop};
    view.commands = {
        {CommandId::Find, [](const app::CommandState& s) { return s.selectionCount > 0; }}};
    view.moves = {app::ViewMove::ShowSource};
    view.make = [](app::ViewHost&, app::AppContext&) -> std::unique_ptr<app::AppView> {
        auto probe = std::make_unique<ProbeView>();
        made = probe.get();
        return probe;
    };
    return view;
}

// Every notification the program's context delivers, in order.
class Heard : private app::AppContext::Listener {
public:
    explicit Heard(app::AppContext& context) : context_(context) { context_.addListener(this); }
    ~Heard() override { context_.removeListener(this); }
    std::vector<engine::MessageId> ids;

private:
    void engineMessage(const engine::EngineMessage& message) override { ids.push_back(message.id); }
    app::AppContext& context_;
};

QStringList menuTitles(app::CMainFrame& window) {
    QStringList titles;
    for (QAction* menu : window.menuBar()->actions()) titles << menu->text();
    return titles;
}

}  // namespace

class ViewRegistrationTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        apptest::renewHome(home_);
        // The Site Tree and the probe alone: the probe is the one view that shows sources.
        program_ =
            std::make_unique<app::CApplication>(app::ViewTable{app::siteTreeView(), probeView()});
        QVERIFY(program_->start({QStringLiteral("pagelyst")}));
        QVERIFY(made);
    }
    void cleanup() {
        window().close();
        program_.reset();
        made = nullptr;
        home_.reset();
    }

    void listedInTheSelectionBarWithItsTitle() {
        app::CChoiceBar& bar = window().mainView().selectionBar();
        QCOMPARE(bar.title(kProbeKey), QStringLiteral("Probe Title"));
        QStringList buttons;
        for (auto* button : bar.findChildren<QAbstractButton*>()) buttons << button->text();
        QVERIFY(buttons.contains(QStringLiteral("Probe")));
        QVERIFY(bar.view(kProbeKey) == made);
    }

    // Its show command is built and checked while it is active; its menu replaces the Site
    // Tree's between View and Help.
    void showsItsMenuWhileActive() {
        QVERIFY(!menuTitles(window()).contains(QStringLiteral("&Probe")));
        window().updateCommands();
        QVERIFY(window().action(CommandId::ViewStatistics)->isEnabled());
        window().runCommand(CommandId::ViewStatistics);
        QCOMPARE(window().mainView().activeView(), kProbeKey);
        window().updateCommands();
        QVERIFY(window().action(CommandId::ViewStatistics)->isChecked());
        const QStringList titles = menuTitles(window());
        QCOMPARE(titles.indexOf(QStringLiteral("&Probe")),
                 titles.indexOf(QStringLiteral("&Help")) - 1);
        QVERIFY(!titles.contains(QStringLiteral("&Actions")));
        QMenu* menu = window().menuBar()->actions()[titles.indexOf("&Probe")]->menu();
        QCOMPARE(menu->actions().size(), 3);
        QVERIFY(menu->actions()[1]->isSeparator());
    }

    // Its rule decides its command only while it is active; elsewhere the command is off.
    void itsOwnRuleEnablesItsCommand() {
        made->ready = true;
        window().updateCommands();
        QVERIFY(!window().action(CommandId::Find)->isEnabled());  // the Site Tree is active
        window().runCommand(CommandId::ViewStatistics);
        window().updateCommands();
        QVERIFY(window().action(CommandId::Find)->isEnabled());
        window().runCommand(CommandId::Find);
        QCOMPARE(made->finds, 1);
        made->ready = false;
        window().updateCommands();
        QVERIFY(!window().action(CommandId::Find)->isEnabled());
        window().runCommand(CommandId::Find);
        QCOMPARE(made->finds, 1);
    }

    // It hears every notification of a run, in order, although the Site Tree is active; and
    // the Site Tree's Analyze Page Source reaches it with the loaded page.
    void hearsEveryNotificationAndAnswersShowSource() {
        support::TestServer server;
        Heard all(context());
        apptest::RunWatcher run(context());
        window().setAddressBarText(QString::fromStdString(server.url("/content?body=x")));
        window().runCommand(CommandId::Analyze);
        QVERIFY(run.waitForEnd());
        QVERIFY(all.ids.size() >= 4);
        QCOMPARE(made->heard, all.ids);

        window().updateCommands();
        QVERIFY(window().action(CommandId::AnalyzePageSource)->isEnabled());
        window().runCommand(CommandId::AnalyzePageSource);
        QVERIFY(made->sourceOf);
        QCOMPARE(made->sourceOf, window().mainView().currentPage());
    }

private:
    app::CMainFrame& window() { return *program_->mainWindow(); }
    app::AppContext& context() { return program_->context(); }

    std::unique_ptr<apptest::ProgramHome> home_;
    std::unique_ptr<app::CApplication> program_;
};

QTEST_MAIN(ViewRegistrationTest)
#include "ViewRegistrationTest.moc"
