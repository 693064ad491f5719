#pragma once

#include <QWizardPage>

#include <functional>

class QListWidget;
class QPushButton;

namespace app {

class QueryEdit;

// The wizard's second page, "Statistics Query": the statement, with the element table's
// column names to insert into it.
class CNewStatPP2 : public QWizardPage {
    Q_OBJECT

public:
    // The query of the definition chosen on the first page; a null string when none is.
    using BaseQuery = std::function<QString()>;

    explicit CNewStatPP2(BaseQuery baseQuery, QWidget* parent = nullptr);

    // Every time the page is shown: the base definition's query (when one is chosen) and the
    // column names, sorted.
    void initializePage() override;
    // Finish: only with a statement that validates.
    bool validatePage() override;

    QueryEdit* queryField() const { return query_; }
    QListWidget* fieldList() const { return fields_; }
    QPushButton* insertButton() const { return insert_; }
    // The "&Insert" button's action.
    void insertField();

private:
    BaseQuery baseQuery_;
    QueryEdit* query_;
    QListWidget* fields_;
    QPushButton* insert_;
};

}  // namespace app
