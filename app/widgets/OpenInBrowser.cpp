#include "app/widgets/OpenInBrowser.h"

#include <QCoreApplication>

#include "app/widgets/MessageBoxes.h"
#include "engine/settings/BrowserCommand.h"

namespace app {

bool openInBrowser(QWidget* parent, const std::string& address) {
    if (engine::openInBrowser(address)) return true;
    MessageBoxes::error(
        parent, QString::fromLatin1(MessageBoxes::kProductTitle),
        QCoreApplication::translate("OpenInBrowser", "No web browser could be started for %1.")
            .arg(QString::fromStdString(address)));
    return false;
}

}  // namespace app
