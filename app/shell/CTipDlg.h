#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>

#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;

namespace persist {
class TipReader;
}

namespace app {

// "Tip of the Day": the next tip of the tips file under "Did you know...", "&Next Tip" for the
// one after, and "&Show Tips on StartUp". "&Close" stores the check box; the position in the
// file is stored when the dialog goes away, so the next dialog goes on from there.
class CTipDlg : public QDialog {
    Q_OBJECT

public:
    // Reads the first tip at once; tells the user when the file could not be read where the
    // last dialog stopped.
    explicit CTipDlg(const QString& tipsPath, QWidget* parent = nullptr);
    ~CTipDlg() override;

    QString tipText() const;
    QCheckBox* startUpBox() const { return startUp_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* closeButton() const { return close_; }

    // The picture beside the heading, drawn at `size` pixels square.
    static QPixmap lightBulb(int size);

private:
    void showNextTip();
    void reportTrouble();

    std::unique_ptr<persist::TipReader> reader_;
    QLabel* tip_ = nullptr;
    QCheckBox* startUp_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace app
