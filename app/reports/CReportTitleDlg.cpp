#include "app/reports/CReportTitleDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>

#include "app/widgets/MessageBoxes.h"
#include "report/TitleItem.h"

namespace app {

CReportTitleDlg::CReportTitleDlg(const report::TitleItem& item, QWidget* parent)
    : QDialog(parent), level_(new QSpinBox), text_(new QLineEdit) {
    setWindowTitle(tr("Title Properties"));
    level_->setRange(kMinimumLevel, kMaximumLevel);
    level_->setValue(item.level());
    text_->setText(QString::fromStdString(item.text()));
    text_->setMinimumWidth(320);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReportTitleDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReportTitleDlg::reject);

    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    layout->addRow(tr("Title Level:"), level_);
    layout->addRow(tr("Title Text:"), text_);
    layout->addRow(buttons);
}

void CReportTitleDlg::copyTo(report::TitleItem& item) const {
    item.setText(text_->text().toStdString());
    item.setLevel(level_->value());
}

void CReportTitleDlg::accept() {
    // The spin box refuses digits beyond the range but lets an empty or too small number stand
    // while it is typed; such a level is refused here.
    if (!level_->hasAcceptableInput()) {
        MessageBoxes::warning(
            this, QString::fromLatin1(MessageBoxes::kProductTitle),
            tr("Please enter an integer between %1 and %2.").arg(kMinimumLevel).arg(kMaximumLevel));
        level_->setFocus();
        level_->selectAll();
        return;
    }
    QDialog::accept();
}

}  // namespace app
