// The Site Tree view in the real window: its commands through the window (Auto, Analyze
// Selected, the removals and their answers, a typed address that is no address), the details
// pane following the selection and the connection, and the current page forgotten with the
// pages it belonged to.
#include <QComboBox>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include "app/shell/ScenarioCommands.h"
#include "app/widgets/CChoiceBar.h"
#include "app/widgets/CMyListCtrl.h"
#include "app/widgets/HintManager.h"
#include "app/widgets/PropertyListModel.h"
#include "engine/crawl/SiteTree.h"
#include "engine/crawl/SiteTreeQuestions.h"
#include "report/SiteColumns.h"
#include "tests/app/ProgramFixture.h"
#include "tests/app/SmallSite.h"

using app::CommandId;

namespace {

int columnOf(std::uint32_t id) {
    for (int column = 0;; ++column) {
        if (app::SiteTreeModel::columnId(column) == id) return column;
    }
}

}  // namespace

class SiteTreeWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        apptest::renewHome(home_);
        server_ = std::make_unique<support::TestServer>();
        apptest::serveSmallSite(*server_);
        program_ = std::make_unique<apptest::Program>();
        QVERIFY(program_->started);
    }
    void cleanup() {
        program_.reset();
        server_.reset();
        home_.reset();
    }

    // With Auto on, Analyze All crawls every level; off, it loads the marked pages only.
    void autoDecidesWhetherAnalyzeAllCrawls_data() {
        QTest::addColumn<bool>("autoOn");
        QTest::newRow("auto on") << true;
        QTest::newRow("auto off") << false;
    }
    void autoDecidesWhetherAnalyzeAllCrawls() {
        QFETCH(bool, autoOn);
        QVERIFY(program_->window().action(CommandId::Auto)->isChecked());
        if (!autoOn) program_->window().runCommand(CommandId::Auto);
        program_->window().updateCommands();
        QCOMPARE(program_->window().action(CommandId::Auto)->isChecked(), autoOn);
        QVERIFY(program_->analyze(address("/")));
        QVERIFY(program_->run({}, CommandId::AnalyzeAll));
        QCOMPARE(state("/b.html"), engine::PageState::Finished);
        QCOMPARE(state("/c.html"), autoOn ? engine::PageState::Finished : engine::PageState::Ready);
    }

    void analyzeSelectedLoadsTheSelectionOnly() {
        program_->window().runCommand(CommandId::Auto);
        QVERIFY(program_->analyze(address("/")));
        siteTree().selectNode(node("/b.html"));
        QVERIFY(program_->run({}, CommandId::AnalyzeSelected));
        QCOMPARE(state("/b.html"), engine::PageState::Finished);
        QCOMPARE(state("/a.html"), engine::PageState::Ready);
    }

    // No and Cancel keep every page; Remove Not Loaded asks nothing and takes the pages that
    // were never loaded.
    void removalsAskAndKeepThePagesUnlessYes_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("answer");
        for (const auto command : {CommandId::RemoveSelected, CommandId::RemoveAll}) {
            for (const auto answer : {QMessageBox::No, QMessageBox::Cancel}) {
                QTest::addRow("%s %s", app::commandEntry(command).menuText,
                              answer == QMessageBox::No ? "no" : "cancel")
                    << static_cast<int>(command) << static_cast<int>(answer);
            }
        }
    }
    void removalsAskAndKeepThePagesUnlessYes() {
        QFETCH(int, command);
        QFETCH(int, answer);
        program_->window().runCommand(CommandId::Auto);
        QVERIFY(program_->analyze(address("/")));
        siteTree().selectNode(node("/a.html"));
        apptest::Answers answers({static_cast<QMessageBox::StandardButton>(answer)});
        program_->window().updateCommands();
        program_->window().runCommand(static_cast<CommandId>(command));
        QCOMPARE(answers.asked.size(), 1);
        QCOMPARE(program_->context().tree().pageCount(), std::size_t{3});
    }
    void removeNotLoadedTakesTheUnloadedPages() {
        program_->window().runCommand(CommandId::Auto);
        QVERIFY(program_->analyze(address("/")));
        apptest::Answers answers;
        program_->window().runCommand(CommandId::RemoveNotLoaded);
        QVERIFY(answers.asked.isEmpty());
        QCOMPARE(program_->context().tree().pageCount(), std::size_t{1});
    }

    void aTypedTextThatIsNoAddressIsRefusedInWords() {
        apptest::Answers answers;
        program_->window().setAddressBarText(QStringLiteral("http://"));
        program_->window().updateCommands();
        program_->window().runCommand(CommandId::Analyze);
        QCOMPARE(answers.asked,
                 QStringList{"\"http://\" is not a web address that can be analysed."});
        QVERIFY(program_->context().tree().empty());
    }

    // Selecting a row shows its page; another connection restates the Time column and the
    // details' load figures; the captions keep spanning the list through every refresh.
    void detailsFollowTheSelectionAndTheConnection() {
        program_->window().runCommand(CommandId::Auto);
        QVERIFY(program_->analyze(address("/")));
        QVERIFY(program_->run({}, CommandId::AnalyzeAll));
        siteTree().selectNode(node("/b.html"));
        QCOMPARE(program_->mainView().currentPage(), node("/b.html")->page);
        QCOMPARE(detailsValue("Title"), QStringLiteral("Page B"));
        QVERIFY(captionsSpan());

        const int time = columnOf(report::kColumnTime);
        const QModelIndex b = siteTree().model()->indexOf(node("/b.html"), time);
        program_->mainView().setConnection(10);
        QCOMPARE(b.data().toString(), QString::fromStdString(report::cellText(
                                          *node("/b.html")->page, report::kColumnTime, 10)));
        QVERIFY(detailsRows().contains(QStringLiteral("Load Info (14.4K):")));
        QVERIFY(captionsSpan());

        emit program_->context().conditionsChanged();
        QVERIFY(captionsSpan());
        QVERIFY(program_->run({}, CommandId::AnalyzeSelected));  // a refresh while loading
        QVERIFY(captionsSpan());
    }

    // The selector's prompt names the connection chosen.
    void connectionPromptFollowsTheChoice() {
        auto* selector = program_->mainView().selectionBar().findChild<QComboBox*>();
        QVERIFY(selector);
        program_->mainView().setConnection(7);
        QCOMPARE(selector->toolTip(), QString::fromStdString(report::connectionSelectorText(7)));
        QVERIFY(selector->toolTip().contains(QStringLiteral("56K")));
    }

    // Remove All and a scenario opened take the current page with them: the details show no
    // page, another connection does not bring it back and the next run's end raises no hint
    // about it.
    void theCurrentPageGoesWithItsTree_data() {
        QTest::addColumn<bool>("openScenario");
        QTest::newRow("remove all") << false;
        QTest::newRow("open a scenario") << true;
    }
    void theCurrentPageGoesWithItsTree() {
        QFETCH(bool, openScenario);
        const QString file = home_->file(QStringLiteral("other.wsa"));
        QVERIFY(app::ScenarioCommands::saveTo(&program_->window(), program_->context(), file));
        program_->window().runCommand(CommandId::Auto);
        QVERIFY(program_->analyze(address("/")));
        QVERIFY(program_->mainView().currentPage());
        apptest::Answers yes;
        if (openScenario) {
            QVERIFY(app::ScenarioCommands::load(&program_->window(), program_->context(), file));
        } else {
            program_->window().runCommand(CommandId::RemoveAll);
        }
        QVERIFY(!program_->mainView().currentPage());
        QVERIFY(!siteTree().details()->page());
        program_->mainView().setConnection(3);
        QVERIFY(!siteTree().details()->page());
        QVERIFY(!siteTree().detailsList()->isVisibleTo(&siteTree()));
        app::HintManager& hints = program_->application().hints();
        program_->context().adapter().post(engine::EngineMessage::workState(true));
        program_->context().adapter().deliver();
        QCOMPARE(hints.shownHint(), 0);
    }

    // Delete removes site tree pages only while the focus is in the tree's list.
    void deleteActsOnlyInTheTree() {
        program_->window().runCommand(CommandId::Auto);
        QVERIFY(program_->analyze(address("/")));
        program_->window().show();
        program_->window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&program_->window()));
        apptest::Answers answers({QMessageBox::No, QMessageBox::No});
        siteTree().detailsList()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QVERIFY(answers.asked.isEmpty());
        siteTree().treeView()->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        QCOMPARE(answers.asked, QStringList{QString::fromLatin1(
                                    engine::SiteTreeQuestions::kDeleteSelected.data(),
                                    engine::SiteTreeQuestions::kDeleteSelected.size())});
    }

