#pragma once

#include <QWidget>

#include <optional>

#include "app/reports/ReportEditing.h"

class QPushButton;

namespace report {
class Report;
}

namespace app {

class ReportContentModel;
class ReportContentView;

// A report's content as a two-column property list (name, style, then one row per item) with
// the buttons that add, edit, delete and move items and open the style editor. Works on a
// report its owner keeps; every change goes straight into it.
class CReportContentEditor : public QWidget {
    Q_OBJECT

public:
    // Which buttons are enabled for a selected row (none when nothing is selected) of
    // `rowCount` rows; `editable` says whether that row can be edited.
    struct Buttons {
        bool add = false;
        bool edit = false;
        bool remove = false;
        bool up = false;
        bool down = false;
        bool styles = false;
    };
    static Buttons enabledButtons(std::optional<int> selected, int rowCount, bool editable);

    CReportContentEditor(const report::ReportManager& reports,
                         const query::StatisticsCatalog& statistics, StyleEditorOpener editStyles,
                         QWidget* parent = nullptr);

    // The report stays the caller's and must outlive the editor or the next call; null empties
    // the list.
    void setReport(report::Report* report);
    report::Report* report() const;

    std::optional<int> selectedRow() const;
    void selectRow(int row);

    // The buttons' actions, for the selected row.
    void addItem();
    void editRow();
    void deleteItem();
    void moveUp();
    void moveDown();
    void editStyles();

    ReportContentView* list() const { return list_; }
    ReportContentModel* model() const { return model_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* upButton() const { return up_; }
    QPushButton* downButton() const { return down_; }
    QPushButton* stylesButton() const { return styles_; }

private:
    QPushButton* makeButton(const QString& text, void (CReportContentEditor::*action)());
    bool isEditable(int row) const;
    void moveBy(int step);
    void updateButtons();
    void spanHeadings();

    const query::StatisticsCatalog& statistics_;
    StyleEditorOpener editStyles_;
    ReportContentModel* model_;
    ReportContentView* list_;
    QPushButton* add_;
    QPushButton* edit_;
    QPushButton* delete_;
    QPushButton* up_;
    QPushButton* down_;
    QPushButton* styles_;
};

}  // namespace app
