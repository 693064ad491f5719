#include "app/statistics/CNewStatisticsDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "app/widgets/QueryEdit.h"

namespace app {

CNewStatisticsDlg::CNewStatisticsDlg(const query::StatisticsDefinition& definition, QWidget* parent)
    : QDialog(parent), title_(new QLineEdit), query_(new QueryEdit) {
    setWindowTitle(tr("Edit Statistics"));
    title_->setText(QString::fromStdString(definition.title));
    query_->setPlainText(QString::fromStdString(definition.query));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewStatisticsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewStatisticsDlg::reject);

    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addRow(tr("&Title"), title_);
    layout->addRow(tr("&Query"), query_);
    layout->addRow(buttons);
    resize(520, 300);
}

std::string CNewStatisticsDlg::title() const {
    return title_->text().toStdString();
}

std::string CNewStatisticsDlg::query() const {
    return query_->toPlainText().toStdString();
}

void CNewStatisticsDlg::accept() {
    if (query_->validate(this)) QDialog::accept();
}

}  // namespace app
