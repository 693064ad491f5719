#pragma once

#include <QDialog>

namespace app {

// "About ZORV": the product icon, the product name with its version, and the build date.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // "Pagelyst 0.1.0\nBuild: Dec  9 2026".
    static QString aboutText();
};

}  // namespace app
