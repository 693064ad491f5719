#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace app {

// The kinds the user can add to a report; the field-set markers are not among them.
enum class NewItemChoice { None = 0, Title = 1, HtmlText = 2, Field = 3, Table = 4 };

// "Add New Report Item": the kinds sorted by name, the second preselected, with a short
// description of the chosen one. "Create" closes with a choice.
class CReportNewItemDlg : public QDialog {
    Q_OBJECT

public:
    explicit CReportNewItemDlg(QWidget* parent = nullptr);

    // The chosen kind; None when no row is selected.
    NewItemChoice choice() const;

    QListWidget* itemList() const { return items_; }
    QLabel* descriptionBox() const { return description_; }
    QPushButton* createButton() const { return create_; }

private:
    void showDescription();

    QListWidget* items_;
    QLabel* description_;
    QPushButton* create_;
};

}  // namespace app
