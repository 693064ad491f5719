#include "app/shell/ScenarioCommands.h"

#include <QCoreApplication>
#include <QDir>

#include "app/shell/AppContext.h"
#include "app/widgets/FileDialogs.h"
#include "app/widgets/MessageBoxes.h"

namespace app {

bool ScenarioCommands::load(QWidget* parent, AppContext& context, const QString& path) {
    const auto problem = context.document().load(QDir::toNativeSeparators(path).toStdString());
    if (!problem) return true;
    MessageBoxes::error(parent, QCoreApplication::translate("ScenarioCommands", "Error"),
                        QString::fromStdString(*problem));
    return false;
}

bool ScenarioCommands::open(QWidget* parent, AppContext& context) {
    const QString path = askOpenPath(
        parent, QCoreApplication::translate("ScenarioCommands", "Open Scenario"), kScenarioFilter);
    return !path.isEmpty() && load(parent, context, path);
}

bool ScenarioCommands::save(QWidget* parent, AppContext& context) {
    const QString path =
        askSavePath(parent, QCoreApplication::translate("ScenarioCommands", "Save Scenario"),
                    QString::fromStdString(context.document().path()), kScenarioFilter,
                    QString::fromLatin1(kScenarioExtension));
    return !path.isEmpty() && saveTo(parent, context, path);
}

bool ScenarioCommands::saveTo(QWidget* parent, AppContext& context, const QString& path) {
    const bool autoFlag = context.tree().crawlController().enabled;
    std::string reason;
    if (context.document().save(path.toStdString(), autoFlag, &reason)) return true;
    MessageBoxes::error(
        parent, QString::fromLatin1(MessageBoxes::kProductTitle),
        QCoreApplication::translate("ScenarioCommands",
                                    "The scenario could not be saved to %1: %2.\n\nAn earlier "
                                    "file of that name, if any, is unchanged.")
            .arg(path, QString::fromLocal8Bit(reason)));
    return false;
}

}  // namespace app
