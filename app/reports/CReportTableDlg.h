#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace query {
class StatisticsCatalog;
}

namespace report {
class TableItem;
}

namespace app {

class QueryEdit;

// "Table Properties": a table's query, with the element table's column names to insert and the
// statistics definitions to start from. OK closes only with a query that validates.
class CReportTableDlg : public QDialog {
    Q_OBJECT

public:
    CReportTableDlg(const report::TableItem& item, const query::StatisticsCatalog& statistics,
                    QWidget* parent = nullptr);

    void copyTo(report::TableItem& item) const;

    QueryEdit* queryField() const { return query_; }
    QListWidget* fieldList() const { return fields_; }
    QListWidget* statisticsList() const { return statistics_; }
    QPushButton* insertButton() const { return insert_; }
    QPushButton* loadButton() const { return load_; }

    // "&Insert": the selected column name at the caret.
    void insertField();
    // "&Load": the selected definition's query in place of the whole text, undoably.
    void loadStatistics();

    void accept() override;

private:
    void fillLists(const query::StatisticsCatalog& statistics);

    QueryEdit* query_;
    QListWidget* fields_;
    QListWidget* statistics_;
    QPushButton* insert_;
    QPushButton* load_;
};

}  // namespace app
