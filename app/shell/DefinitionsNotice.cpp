#include "app/shell/DefinitionsNotice.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <vector>

#include "report/DamagedDefinitions.h"

namespace app {

namespace {

QString text(const char* source) {
    return QCoreApplication::translate("CApplication", source);
}

QString quotedList(const std::vector<std::string>& names) {
    QStringList quoted;
    for (const std::string& name : names)
        quoted << QStringLiteral("'%1'").arg(QString::fromStdString(name));
    return quoted.join(QStringLiteral(", "));
}

}  // namespace

std::optional<QString> reportDefinitionsNotice(const std::string& path) {
    const auto damage = report::inspectDefinitions(path);
    if (!damage) return std::nullopt;
    const QString file = QString::fromStdString(path);
    QString kept = file + QStringLiteral(".damaged");
    QFile::remove(kept);
    if (!QFile::copy(file, kept)) kept.clear();
    QString out = text(
                      "The report definitions in '%1' could not be read (%2); the built-in "
                      "reports and style sets are used instead.")
                      .arg(file, QString::fromStdString(damage->cause));
    if (!damage->reports.empty())
        out += text("\n\nReports read from it before the damage: %1.")
                   .arg(quotedList(damage->reports));
    if (!damage->styles.empty())
        out += text("\n\nStyle sets read from it before the damage: %1.")
                   .arg(quotedList(damage->styles));
    out += kept.isEmpty() ? text("\n\nThe damaged file could not be copied aside.")
                          : text("\n\nA copy of the damaged file is kept as '%1'.").arg(kept);
    return out;
}

}  // namespace app
