#include <QAbstractItemModelTester>
#include <QApplication>
#include <QPalette>
#include <QPushButton>
#include <QTest>

#include "app/settings/CSettingsPageFilters.h"
#include "app/settings/FilterConditionsModel.h"
#include "app/widgets/CMyListCtrl.h"
#include "tests/app/AppTestSupport.h"

using app::CSettingsPageFilters;
using app::FilterConditionsModel;
using report::FilterCondition;

namespace {

FilterCondition slowPages(int seconds) {
    FilterCondition condition;
    condition.name = "Slow " + std::to_string(seconds);
    condition.connectionType = 7;
    condition.threshold = seconds;
    return condition;
}

}  // namespace

class CSettingsPageFiltersTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        apptest::renewHome(home_);
        conditions_ = report::FilterConditionList::makeDefaults();
        conditions_.renumber();
        edits_ = 0;
        editorAnswer_.reset();
        CSettingsPageFilters::setConditionEditor([this](FilterCondition& condition, QWidget*) {
            ++edits_;
            if (!editorAnswer_) return false;
            condition = *editorAnswer_;
            return true;
        });
    }
    void cleanup() { CSettingsPageFilters::setConditionEditor({}); }

    void twoOfTheFiveColumnsAreShownAtFirst() {
        CSettingsPageFilters page(conditions_);
        QCOMPARE(page.list()->columns().size(), std::size_t{5});
        QCOMPARE(page.list()->displayOrder(), (std::vector<int>{0, 1}));
        QCOMPARE(page.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Condition Name (shown in applied order)"));
    }

    void modelPassesTheModelTester() {
        FilterConditionsModel model(conditions_);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.append(slowPages(2));
        QVERIFY(model.move(0, 1));
        model.remove(3);
    }

    void rowsShowNameColourAndCheckBox() {
        conditions_.conditions()[1].customColor = report::rgb(9, 8, 7);
        conditions_.conditions()[2].enabled = false;
        FilterConditionsModel model(conditions_);
        QCOMPARE(model.index(0, 0).data().toString(),
                 QString("Browsing on 56K takes more than 8 sec."));
        QCOMPARE(model.index(0, 1).data().toString(), QString("Bisque"));
        QCOMPARE(model.index(0, 1).data(Qt::DecorationRole).value<QColor>(),
                 QColor(0xFF, 0xE4, 0xC4));
        QCOMPARE(model.index(1, 1).data().toString(), QString("Custom"));
        QCOMPARE(model.index(0, 3).data().toString(), QString("n/a"));
        QCOMPARE(model.index(2, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
        QCOMPARE(model.index(2, 0).data(Qt::ForegroundRole).value<QColor>(),
                 QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        QVERIFY(!model.index(0, 0).data(Qt::ForegroundRole).isValid());
    }

    void buttonsFollowTheSelection_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("edit");
        QTest::addColumn<bool>("up");
        QTest::addColumn<bool>("down");
        QTest::newRow("none") << -1 << false << false << false;
        QTest::newRow("first") << 0 << true << false << true;
        QTest::newRow("middle") << 3 << true << true << true;
        QTest::newRow("last") << 5 << true << true << false;
    }
    void buttonsFollowTheSelection() {
        QFETCH(int, row);
        QFETCH(bool, edit);
        QFETCH(bool, up);
        QFETCH(bool, down);
        CSettingsPageFilters page(conditions_);
        page.selectRow(row);
        QCOMPARE(page.editButton()->isEnabled(), edit);
        QCOMPARE(page.removeButton()->isEnabled(), edit);
        QCOMPARE(page.upButton()->isEnabled(), up);
        QCOMPARE(page.downButton()->isEnabled(), down);
        QVERIFY(page.newButton()->isEnabled());
    }

    void aNewConditionIsAppendedEnabledAndSelected() {
        CSettingsPageFilters page(conditions_);
        FilterCondition added = slowPages(3);
        added.enabled = false;
        editorAnswer_ = added;
        page.newButton()->click();
        QCOMPARE(page.model()->rowCount(), 7);
        QCOMPARE(page.selectedRow(), 6);
        QCOMPARE(page.model()->at(6).name, std::string("Slow 3"));
        QVERIFY(page.model()->at(6).enabled);
        QCOMPARE(page.model()->at(6).id, 6);
    }

    void aCancelledEditChangesNothing() {
        CSettingsPageFilters page(conditions_);
        page.selectRow(1);
        page.editButton()->click();
        page.newButton()->click();
        QCOMPARE(edits_, 2);
        QCOMPARE(page.model()->conditions().conditions(), conditions_.conditions());
    }

    void editCopiesTheValuesBack() {
        CSettingsPageFilters page(conditions_);
        page.selectRow(2);
        editorAnswer_ = slowPages(30);
        page.editButton()->click();
        QCOMPARE(page.model()->at(2).name, std::string("Slow 30"));
        QCOMPARE(page.model()->at(2).threshold, 30);
    }

    void removeAndMove() {
        CSettingsPageFilters page(conditions_);
        const auto original = conditions_.conditions();
        page.selectRow(0);
        page.removeButton()->click();
        QCOMPARE(page.model()->rowCount(), 5);
        QCOMPARE(page.model()->at(0).name, original[1].name);
        page.selectRow(2);
        page.upButton()->click();
        QCOMPARE(page.selectedRow(), 1);
        QCOMPARE(page.model()->at(1).name, original[3].name);
        page.downButton()->click();
        page.downButton()->click();
        QCOMPARE(page.selectedRow(), 3);
        QCOMPARE(page.model()->at(3).name, original[3].name);
    }

    void onlyConfirmationReplacesAndStoresTheList() {
        CSettingsPageFilters page(conditions_);
        const auto original = conditions_.conditions();
        page.selectRow(1);
        page.upButton()->click();
        page.model()->setData(page.model()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
        QCOMPARE(conditions_.conditions(), original);
        page.apply();
        QCOMPARE(conditions_.conditions()[0].name, original[1].name);
        QVERIFY(!conditions_.conditions()[0].enabled);
        QCOMPARE(report::FilterConditionList::load().conditions(), conditions_.conditions());
    }

private:
    std::unique_ptr<apptest::ProgramHome> home_;
    report::FilterConditionList conditions_;
    std::optional<FilterCondition> editorAnswer_;
    int edits_ = 0;
};

QTEST_MAIN(CSettingsPageFiltersTest)
#include "CSettingsPageFiltersTest.moc"
