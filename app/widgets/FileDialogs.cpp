#include "app/widgets/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace app {

namespace {

PathChooser& chooser() {
    static PathChooser instance;
    return instance;
}

}  // namespace

void setPathChooser(PathChooser replacement) {
    chooser() = std::move(replacement);
}

QString qtFilter(std::string_view filter) {
    const QStringList parts =
        QString::fromLatin1(filter.data(), static_cast<qsizetype>(filter.size()))
            .split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList names;
    for (qsizetype i = 0; i < parts.size(); i += 2) names << parts[i];
    return names.join(QStringLiteral(";;"));
}

QString askSavePath(QWidget* parent, const QString& caption, const QString& initial,
                    std::string_view filter, const QString& extension) {
    const QString filters = qtFilter(filter);
    QString chosenFilter = filters.section(QStringLiteral(";;"), 0, 0);
    QString path =
        chooser() ? chooser()(caption)
                  : QFileDialog::getSaveFileName(parent, caption, initial, filters, &chosenFilter);
    if (path.isEmpty()) return {};
    if (!extension.isEmpty() && QFileInfo(path).suffix().isEmpty() &&
        chosenFilter == filters.section(QStringLiteral(";;"), 0, 0)) {
        path += QLatin1Char('.') + extension;
    }
    return path;
}

QString askOpenPath(QWidget* parent, const QString& caption, std::string_view filter) {
    if (chooser()) return chooser()(caption);
    return QFileDialog::getOpenFileName(parent, caption, QString(), qtFilter(filter));
}

}  // namespace app
