#include "app/shell/HarExportCommand.h"

#include <QCoreApplication>
#include <QDir>

#include <memory>
#include <string>
#include <vector>

#include "app/shell/AppContext.h"
#include "app/shell/HarImportCommand.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/MessageBoxes.h"
#include "engine/crawl/SiteTree.h"
#include "export/HarWriter.h"

namespace app {

namespace {

QString text(const char* source) {
    return QCoreApplication::translate("HarExportCommand", source);
}

}  // namespace

bool HarExportCommand::save(QWidget* parent, AppContext& context) {
    const QString path = askSavePath(parent, text("Export HAR"), QStringLiteral("pages.har"),
                                     HarImportCommand::kHarFilter, QStringLiteral("har"));
    return !path.isEmpty() && exportTo(parent, context, path);
}

bool HarExportCommand::exportTo(QWidget* parent, AppContext& context, const QString& path) {
    std::vector<std::shared_ptr<engine::PageEntry>> pages;
    for (const engine::SiteNode* node : context.tree().displayOrder()) pages.push_back(node->page);
    std::string error;
    if (exporting::writeHar(QDir::toNativeSeparators(path).toStdString(), pages, error))
        return true;
    MessageBoxes::error(parent, text("Error"),
                        text("%1 could not be written.\n\n%2")
                            .arg(QDir::toNativeSeparators(path), QString::fromStdString(error)));
    return false;
}

}  // namespace app
