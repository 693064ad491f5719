#include "app/settings/CSettingsPage.h"

#include <QLineEdit>

#include "app/widgets/MessageBoxes.h"

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
    MessageBoxes::warning(field->window(), tr("Settings"), message);
    return std::nullopt;
}

}  // namespace app