private:
    app::CSiteTreeDlg& siteTree() { return program_->siteTree(); }
    QString address(const char* path) const { return QString::fromStdString(server_->url(path)); }
    engine::SiteNode* node(const char* path) const {
        return program_->context().tree().findAddress(server_->url(path));
    }
    engine::PageState state(const char* path) const {
        engine::SiteNode* found = node(path);
        return found ? found->page->state() : engine::PageState::Error;
    }

    QStringList detailsRows() {
        QStringList rows;
        const auto& details = *siteTree().details();
        for (int row = 0; row < details.rowCount(); ++row)
            rows << details.index(row, 0).data().toString();
        return rows;
    }
    QString detailsValue(const QString& property) {
        const auto& details = *siteTree().details();
        for (int row = 0; row < details.rowCount(); ++row) {
            if (details.index(row, 0).data().toString() == property)
                return details.index(row, 1).data().toString();
        }
        return {};
    }
    // Every group caption spans both columns, every other row does not.
    bool captionsSpan() {
        const auto& details = *siteTree().details();
        if (details.rowCount() == 0) return false;
        for (int row = 0; row < details.rowCount(); ++row) {
            const bool group = details.rows()[static_cast<std::size_t>(row)].group;
            if (siteTree().detailsList()->isFirstColumnSpanned(row, {}) != group) return false;
        }
        return true;
    }

    std::unique_ptr<apptest::ProgramHome> home_;
    std::unique_ptr<support::TestServer> server_;
    std::unique_ptr<apptest::Program> program_;
};

QTEST_MAIN(SiteTreeWindowTest)
#include "SiteTreeWindowTest.moc"
