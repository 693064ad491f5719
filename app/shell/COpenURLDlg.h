#pragma once

#include <QDialog>

class QComboBox;

namespace engine {
class AddressMru;
}

namespace app {

// "Open URL": asks for an address, offering the recent ones.
class COpenURLDlg : public QDialog {
    Q_OBJECT

public:
    COpenURLDlg(const engine::AddressMru& recent, QWidget* parent = nullptr);

    QString address() const;
    QComboBox* box() const { return box_; }

private:
    QComboBox* box_;
};

}  // namespace app
