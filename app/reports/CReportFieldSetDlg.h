#pragma once

#include <QDialog>

class QLineEdit;

namespace report {
class FieldItem;
}

namespace app {

class QueryEdit;

// "Field Set Properties": a field's caption and the query whose first value it shows. Both are
// taken unchecked: a query that fails renders the field empty, it does not stop the report.
class CReportFieldSetDlg : public QDialog {
    Q_OBJECT

public:
    explicit CReportFieldSetDlg(const report::FieldItem& item, QWidget* parent = nullptr);

    void copyTo(report::FieldItem& item) const;

    QLineEdit* nameField() const { return name_; }
    QueryEdit* queryField() const { return query_; }

private:
    QLineEdit* name_;
    QueryEdit* query_;
};

}  // namespace app
