#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <optional>
#include <vector>

#include "app/reports/CNewReportPropertyPage1.h"
#include "app/reports/CNewReportPropertyPage2.h"
#include "app/reports/CNewReportPropertySheet.h"
#include "app/reports/CReportContentDlg.h"
#include "app/reports/CReportContentEditor.h"
#include "app/reports/CReportNewItemDlg.h"
#include "app/reports/CReportTableDlg.h"
#include "app/reports/CReportTitleDlg.h"
#include "app/reports/ReportContentModel.h"
#include "app/reports/ReportContentView.h"
#include "app/reports/ReportEditing.h"
#include "app/widgets/QueryEdit.h"
#include "query/StatisticsCatalog.h"
#include "report/FieldSetItem.h"
#include "report/ReportManager.h"
#include "report/TableItem.h"
#include "report/TitleItem.h"
#include "tests/app/reports/ModalDialogs.h"

using app::CReportContentEditor;
using app::ReportContentModel;
using reporttest::BoxRecorder;
using reporttest::whenShown;

namespace {

// Rows 4 to 6: a title, a field-set marker (no dialog) and a table.
report::Report threeItems() {
    report::Report report("Three", "", 2);
    report.append(std::make_unique<report::TitleItem>("Heading", 1));
    report.append(std::make_unique<report::FieldSetBeginItem>());
    report.append(std::make_unique<report::TableItem>("select URL"));
    return report;
}

// The header, then each row, as "field|value".
QStringList rowTexts(const QAbstractItemModel& model) {
    QStringList out{model.headerData(0, Qt::Horizontal).toString() + "|" +
                    model.headerData(1, Qt::Horizontal).toString()};
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.index(row, 0).data().toString() + "|" + model.index(row, 1).data().toString();
    return out;
}

QString enabledButtons(const CReportContentEditor& editor) {
    QStringList out;
    const std::pair<QPushButton*, const char*> buttons[] = {
        {editor.addButton(), "add"},       {editor.editButton(), "edit"},
        {editor.deleteButton(), "delete"}, {editor.upButton(), "up"},
        {editor.downButton(), "down"},     {editor.stylesButton(), "styles"}};
    for (const auto& [button, name] : buttons)
        if (button->isEnabled()) out << name;
    return out.join(' ');
}

QStringList comboTexts(const QComboBox& box) {
    QStringList out;
    for (int row = 0; row < box.count(); ++row) out << box.itemText(row);
    return out;
}

void chooseText(QComboBox& box, const QString& text) {
    box.setCurrentIndex(box.findText(text));
}

}  // namespace

class ReportEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        reports_ = report::ReportManager();
        reports_.createBuiltInReports();
        reports_.createBuiltInStyles();
        report_ = threeItems();
        opened_.clear();
        editor_.emplace(reports_, catalog_, [this](QWidget*, std::int32_t styleId) {
            opened_.push_back(styleId);
            reports_.removeStyle(styleId);
        });
        editor_->setReport(&report_);
        editor_->resize(600, 300);
        editor_->show();
    }
    void cleanup() { editor_.reset(); }

    void theModelPassesTheTester() {
        ReportContentModel model(reports_);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setReport(&report_);
        model.appendItem(std::make_unique<report::TitleItem>("More", 2));
        model.swapItems(4, 7);
        model.setData(model.index(ReportContentModel::kNameRow, 1), "Renamed", Qt::EditRole);
        model.removeItem(5);
        model.setReport(nullptr);
        QCOMPARE(model.rowCount(), 0);
    }

    void theRowsShowNameStyleAndItems() {
        QCOMPARE(
            rowTexts(*editor_->model()),
            QStringList({"Field|Value", "General:|", "Name|Three", "Style|Blue", "Report Items:|",
                         "Title|Heading", "Field Set Begin|N/A", "Table|select URL"}));
        QCOMPARE(editor_->list()->columnWidth(0), editor_->list()->viewport()->width() / 3);
    }

    void theButtonsFollowTheSelection_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("enabled");
        QTest::newRow("nothing selected") << -1 << "add styles";
        QTest::newRow("General heading") << 0 << "add styles";
        QTest::newRow("Name") << 1 << "add edit styles";
        QTest::newRow("Style") << 2 << "add edit styles";
        QTest::newRow("Items heading") << 3 << "add styles";
        QTest::newRow("first item") << 4 << "add edit delete down styles";
        QTest::newRow("marker in the middle") << 5 << "add delete up down styles";
        QTest::newRow("last item") << 6 << "add edit delete up styles";
    }
    void theButtonsFollowTheSelection() {
        QFETCH(int, row);
        QFETCH(QString, enabled);
        editor_->selectRow(4);
        if (row >= 0)
            editor_->selectRow(row);
        else
            editor_->list()->clearSelection();
        QCOMPARE(enabledButtons(*editor_), enabled);
    }

    void upAndDownSwapAndKeepTheSelection_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QStringList>("kinds");
        QTest::newRow("up") << 6 << true << QStringList({"Title", "Table", "Field Set Begin"});
        QTest::newRow("down") << 4 << false << QStringList({"Field Set Begin", "Title", "Table"});
    }
    void upAndDownSwapAndKeepTheSelection() {
        QFETCH(int, row);
        QFETCH(bool, up);
        QFETCH(QStringList, kinds);
        editor_->selectRow(row);
        (up ? editor_->upButton() : editor_->downButton())->click();
        QStringList order;
        for (const auto& item : report_.items()) order << QString::fromStdString(item->kindName());
        QCOMPARE(order, kinds);
        QCOMPARE(editor_->selectedRow(), std::optional<int>(up ? row - 1 : row + 1));
    }

    void deleteAsksFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("itemsLeft");
        QTest::newRow("Yes") << int(QMessageBox::Yes) << 2;
        QTest::newRow("No") << int(QMessageBox::No) << 3;
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << 3;
    }
    void deleteAsksFirst() {
        QFETCH(int, answer);
        QFETCH(int, itemsLeft);
        BoxRecorder boxes{QMessageBox::StandardButton(answer)};
        editor_->selectRow(4);
        editor_->deleteButton()->click();
        QCOMPARE(boxes.boxes.size(), std::size_t(1));
        QCOMPARE(boxes.boxes[0].text, QString("Delete item: 'Title'?"));
        QCOMPARE(boxes.boxes[0].caption, QString("Confirm"));
        QCOMPARE(boxes.boxes[0].icon, QMessageBox::Question);
        QCOMPARE(boxes.boxes[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(report_.items().size(), std::size_t(itemsLeft));
        QCOMPARE(editor_->model()->rowCount(), 4 + itemsLeft);
    }

    void theNameIsEditedInPlaceAndEnterEndsOnlyTheEdit() {
        app::CReportContentDlg dialog(report_, reports_, catalog_, {});
        dialog.show();
        CReportContentEditor& editor = *dialog.editor();
        editor.selectRow(ReportContentModel::kNameRow);
        editor.editButton()->click();
        auto* field = editor.list()->viewport()->findChild<QLineEdit*>();
        QVERIFY(field);
        field->selectAll();
        QTest::keyClicks(field, "Renamed");
        QTest::keyClick(field, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(report_.name(), std::string("Renamed"));
        QVERIFY(dialog.isVisible());
    }

    void theStyleIsChosenFromTheStyleSets() {
        editor_->selectRow(ReportContentModel::kStyleRow);
        editor_->editButton()->click();
        auto* box = editor_->list()->viewport()->findChild<QComboBox*>();
        QVERIFY(box);
        QCOMPARE(comboTexts(*box), QStringList({"Default", "Fancy", "Blue", "Invert", "Gray"}));
        QCOMPARE(box->currentText(), QString("Blue"));
        box->setCurrentIndex(box->findText("Gray"));
        emit box->activated(box->currentIndex());
        QCOMPARE(report_.styleId(), 4);
        QCOMPARE(editor_->model()->index(2, 1).data().toString(), QString("Gray"));
    }

    void editStylesOpensTheReportsStyleAndRereadsTheSets() {
        editor_->stylesButton()->click();
        QCOMPARE(opened_, std::vector<std::int32_t>({2}));
        QCOMPARE(editor_->model()->index(2, 1).data().toString(), QString("Default"));
    }

    void addAppendsTheChosenKindAfterItsDialog() {
        whenShown<app::CReportNewItemDlg>([](app::CReportNewItemDlg& chooser) {
            chooser.itemList()->setCurrentRow(3);  // "Title"
            whenShown<app::CReportTitleDlg>([](app::CReportTitleDlg& dialog) {
                dialog.textField()->setText("Added");
                dialog.accept();
            });
            chooser.createButton()->click();
        });
        editor_->addButton()->click();
        QCOMPARE(report_.items().size(), std::size_t(4));
        QCOMPARE(rowTexts(*editor_->model()).last(), QString("Title|Added"));
        QCOMPARE(editor_->selectedRow(), std::optional<int>(7));
    }

    void editingAnItemCopiesItsDialogBack() {
        whenShown<app::CReportTableDlg>([](app::CReportTableDlg& dialog) {
            dialog.queryField()->setPlainText("select Host");
            dialog.accept();
        });
        editor_->selectRow(6);
        QTest::keyClick(editor_->list(), Qt::Key_Return);
        QCOMPARE(rowTexts(*editor_->model()).last(), QString("Table|select Host"));
    }

    void theFirstPageOffersSortedTemplatesAndStyles() {
        app::CNewReportPropertyPage1 page(reports_);
        QCOMPARE(page.nameField()->text(), QString("New Report"));
        QCOMPARE(page.descriptionField()->text(), QString("Report Description"));
        QCOMPARE(
            comboTexts(*page.basedOnBox()),
            QStringList({"Compact", "Detailed Report", "General", "Hosts Report",
                         "Time and Size by Host and Type", "Top Load Elements", "Types Report"}));
        QCOMPARE(page.basedOn(), 102);
        QCOMPARE(comboTexts(*page.styleBox()),
                 QStringList({"Blue", "Default", "Fancy", "Gray", "Invert"}));
        QCOMPARE(page.styleBox()->currentText(), QString("Fancy"));
    }

    void choosingATemplateChoosesItsStyle() {
        report::Report gray("Gray one", "", 4);
        reports_.addReport(std::move(gray));
        app::CNewReportPropertyPage1 page(reports_);
        chooseText(*page.basedOnBox(), "Gray one");
        QCOMPARE(page.styleBox()->currentText(), QString("Gray"));
    }

    void aReportFromGeneralWithBlueGetsTheNextId() {
        const std::size_t generalItems = reports_.findReport(101)->items().size();
        whenShown<app::CNewReportPropertySheet>([](app::CNewReportPropertySheet& wizard) {
            app::CNewReportPropertyPage1& page = *wizard.firstPage();
            page.nameField()->setText("Mine");
            page.descriptionField()->setText("My own report");
            chooseText(*page.basedOnBox(), "General");
            chooseText(*page.styleBox(), "Blue");
            wizard.next();
            QCOMPARE(wizard.contentPage()->editor()->model()->index(1, 1).data(), "Mine");
            wizard.button(QWizard::FinishButton)->click();
        });
        const std::optional<std::int32_t> id = app::newReport(nullptr, reports_, catalog_, {});
        QCOMPARE(id, std::optional<std::int32_t>(108));
        const report::Report& made = *reports_.findReport(108);
        QCOMPARE(made.name(), std::string("Mine"));
        QCOMPARE(made.description(), std::string("My own report"));
        QCOMPARE(made.styleId(), 2);
        QCOMPARE(made.items().size(), generalItems);
        QCOMPARE(reports_.findReport(101)->items().size(), generalItems);
    }

    void goingBackAndOnAgainCopiesTheTemplateAfresh() {
        app::CNewReportPropertySheet wizard(reports_, catalog_, {});
        wizard.show();
        wizard.next();
        wizard.report()->remove(0);
        wizard.back();
        chooseText(*wizard.firstPage()->basedOnBox(), "Hosts Report");
        wizard.next();
        QCOMPARE(wizard.report()->items().size(), reports_.findReport(104)->items().size());
        QCOMPARE(wizard.report()->name(), std::string("New Report"));
    }

    void aCancelledWizardAddsNothing() {
        whenShown<app::CNewReportPropertySheet>([](app::CNewReportPropertySheet& wizard) {
            wizard.next();
            wizard.reject();
        });
        QCOMPARE(app::newReport(nullptr, reports_, catalog_, {}), std::nullopt);
        QCOMPARE(reports_.reports().size(), std::size_t(7));
    }

    void modifyKeepsTheIdAndThePlace() {
        whenShown<app::CReportContentDlg>([](app::CReportContentDlg& dialog) {
            ReportContentModel& model = *dialog.editor()->model();
            model.setData(model.index(ReportContentModel::kNameRow, 1), "Types, again",
                          Qt::EditRole);
            model.removeItem(ReportContentModel::kFirstItemRow);
            dialog.accept();
        });
        const std::size_t before = reports_.findReport(105)->items().size();
        QVERIFY(app::modifyReport(nullptr, reports_, catalog_, 105, {}));
        std::vector<std::int32_t> ids;
        for (const auto& [id, report] : reports_.reports()) ids.push_back(id);
        QCOMPARE(ids, std::vector<std::int32_t>({101, 102, 103, 104, 105, 106, 107}));
        const report::Report& changed = *reports_.findReport(105);
        QCOMPARE(changed.id(), 105);
        QCOMPARE(changed.name(), std::string("Types, again"));
        QCOMPARE(changed.description(), std::string("Shows elements by types distribution."));
        QCOMPARE(changed.items().size(), before - 1);
    }

    void aCancelledOrUnknownModifyChangesNothing() {
        whenShown<app::CReportContentDlg>([](app::CReportContentDlg& dialog) {
            dialog.editor()->model()->removeItem(ReportContentModel::kFirstItemRow);
            dialog.reject();
        });
        const std::uint32_t stamp = reports_.changeStamp();
        QVERIFY(!app::modifyReport(nullptr, reports_, catalog_, 105, {}));
        QCOMPARE(reports_.changeStamp(), stamp);
        QVERIFY(!app::modifyReport(nullptr, reports_, catalog_, 2, {}));
    }

private:
    report::ReportManager reports_;
    const query::StatisticsCatalog catalog_;
    report::Report report_;
    std::vector<std::int32_t> opened_;
    std::optional<CReportContentEditor> editor_;
};

QTEST_MAIN(ReportEditorTest)
#include "ReportEditorTest.moc"
