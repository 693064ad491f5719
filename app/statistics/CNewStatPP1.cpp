#include "app/statistics/CNewStatPP1.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

#include <algorithm>

#include "query/StatisticsCatalog.h"

namespace app {

CNewStatPP1::CNewStatPP1(const query::StatisticsCatalog& catalog, QWidget* parent)
    : QWizardPage(parent), title_(new QLineEdit), basedOn_(new QComboBox) {
    setTitle(tr("New Statistics"));

    std::vector<query::StatisticsDefinition> definitions = catalog.definitions();
    std::stable_sort(definitions.begin(), definitions.end(), [](const auto& a, const auto& b) {
        return QString::fromStdString(a.title).compare(QString::fromStdString(b.title),
                                                       Qt::CaseInsensitive) < 0;
    });
    basedOn_->addItem(QString(), 0);
    for (const auto& definition : definitions)
        basedOn_->addItem(QString::fromStdString(definition.title), definition.id);
    basedOn_->setMinimumContentsLength(30);

    auto* layout = new QFormLayout(this);
    layout->addRow(tr("&Title"), title_);
    layout->addRow(tr("Based on"), basedOn_);
}

QString CNewStatPP1::title() const {
    return title_->text();
}

std::int32_t CNewStatPP1::basedOn() const {
    return basedOn_->currentData().toInt();
}

}  // namespace app
