#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <optional>
#include <vector>

#include "app/reports/CStyleEditorDlg.h"
#include "app/reports/InputBoxes.h"
#include "app/reports/StyleClassesModel.h"
#include "app/reports/StyleEditing.h"
#include "app/reports/StyleListModel.h"
#include "app/widgets/CMyListCtrl.h"
#include "app/widgets/MessageBoxes.h"
#include "report/ReportManager.h"
#include "report/ReportRenderer.h"

using app::CStyleEditorDlg;
using app::InputBoxes;
using app::MessageBoxes;
using app::StyleClassesModel;

namespace {

constexpr std::int32_t kBlue = 2;
constexpr std::int32_t kMine = 5;  // the set added after the four built-ins

// "Default", the four built-in sets and "Mine", whose class names sort differently byte-wise
// and alphabetically.
report::ReportManager styleManager() {
    report::ReportManager manager;
    manager.clear();
    manager.createBuiltInStyles();
    report::ReportStyle mine("Mine");
    for (const char* name : {"alpha", "Zeta", "beta", "_under"}) mine.insertClass(name, "x");
    manager.addStyle(std::move(mine));
    return manager;
}

QStringList column(const QAbstractItemModel& model, int column) {
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out << model.index(row, column).data().toString();
    return out;
}

int rowOfClass(const StyleClassesModel& model, const QString& name) {
    return int(column(model, StyleClassesModel::FieldColumn).indexOf(name));
}

QModelIndex valueIndex(const StyleClassesModel& model, const QString& name) {
    return model.index(rowOfClass(model, name), StyleClassesModel::ValueColumn);
}

void clearSelection(CStyleEditorDlg& dialog) {
    dialog.styleList()->selectionModel()->clearSelection();
}

}  // namespace

Q_DECLARE_METATYPE(std::optional<QString>)

class StyleEditorTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        manager_ = styleManager();
        boxes_.clear();
        inputs_.clear();
        answer_ = QMessageBox::Yes;
        typed_ = QString("Copy");
        MessageBoxes::setAnswerer([this](const MessageBoxes::Box& box) {
            boxes_.push_back(box);
            return answer_;
        });
        InputBoxes::setAnswerer([this](const InputBoxes::Box& box) {
            inputs_.push_back(box);
            return typed_;
        });
    }
    void cleanup() {
        MessageBoxes::setAnswerer({});
        InputBoxes::setAnswerer({});
    }

    void theListStartsWithDefaultAndPreselectsTheSetPassedIn_data() {
        QTest::addColumn<int>("passed");
        QTest::addColumn<int>("selected");
        QTest::newRow("a stored set") << kBlue << kBlue;
        QTest::newRow("Default") << 0 << 0;
        QTest::newRow("a set that is gone") << 99 << 0;
    }
    void theListStartsWithDefaultAndPreselectsTheSetPassedIn() {
        QFETCH(int, passed);
        QFETCH(int, selected);
        CStyleEditorDlg dialog(manager_, passed);
        QCOMPARE(dialog.windowTitle(), QString("Style Editor"));
        QCOMPARE(column(*dialog.styleModel(), 0),
                 QStringList({"Default", "Fancy", "Blue", "Invert", "Gray", "Mine"}));
        QCOMPARE(dialog.selectedStyleId(), std::optional<std::int32_t>(selected));
        QCOMPARE(dialog.classesModel()->styleId(), std::optional<std::int32_t>(selected));
    }

    void thePreviewOfDefaultIsItsStyleBlockWithSoftLineBreaks() {
        CStyleEditorDlg dialog(manager_, 0);
        const std::string& preview = dialog.previewText();
        QVERIFY(preview.starts_with("<style>\r\r\n"));
        QVERIFY(preview.ends_with("</style>\r\r\n"));
        std::string unbroken = preview;
        for (auto at = unbroken.find("\r\r\n"); at != std::string::npos;
             at = unbroken.find("\r\r\n", at + 1))
            unbroken.erase(at, 2);
        QCOMPARE(unbroken, report::styleBlock(manager_.defaultStyle()));
        QCOMPARE(unbroken.find('\r'), std::string::npos);  // no line end left undoubled

        // On screen one line per line of the block: no blank line between two classes.
        const QString shown = dialog.preview()->toPlainText();
        QCOMPARE(shown, QString::fromStdString(unbroken));
        QVERIFY(dialog.preview()->isReadOnly());
    }

    void defaultCannotBeDeleted_data() {
        QTest::addColumn<bool>("noSelection");
        QTest::newRow("Default selected") << false;
        QTest::newRow("nothing selected") << true;
    }
    void defaultCannotBeDeleted() {
        QFETCH(bool, noSelection);
        CStyleEditorDlg dialog(manager_, 0);
        if (noSelection) clearSelection(dialog);
        QVERIFY(!dialog.deleteButton()->isEnabled());
        dialog.deleteStyle();
        QVERIFY(boxes_.empty());
        QCOMPARE(manager_.styles().size(), std::size_t(5));
    }

    void deleteAsksAndOnlyYesRemovesTheSet_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("Yes") << int(QMessageBox::Yes);
        QTest::newRow("No") << int(QMessageBox::No);
        QTest::newRow("Cancel") << int(QMessageBox::Cancel);
    }
    void deleteAsksAndOnlyYesRemovesTheSet() {
        QFETCH(int, answer);
        answer_ = QMessageBox::StandardButton(answer);
        const bool removed = answer_ == QMessageBox::Yes;
        const std::int32_t report = manager_.addReport(report::Report("Blue one", "", kBlue));
        const std::string block =
            report::styleBlock(removed ? manager_.defaultStyle() : manager_.findStyle(kBlue));
        const std::uint32_t stamp = manager_.changeStamp();
        CStyleEditorDlg dialog(manager_, kBlue);
        QVERIFY(dialog.deleteButton()->isEnabled());
        dialog.deleteButton()->click();

        QCOMPARE(boxes_.size(), std::size_t(1));
        QCOMPARE(boxes_[0].text, QString("Are you sure you want to delete style: 'Blue'?"));
        QCOMPARE(boxes_[0].caption, QString("Delete Style"));
        QCOMPARE(boxes_[0].icon, QMessageBox::Question);
        QCOMPARE(boxes_[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

        QCOMPARE(manager_.styles().count(kBlue), std::size_t(removed ? 0 : 1));
        QCOMPARE(column(*dialog.styleModel(), 0).contains("Blue"), !removed);
        QCOMPARE(dialog.selectedStyleId(), std::optional<std::int32_t>(removed ? 0 : kBlue));
        QCOMPARE(dialog.classesModel()->styleId(), dialog.selectedStyleId());
        QCOMPARE(manager_.changeStamp(), stamp);
        QCOMPARE(manager_.renderReport(report, nullptr),
                 "<BODY class=\"bodystyle\">\n" + block + "</BODY>");
    }

    void newCopiesTheSelectedSetUnderTheTypedName_data() {
        QTest::addColumn<bool>("noSelection");
        QTest::addColumn<std::optional<QString>>("typed");
        QTest::addColumn<int>("source");
        QTest::newRow("a stored set") << false << std::optional<QString>("Copy") << kBlue;
        QTest::newRow("nothing selected: Default") << true << std::optional<QString>("Copy") << 0;
        QTest::newRow("cancelled") << false << std::optional<QString>() << kBlue;
    }
    void newCopiesTheSelectedSetUnderTheTypedName() {
        QFETCH(bool, noSelection);
        QFETCH(std::optional<QString>, typed);
        QFETCH(int, source);
        typed_ = typed;
        CStyleEditorDlg dialog(manager_, kBlue);
        if (noSelection) clearSelection(dialog);
        dialog.newButton()->click();

        QCOMPARE(inputs_.size(), std::size_t(1));
        QCOMPARE(inputs_[0].caption, QString("Create New Style"));
        QCOMPARE(inputs_[0].prompt, QString("Style Name:"));
        QCOMPARE(inputs_[0].text, QString("New Style"));
        if (!typed) {
            QCOMPARE(manager_.styles().size(), std::size_t(5));
            return;
        }
        const std::int32_t copy = manager_.lastStyleId();
        QCOMPARE(copy, kMine + 1);
        QCOMPARE(manager_.styleName(copy), std::string("Copy"));
        QCOMPARE(manager_.findStyle(copy).classes(), manager_.findStyle(source).classes());
        QCOMPARE(column(*dialog.styleModel(), 0).last(), QString("Copy"));
        QCOMPARE(dialog.selectedStyleId(), std::optional<std::int32_t>(copy));
        QCOMPARE(dialog.classesModel()->styleId(), std::optional<std::int32_t>(copy));
        QVERIFY(dialog.deleteButton()->isEnabled());
    }

    void editingAValueInPlaceChangesTheClassAndThePreview() {
        CStyleEditorDlg dialog(manager_, kBlue);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QModelIndex title = valueIndex(*dialog.classesModel(), "title_text");
        dialog.propertyList()->setCurrentIndex(title);
        dialog.propertyList()->edit(title);
        auto* editor = dialog.propertyList()->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        QCOMPARE(editor->text(), QString("color:black"));
        editor->setText("color:red;font-style:italic");
        QTest::keyClick(editor, Qt::Key_Return);

        // The delegate commits after the key press has been handled.
        QTRY_COMPARE(manager_.findStyle(kBlue).declarations("title_text"),
                     std::optional<std::string>("color:red;font-style:italic"));
        QCOMPARE(title.data().toString(), QString("color:red;font-style:italic"));
        QVERIFY(dialog.previewText().find(".title_text{color:red;font-style:italic}\r\r\n") !=
                std::string::npos);
        QVERIFY(
            dialog.preview()->toPlainText().contains(".title_text{color:red;font-style:italic}\n"));
    }

    void onlyTheValuesOfAStoredSetAreEditable_data() {
        QTest::addColumn<int>("styleId");
        QTest::addColumn<bool>("editable");
        QTest::newRow("Default") << 0 << false;
        QTest::newRow("a stored set") << kBlue << true;
    }
    void onlyTheValuesOfAStoredSetAreEditable() {
        QFETCH(int, styleId);
        QFETCH(bool, editable);
        const report::ReportStyle before = manager_.findStyle(styleId);
        CStyleEditorDlg dialog(manager_, styleId);
        StyleClassesModel& model = *dialog.classesModel();
        const QModelIndex value = valueIndex(model, "title_text");
        const QModelIndex field = value.siblingAtColumn(StyleClassesModel::FieldColumn);
        QCOMPARE(bool(model.flags(value) & Qt::ItemIsEditable), editable);
        QVERIFY(!(model.flags(field) & Qt::ItemIsEditable));
        QCOMPARE(value.data(Qt::ForegroundRole).isValid(), !editable);  // greyed when read-only

        QCOMPARE(model.setData(value, "color:red"), editable);
        QCOMPARE(model.setData(field, "renamed"), false);
        QCOMPARE(manager_.findStyle(styleId).declarations("title_text") !=
                     before.declarations("title_text"),
                 editable);
        QCOMPARE(column(model, StyleClassesModel::FieldColumn).contains("renamed"), false);
    }

    void rowsFollowTheByteWiseClassOrder() {
        CStyleEditorDlg dialog(manager_, kMine);
        const StyleClassesModel& model = *dialog.classesModel();
        QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Field"));
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Value"));
        QCOMPARE(column(model, StyleClassesModel::FieldColumn),
                 QStringList({"Zeta", "_under", "alpha", "beta"}));
        QCOMPARE(column(model, StyleClassesModel::ValueColumn), QStringList({"x", "x", "x", "x"}));
    }

    void eachModelPassesTheModelTester() {
        CStyleEditorDlg dialog(manager_, 0);
        QAbstractItemModelTester styles(dialog.styleModel(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester classes(dialog.classesModel(),
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
        dialog.selectStyle(kMine);
        dialog.classesModel()->setData(valueIndex(*dialog.classesModel(), "beta"), "y");
        dialog.newStyle();
        clearSelection(dialog);
        dialog.selectStyle(kBlue);
        dialog.deleteStyle();
        QCOMPARE(dialog.selectedStyleId(), std::optional<std::int32_t>(0));
    }

    void editStylesRunsTheEditorModally() {
        std::optional<std::int32_t> shown;
        QTimer::singleShot(0, [&shown] {
            auto* dialog = qobject_cast<CStyleEditorDlg*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            shown = dialog->selectedStyleId();
            dialog->closeButton()->click();
        });
        app::editStyles(nullptr, manager_, 3);
        QCOMPARE(shown, std::optional<std::int32_t>(3));
    }

private:
    report::ReportManager manager_;
    std::vector<MessageBoxes::Box> boxes_;
    std::vector<InputBoxes::Box> inputs_;
    QMessageBox::StandardButton answer_ = QMessageBox::Yes;
    std::optional<QString> typed_;
};

QTEST_MAIN(StyleEditorTest)
#include "StyleEditorTest.moc"
