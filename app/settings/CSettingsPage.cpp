#include "app/settings/CSettingsPage.h"

#include <QLineEdit>

#include "app/settings/SettingsMessages.h"

namespace app {

CSettingsPage::CSettingsPage(const QString& title, QWidget* parent)
    : QWidget(parent), title_(title) {}

std::optional<int> CSettingsPage::numberIn(QLineEdit* field, int minimum, int maximum,
                                           const QString& message) {
    bool ok = false;
    const qlonglong value = field->text().trimmed().toLongLong(&ok);
    if (ok && value >= minimum && value <= maximum) return static_cast<int>(value);
    field->setFocus();
    field->selectAll();
    SettingsMessages::warn(field, message);
    return std::nullopt;
}

}  // namespace app
