#include "app/settings/CSettingsSheet.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/settings/CSettingsPageConnection.h"
#include "app/settings/CSettingsPageCustomize.h"
#include "app/settings/CSettingsPageFilters.h"
#include "app/settings/CSettingsPageOperation.h"

namespace app {
namespace {

int& lastPage() {
    static int page = 0;
    return page;
}

CSettingsSheet::Runner& runner() {
    static CSettingsSheet::Runner instance;
    return instance;
}

}  // namespace

CSettingsSheet::CSettingsSheet(const engine::EngineSettings& settings,
                               report::FilterConditionList& conditions,
                               std::vector<CMyListCtrl*> lists, QWidget* parent)
    : QDialog(parent), settings_(settings), edited_(settings), tabs_(new QTabWidget) {
    setWindowTitle(tr("Settings"));
    tabs_->setAccessibleName(tr("Settings pages"));
    addPage(new CSettingsPageConnection(edited_.connection));
    addPage(new CSettingsPageOperation(edited_.operation, edited_.limits));
    addPage(new CSettingsPageFilters(conditions));
    addPage(new CSettingsPageCustomize(std::move(lists)));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsSheet::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
    setCurrentPage(lastPage());
}

CSettingsSheet::~CSettingsSheet() = default;

void CSettingsSheet::addPage(CSettingsPage* page) {
    pages_.push_back(page);
    tabs_->addTab(page, page->title());
}

void CSettingsSheet::setCurrentPage(int index) {
    if (index >= 0 && index < pageCount()) tabs_->setCurrentIndex(index);
}

void CSettingsSheet::showCustomize(const CMyListCtrl* list) {
    static_cast<CSettingsPageCustomize*>(page(kCustomizePage))->selectList(list);
    setCurrentPage(kCustomizePage);
}

int CSettingsSheet::currentPage() const {
    return tabs_->currentIndex();
}

int CSettingsSheet::lastConfirmedPage() {
    return lastPage();
}

std::optional<engine::EngineSettings> CSettingsSheet::run(QWidget* parent,
                                                          const engine::EngineSettings& settings,
                                                          report::FilterConditionList& conditions,
                                                          std::vector<CMyListCtrl*> lists,
                                                          const CMyListCtrl* customize) {
    CSettingsSheet sheet(settings, conditions, std::move(lists), parent);
    if (customize) sheet.showCustomize(customize);
    const int result = runner() ? runner()(sheet) : sheet.exec();
    if (result != QDialog::Accepted) return std::nullopt;
    return sheet.engineSettings();
}

void CSettingsSheet::setRunner(Runner replacement) {
    runner() = std::move(replacement);
}

void CSettingsSheet::accept() {
    const int active = currentPage();
    for (int index = 0; index < pageCount(); ++index) {
        // The refused value is shown on its own page.
        tabs_->setCurrentIndex(index);
        if (!page(index)->validate()) return;
    }
    tabs_->setCurrentIndex(active);
    for (CSettingsPage* each : pages_) each->apply();
    settings_ = edited_;
    engine::saveSettings(settings_);
    lastPage() = active;
    QDialog::accept();
}

}  // namespace app
