#include "app/settings/SettingsMessages.h"

#include <QWidget>

namespace app {
namespace {

SettingsMessages::Warner& warner() {
    static SettingsMessages::Warner instance;
    return instance;
}

SettingsMessages::Asker& asker() {
    static SettingsMessages::Asker instance;
    return instance;
}

QString title() {
    return QStringLiteral("Settings");
}

}  // namespace

void SettingsMessages::warn(QWidget* field, const QString& text) {
    if (warner()) {
        warner()(field, text);
        return;
    }
    QMessageBox::warning(field != nullptr ? field->window() : nullptr, title(), text);
}

QMessageBox::StandardButton SettingsMessages::ask(QWidget* parent, const QString& text) {
    if (asker()) return asker()(parent, text);
    return QMessageBox::question(parent, title(), text,
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

void SettingsMessages::setWarner(Warner warner_) {
    warner() = std::move(warner_);
}
void SettingsMessages::setAsker(Asker asker_) {
    asker() = std::move(asker_);
}

}  // namespace app
