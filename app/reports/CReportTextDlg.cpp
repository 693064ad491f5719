#include "app/reports/CReportTextDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "report/HtmlTextItem.h"

namespace app {

CReportTextDlg::CReportTextDlg(const report::HtmlTextItem& item, QWidget* parent)
    : QDialog(parent), text_(new QPlainTextEdit) {
    setWindowTitle(tr("HTML Text Properties"));
    text_->setPlainText(QString::fromStdString(item.text()));
    text_->setTabChangesFocus(true);

    auto* label = new QLabel(tr("HTML Text:"));
    label->setBuddy(text_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReportTextDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReportTextDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(text_, 1);
    layout->addWidget(buttons);
    resize(460, 260);
}

void CReportTextDlg::copyTo(report::HtmlTextItem& item) const {
    item.setText(text_->toPlainText().toStdString());
}

}  // namespace app
