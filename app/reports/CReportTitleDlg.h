#pragma once

#include <QDialog>

class QLineEdit;
class QSpinBox;

namespace report {
class TitleItem;
}

namespace app {

// "Title Properties": a title's level (1 to 10) and text. OK closes only with a level in range.
class CReportTitleDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMinimumLevel = 1;
    static constexpr int kMaximumLevel = 10;

    explicit CReportTitleDlg(const report::TitleItem& item, QWidget* parent = nullptr);

    // Copies the dialog's data into the item.
    void copyTo(report::TitleItem& item) const;

    QSpinBox* levelBox() const { return level_; }
    QLineEdit* textField() const { return text_; }

    void accept() override;

private:
    QSpinBox* level_;
    QLineEdit* text_;
};

}  // namespace app
