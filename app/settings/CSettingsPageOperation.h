#pragma once

#include "app/settings/CSettingsPage.h"
#include "engine/settings/CrawlLimits.h"
#include "engine/settings/OperationSettings.h"

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace app {

// "&Operation settings": the crawl scope and its limits, stored together on confirmation.
class CSettingsPageOperation : public CSettingsPage {
    Q_OBJECT

public:
    CSettingsPageOperation(engine::OperationSettings& operation, engine::CrawlLimits& limits,
                           QWidget* parent = nullptr);

    bool validate() override;
    void apply() override;

    QRadioButton* scopeChoice(int autoCheck) const;
    QCheckBox* showOriginalBox() const { return showOrig_; }
    QLineEdit* levelLimitField() const { return levelLimit_; }
    QLineEdit* pageLimitField() const { return pageLimit_; }

private:
    engine::OperationSettings& operation_;
    engine::CrawlLimits& limits_;
    QButtonGroup* scope_;
    QCheckBox* showOrig_;
    QLineEdit* levelLimit_;
    QLineEdit* pageLimit_;
};

}  // namespace app
