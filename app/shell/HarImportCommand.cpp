#include "app/shell/HarImportCommand.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/shell/AppContext.h"
#include "app/shell/ViewHost.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/MessageBoxes.h"
#include "export/HarImport.h"

namespace app {

namespace {

QString text(const char* source) {
    return QCoreApplication::translate("HarImportCommand", source);
}

// A large recording takes a while to read and analyse.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

bool HarImportCommand::open(QWidget* parent, AppContext& context, ViewHost& host) {
    const QString path = askOpenPath(parent, text("Import HAR"), kHarFilter);
    return !path.isEmpty() && importFile(parent, context, host, path);
}

bool HarImportCommand::importFile(QWidget* parent, AppContext& context, ViewHost& host,
                                  const QString& path) {
    exporting::HarImport imported;
    {
        const WaitCursor wait;
        imported =
            exporting::importHar(context.tree(), QDir::toNativeSeparators(path).toStdString());
    }
    if (!imported.error.empty() || imported.nodes.empty()) {
        const QString cause = imported.error.empty() ? text("The file holds no page.")
                                                     : QString::fromStdString(imported.error);
        MessageBoxes::error(
            parent, text("Error"),
            text("%1 could not be imported.\n\n%2").arg(QDir::toNativeSeparators(path), cause));
        return false;
    }
    host.setCurrentPage(imported.nodes.front()->page);
    host.setStatusText(QString::fromStdString(
        exporting::importSummaryText(imported.summary, QFileInfo(path).fileName().toStdString())));
    return true;
}

}  // namespace app
