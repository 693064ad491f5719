#include "app/reports/CNewReportPropertyPage1.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

#include <algorithm>
#include <utility>
#include <vector>

#include "report/ReportManager.h"

namespace app {
namespace {

using Entry = std::pair<QString, std::int32_t>;

// (name, id) pairs in alphabetical order, ignoring case; equal names keep the id order.
void fillSorted(QComboBox& box, std::vector<Entry> entries) {
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    box.clear();
    for (const auto& [name, id] : entries) box.addItem(name, id);
}

}  // namespace

CNewReportPropertyPage1::CNewReportPropertyPage1(const report::ReportManager& reports,
                                                 QWidget* parent)
    : QWizardPage(parent),
      reports_(reports),
      name_(new QLineEdit(tr("New Report"))),
      basedOn_(new QComboBox),
      style_(new QComboBox),
      description_(new QLineEdit(tr("Report Description"))) {
    setTitle(tr("New Report"));
    fillTemplates();
    refreshStyles();
    takeTemplateStyle();
    connect(basedOn_, &QComboBox::currentIndexChanged, this,
            &CNewReportPropertyPage1::takeTemplateStyle);
    basedOn_->setMinimumContentsLength(30);

    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addRow(tr("Report &Name:"), name_);
    layout->addRow(tr("&Based on:"), basedOn_);
    layout->addRow(tr("&Style:"), style_);
    layout->addRow(tr("&Description:"), description_);
}

void CNewReportPropertyPage1::fillTemplates() {
    std::vector<Entry> entries;
    for (const auto& [id, report] : reports_.reports())
        entries.emplace_back(QString::fromStdString(report.name()), id);
    fillSorted(*basedOn_, std::move(entries));
    basedOn_->setCurrentIndex(basedOn_->count() > 0 ? 0 : -1);
}

void CNewReportPropertyPage1::refreshStyles() {
    const std::int32_t chosen = style_->count() > 0 ? styleId() : 0;
    std::vector<Entry> entries;
    for (const auto& [id, name] : reports_.listStyles())
        entries.emplace_back(QString::fromStdString(name), id);
    fillSorted(*style_, std::move(entries));
    chooseStyle(chosen);
}

// A set deleted since the report chose it shows as "Default", the set it renders with.
void CNewReportPropertyPage1::chooseStyle(std::int32_t styleId) {
    const int row = style_->findData(styleId);
    style_->setCurrentIndex(row >= 0 ? row : style_->findData(0));
}

void CNewReportPropertyPage1::takeTemplateStyle() {
    if (const report::Report* base = reports_.findReport(basedOn())) chooseStyle(base->styleId());
}

QString CNewReportPropertyPage1::name() const {
    return name_->text();
}

QString CNewReportPropertyPage1::description() const {
    return description_->text();
}

std::int32_t CNewReportPropertyPage1::basedOn() const {
    return basedOn_->currentIndex() >= 0 ? basedOn_->currentData().toInt() : 0;
}

std::int32_t CNewReportPropertyPage1::styleId() const {
    return style_->currentData().toInt();
}

}  // namespace app
