#pragma once

#include "app/settings/CSettingsPage.h"
#include "engine/settings/ConnectionSettings.h"

class QButtonGroup;
class QLineEdit;
class QRadioButton;

namespace app {

// "Connection": the proxy (system settings, none, or a named server with its port) and the
// credentials sent to web sites that require authorization.
class CSettingsPageConnection : public CSettingsPage {
    Q_OBJECT

public:
    // Edits `settings` in place once applied.
    explicit CSettingsPageConnection(engine::ConnectionSettings& settings,
                                     QWidget* parent = nullptr);

    bool validate() override;
    void apply() override;

    QRadioButton* proxyChoice(int proxy) const;
    QRadioButton* authenticationChoice(bool required) const;
    QLineEdit* serverField() const { return server_; }
    QLineEdit* portField() const { return port_; }
    QLineEdit* loginField() const { return login_; }
    QLineEdit* passwordField() const { return password_; }

private:
    void updateEnabled();

    engine::ConnectionSettings& settings_;
    QButtonGroup* proxy_;
    QButtonGroup* authentication_;
    QLineEdit* server_;
    QLineEdit* port_;
    QLineEdit* login_;
    QLineEdit* password_;
};

}  // namespace app
