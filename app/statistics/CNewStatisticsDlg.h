#pragma once

#include <QDialog>

#include <string>

#include "query/StatisticsDefinition.h"

class QLineEdit;

namespace app {

class QueryEdit;

// "Edit Statistics": a definition's title and query. OK closes only with a query that
// validates; the caller modifies the definition.
class CNewStatisticsDlg : public QDialog {
    Q_OBJECT

public:
    explicit CNewStatisticsDlg(const query::StatisticsDefinition& definition,
                               QWidget* parent = nullptr);

    std::string title() const;
    std::string query() const;

    QLineEdit* titleField() const { return title_; }
    QueryEdit* queryField() const { return query_; }

    void accept() override;

private:
    QLineEdit* title_;
    QueryEdit* query_;
};

}  // namespace app
