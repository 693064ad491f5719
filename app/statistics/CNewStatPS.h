#pragma once

#include <QWizard>

#include <string>

namespace query {
class StatisticsCatalog;
}

namespace app {

class CNewStatPP1;
class CNewStatPP2;

// "New Statistics": a title and a starting definition, then the query. Finish closes only with
// a query that validates; the caller adds the definition.
class CNewStatPS : public QWizard {
    Q_OBJECT

public:
    explicit CNewStatPS(const query::StatisticsCatalog& catalog, QWidget* parent = nullptr);

    std::string title() const;
    std::string query() const;

    CNewStatPP1* titlePage() const { return titlePage_; }
    CNewStatPP2* queryPage() const { return queryPage_; }

private:
    const query::StatisticsCatalog& catalog_;
    CNewStatPP1* titlePage_;
    CNewStatPP2* queryPage_;
};

}  // namespace app
