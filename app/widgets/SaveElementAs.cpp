#include "app/widgets/SaveElementAs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/widgets/FileDialogs.h"
#include "app/widgets/MessageBoxes.h"
#include "engine/items/SaveElement.h"
#include "engine/items/WebItem.h"

namespace app {

namespace {

// The last segment of the item's path, without its query; "index" for a folder.
QString suggestedName(const engine::WebItem& item) {
    QString path = QString::fromStdString(item.address().objectPath);
    path = path.section(QLatin1Char('?'), 0, 0);
    const QString name = path.section(QLatin1Char('/'), -1);
    return name.isEmpty() ? QStringLiteral("index") : name;
}

}  // namespace

bool saveElementAs(QWidget* parent, engine::SaveElement& saver, const engine::WebItem& item) {
    const engine::SaveElement::DialogChoice choice =
        engine::SaveElement::choiceFor(item.contentKind(), item.address().objectPath);
    QString folder = QString::fromStdString(saver.initialFolder());
    if (folder.isEmpty()) folder = QDir::homePath();
    const QString path =
        askSavePath(parent,
                    QString::fromLatin1(engine::SaveElement::kTitle.data(),
                                        static_cast<qsizetype>(engine::SaveElement::kTitle.size())),
                    QDir(folder).filePath(suggestedName(item)), choice.filter,
                    QString::fromStdString(choice.extension));
    if (path.isEmpty()) return false;
    if (saver.save(item, path.toStdString())) return true;
    MessageBoxes::error(parent, QString::fromLatin1(MessageBoxes::kProductTitle),
                        QCoreApplication::translate("SaveElementAs",
                                                    "The element could not be saved to %1.\n\n"
                                                    "An earlier file of that name, if any, is "
                                                    "unchanged.")
                            .arg(path));
    return false;
}

}  // namespace app
