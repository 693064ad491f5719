#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace report {
class HtmlTextItem;
}

namespace app {

// "HTML Text Properties": the HTML a paragraph holds, taken as written.
class CReportTextDlg : public QDialog {
    Q_OBJECT

public:
    explicit CReportTextDlg(const report::HtmlTextItem& item, QWidget* parent = nullptr);

    void copyTo(report::HtmlTextItem& item) const;

    QPlainTextEdit* textField() const { return text_; }

private:
    QPlainTextEdit* text_;
};

}  // namespace app
