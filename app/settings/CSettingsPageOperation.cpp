#include "app/settings/CSettingsPageOperation.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <limits>

namespace app {

CSettingsPageOperation::CSettingsPageOperation(engine::OperationSettings& operation,
                                               engine::CrawlLimits& limits, QWidget* parent)
    : CSettingsPage(tr("&Operation settings"), parent),
      operation_(operation),
      limits_(limits),
      scope_(new QButtonGroup(this)),
      showOrig_(new QCheckBox(tr("&Show downloaded pages only"))),
      levelLimit_(new QLineEdit(QString::number(limits.levelLimit))),
      pageLimit_(new QLineEdit(QString::number(limits.pageLimit))) {
    using engine::OperationSettings;
    auto* scopeBox = new QGroupBox(tr("Download control"));
    auto* scopeLayout = new QVBoxLayout(scopeBox);
    const std::pair<int, QString> choices[] = {
        {OperationSettings::kOriginalHost, tr("Download pages from original host")},
        {OperationSettings::kOriginalDomain, tr("Download pages from original domain")},
        {OperationSettings::kAllPages, tr("Download all pages")},
    };
    for (const auto& [id, text] : choices) {
        auto* button = new QRadioButton(text);
        scope_->addButton(button, id);
        scopeLayout->addWidget(button);
    }
    scopeLayout->addWidget(showOrig_);
    auto* limitsForm = new QFormLayout;
    limitsForm->addRow(tr("&Level Limit:"), levelLimit_);
    limitsForm->addRow(tr("&Pages Limit:"), pageLimit_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scopeBox);
    layout->addLayout(limitsForm);
    layout->addStretch();

    const int scope = operation.autoCheck >= OperationSettings::kOriginalHost &&
                              operation.autoCheck <= OperationSettings::kAllPages
                          ? operation.autoCheck
                          : OperationSettings::kOriginalDomain;
    scope_->button(scope)->setChecked(true);
    showOrig_->setChecked(operation.showOrig);
}

QRadioButton* CSettingsPageOperation::scopeChoice(int autoCheck) const {
    return qobject_cast<QRadioButton*>(scope_->button(autoCheck));
}

bool CSettingsPageOperation::validate() {
    constexpr int kMost = std::numeric_limits<int>::max();
    return numberIn(levelLimit_, 1, kMost,
                    tr("The level limit must be a whole number of 1 or more."))
               .has_value() &&
           numberIn(pageLimit_, 1, kMost,
                    tr("The pages limit must be a whole number of 1 or more."))
               .has_value();
}

void CSettingsPageOperation::apply() {
    operation_.autoCheck = scope_->checkedId();
    operation_.showOrig = showOrig_->isChecked();
    limits_.levelLimit = levelLimit_->text().trimmed().toInt();
    limits_.pageLimit = pageLimit_->text().trimmed().toInt();
}

}  // namespace app
