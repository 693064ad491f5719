#include "app/statistics/CNewStatPS.h"

#include "app/statistics/CNewStatPP1.h"
#include "app/statistics/CNewStatPP2.h"
#include "app/widgets/QueryEdit.h"
#include "query/StatisticsCatalog.h"

namespace app {

CNewStatPS::CNewStatPS(const query::StatisticsCatalog& catalog, QWidget* parent)
    : QWizard(parent), catalog_(catalog), titlePage_(new CNewStatPP1(catalog)) {
    queryPage_ = new CNewStatPP2([this]() -> QString {
        const auto base = catalog_.find(titlePage_->basedOn());
        return base ? QString::fromStdString(base->query) : QString();
    });
    setWindowTitle(tr("New Statistics"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    addPage(titlePage_);
    addPage(queryPage_);
    resize(620, 380);
}

std::string CNewStatPS::title() const {
    return titlePage_->title().toStdString();
}

std::string CNewStatPS::query() const {
    return queryPage_->queryField()->toPlainText().toStdString();
}

}  // namespace app
