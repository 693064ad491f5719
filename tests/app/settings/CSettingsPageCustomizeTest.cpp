#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>

#include "app/settings/CSettingsPageCustomize.h"
#include "app/settings/CSettingsSheet.h"
#include "app/widgets/CMyListCtrl.h"
#include "tests/app/AppTestSupport.h"

using app::CMyListCtrl;
using app::CSettingsPageCustomize;

namespace {

// A list of four columns, the last hidden at first.
struct TestList {
    explicit TestList(const QString& title, const std::string& section) : list(section) {
        list.setTitle(title);
        list.addColumn(0, title + " A", 40, 10);
        list.addColumn(1, title + " B", 30, 10);
        list.addColumn(2, title + " C", 30, 10);
        list.addColumn(3, title + " D", 20, 10, false);
        list.setModel(&model);
    }
    QStandardItemModel model{1, 4};
    CMyListCtrl list;
};

void selectRows(QListWidget* widget, std::initializer_list<int> rows) {
    widget->clearSelection();
    for (const int row : rows) {
        widget->setCurrentRow(row, QItemSelectionModel::Select);
    }
}

}  // namespace

class CSettingsPageCustomizeTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        apptest::renewHome(home_);
        site_ = std::make_unique<TestList>("Site Tree", "ListA");
        analysis_ = std::make_unique<TestList>("Analysis", "ListB");
    }
    void cleanup() { home_.reset(); }

    void listsByNameWithTheAskingOnePreselected() {
        CSettingsPageCustomize page({&site_->list, &analysis_->list});
        QCOMPARE(page.listBox()->count(), 2);
        QCOMPARE(page.listBox()->itemText(0), QString("Site Tree"));
        page.selectList(&analysis_->list);
        QCOMPARE(page.selectedList(), 1);
        QCOMPARE(page.visibleColumns(), (std::vector<int>{0, 1, 2}));
        QCOMPARE(page.hiddenColumns(), (std::vector<int>{3}));
        QCOMPARE(page.visibleList()->item(0)->text(), QString("Analysis A"));
    }

    void buttonRules() {
        CSettingsPageCustomize page({&site_->list});
        QVERIFY(!page.showButton()->isEnabled());
        QVERIFY(!page.hideButton()->isEnabled());
        QVERIFY(!page.upButton()->isEnabled());
        QVERIFY(!page.downButton()->isEnabled());
        selectRows(page.hiddenList(), {0});
        QVERIFY(page.showButton()->isEnabled());
        selectRows(page.visibleList(), {0});
        QVERIFY(page.hideButton()->isEnabled());
        QVERIFY(!page.upButton()->isEnabled());
        QVERIFY(page.downButton()->isEnabled());
        selectRows(page.visibleList(), {2});
        QVERIFY(page.upButton()->isEnabled());
        QVERIFY(!page.downButton()->isEnabled());
    }

    void showMovesEverySelectedHiddenColumn() {
        site_->list.applyVisibleOrder({0});
        CSettingsPageCustomize page({&site_->list});
        QCOMPARE(page.hiddenColumns(), (std::vector<int>{1, 2, 3}));
        selectRows(page.hiddenList(), {0, 2});
        page.showButton()->click();
        QCOMPARE(page.visibleColumns(), (std::vector<int>{0, 1, 3}));
        QCOMPARE(page.hiddenColumns(), (std::vector<int>{2}));
    }

    void hideKeepsTheHiddenColumnsInDefinitionOrder() {
        CSettingsPageCustomize page({&site_->list});
        selectRows(page.visibleList(), {1});
        page.hideButton()->click();
        QCOMPARE(page.visibleColumns(), (std::vector<int>{0, 2}));
        QCOMPARE(page.hiddenColumns(), (std::vector<int>{1, 3}));
    }

    void upAndDownMoveByOnePlace() {
        CSettingsPageCustomize page({&site_->list});
        selectRows(page.visibleList(), {2});
        page.upButton()->click();
        QCOMPARE(page.visibleColumns(), (std::vector<int>{0, 2, 1}));
        page.upButton()->click();
        QCOMPARE(page.visibleColumns(), (std::vector<int>{2, 0, 1}));
        page.downButton()->click();
        QCOMPARE(page.visibleColumns(), (std::vector<int>{0, 2, 1}));
    }

    void confirmingAppliesTheChoiceOfEveryList() {
        CSettingsPageCustomize page({&site_->list, &analysis_->list});
        selectRows(page.visibleList(), {0});
        page.hideButton()->click();
        page.listBox()->setCurrentIndex(1);
        selectRows(page.visibleList(), {2});
        page.upButton()->click();
        QCOMPARE(site_->list.displayOrder(), (std::vector<int>{0, 1, 2}));
        page.apply();
        QCOMPARE(site_->list.displayOrder(), (std::vector<int>{1, 2}));
        QCOMPARE(analysis_->list.displayOrder(), (std::vector<int>{0, 2, 1}));
    }

    void resetRestoresTheChosenListOnly() {
        site_->list.applyVisibleOrder({3, 2});
        analysis_->list.applyVisibleOrder({1});
        CSettingsPageCustomize page({&site_->list, &analysis_->list});
        page.resetButton()->click();
        QCOMPARE(page.visibleColumns(), (std::vector<int>{0, 1, 2}));
        page.apply();
        QCOMPARE(site_->list.displayOrder(), (std::vector<int>{0, 1, 2}));
        QCOMPARE(analysis_->list.displayOrder(), (std::vector<int>{1}));
    }

    void resetAllOnlyOnYes_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("reset");
        QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
        QTest::newRow("No") << int(QMessageBox::No) << false;
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << false;
    }
    void resetAllOnlyOnYes() {
        QFETCH(int, answer);
        QFETCH(bool, reset);
        apptest::Answers answers({static_cast<QMessageBox::StandardButton>(answer)});
        site_->list.applyVisibleOrder({3});
        analysis_->list.applyVisibleOrder({2, 1});
        CSettingsPageCustomize page({&site_->list, &analysis_->list});
        page.resetAllButton()->click();
        QCOMPARE(answers.asked, QStringList{"Reset all columns for all lists?"});
        page.apply();
        const std::vector<int> defaults{0, 1, 2};
        QCOMPARE(site_->list.displayOrder(), reset ? defaults : std::vector<int>{3});
        QCOMPARE(analysis_->list.displayOrder(), reset ? defaults : (std::vector<int>{2, 1}));
    }

    void theSheetOpensOnCustomizeWithTheAskingList() {
        report::FilterConditionList conditions;
        app::CSettingsSheet sheet({}, conditions, {&site_->list, &analysis_->list});
        sheet.showCustomize(&analysis_->list);
        QCOMPARE(sheet.currentPage(), int(app::CSettingsSheet::kCustomizePage));
        auto* page =
            static_cast<CSettingsPageCustomize*>(sheet.page(app::CSettingsSheet::kCustomizePage));
        QCOMPARE(page->selectedList(), 1);
    }

private:
    std::unique_ptr<apptest::ProgramHome> home_;
    std::unique_ptr<TestList> site_;
    std::unique_ptr<TestList> analysis_;
};

QTEST_MAIN(CSettingsPageCustomizeTest)
#include "CSettingsPageCustomizeTest.moc"
