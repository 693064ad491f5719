#include "app/settings/CSettingsPageConnection.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace app {
namespace {

QRadioButton* addChoice(QButtonGroup* group, QVBoxLayout* layout, const QString& text, int id) {
    auto* button = new QRadioButton(text);
    group->addButton(button, id);
    layout->addWidget(button);
    return button;
}

}  // namespace

CSettingsPageConnection::CSettingsPageConnection(engine::ConnectionSettings& settings,
                                                 QWidget* parent)
    : CSettingsPage(tr("Connection"), parent),
      settings_(settings),
      proxy_(new QButtonGroup(this)),
      authentication_(new QButtonGroup(this)),
      server_(new QLineEdit(QString::fromStdString(settings.proxyServer))),
      port_(new QLineEdit(QString::number(settings.proxyPort))),
      login_(new QLineEdit(QString::fromStdString(settings.name))),
      password_(new QLineEdit(QString::fromStdString(settings.password))) {
    using engine::ConnectionSettings;
    password_->setEchoMode(QLineEdit::Password);
    server_->setObjectName(QStringLiteral("proxyServer"));
    port_->setObjectName(QStringLiteral("proxyPort"));

    auto* proxyBox = new QGroupBox(tr("Proxy"));
    auto* proxyLayout = new QVBoxLayout(proxyBox);
    addChoice(proxy_, proxyLayout, tr("Use system settings"), ConnectionSettings::kProxySystem);
    addChoice(proxy_, proxyLayout, tr("Not using proxy"), ConnectionSettings::kProxyNone);
    addChoice(proxy_, proxyLayout, tr("Use proxy server"), ConnectionSettings::kProxyNamed);
    auto* serverForm = new QFormLayout;
    serverForm->addRow(tr("Server:"), server_);
    serverForm->addRow(tr("Port:"), port_);
    proxyLayout->addLayout(serverForm);

    auto* authBox = new QGroupBox(tr("Authorization"));
    auto* authLayout = new QVBoxLayout(authBox);
    addChoice(authentication_, authLayout, tr("Web site &doesn't require authorization"), 0);
    addChoice(authentication_, authLayout, tr("Web site &requires authorization"), 1);
    auto* loginForm = new QFormLayout;
    loginForm->addRow(tr("&Login:"), login_);
    loginForm->addRow(tr("&Password:"), password_);
    authLayout->addLayout(loginForm);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(proxyBox);
    layout->addWidget(authBox);
    layout->addStretch();

    const int proxy = settings.proxy >= ConnectionSettings::kProxySystem &&
                              settings.proxy <= ConnectionSettings::kProxyNamed
                          ? settings.proxy
                          : ConnectionSettings::kProxySystem;
    proxy_->button(proxy)->setChecked(true);
    authentication_->button(settings.authentication ? 1 : 0)->setChecked(true);
    connect(proxy_, &QButtonGroup::idToggled, this, [this] { updateEnabled(); });
    connect(authentication_, &QButtonGroup::idToggled, this, [this] { updateEnabled(); });
    updateEnabled();
}

QRadioButton* CSettingsPageConnection::proxyChoice(int proxy) const {
    return qobject_cast<QRadioButton*>(proxy_->button(proxy));
}

QRadioButton* CSettingsPageConnection::authenticationChoice(bool required) const {
    return qobject_cast<QRadioButton*>(authentication_->button(required ? 1 : 0));
}

void CSettingsPageConnection::updateEnabled() {
    const bool named = proxy_->checkedId() == engine::ConnectionSettings::kProxyNamed;
    server_->setEnabled(named);
    port_->setEnabled(named);
    const bool required = authentication_->checkedId() == 1;
    login_->setEnabled(required);
    password_->setEnabled(required);
}

bool CSettingsPageConnection::validate() {
    // A port typed for a proxy that is not in use is not refused; it is simply not kept.
    if (!port_->isEnabled()) return true;
    return numberIn(port_, 0, 65535, tr("The port must be a whole number from 0 to 65535."))
        .has_value();
}

void CSettingsPageConnection::apply() {
    settings_.proxy = proxy_->checkedId();
    settings_.proxyServer = server_->text().toStdString();
    if (port_->isEnabled()) {
        settings_.proxyPort = port_->text().trimmed().toInt();
    }
    settings_.authentication = authentication_->checkedId() == 1;
    settings_.name = login_->text().toStdString();
    settings_.password = password_->text().toStdString();
}

}  // namespace app
