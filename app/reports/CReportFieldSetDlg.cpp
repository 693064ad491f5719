#include "app/reports/CReportFieldSetDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "app/widgets/QueryEdit.h"
#include "report/FieldItem.h"

namespace app {

CReportFieldSetDlg::CReportFieldSetDlg(const report::FieldItem& item, QWidget* parent)
    : QDialog(parent), name_(new QLineEdit), query_(new QueryEdit) {
    setWindowTitle(tr("Field Set Properties"));
    name_->setText(QString::fromStdString(item.caption()));
    query_->setPlainText(QString::fromStdString(item.query()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReportFieldSetDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReportFieldSetDlg::reject);

    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addRow(tr("Field Name:"), name_);
    layout->addRow(tr("Query:"), query_);
    layout->addRow(buttons);
    resize(480, 240);
}

void CReportFieldSetDlg::copyTo(report::FieldItem& item) const {
    item.setCaption(name_->text().toStdString());
    item.setQuery(query_->toPlainText().toStdString());
}

}  // namespace app
