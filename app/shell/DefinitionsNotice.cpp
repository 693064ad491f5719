#include "app/shell/DefinitionsNotice.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <vector>

#include "platform/RegistryStore.h"
#include "platform/RegistryText.h"
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

// Why something in a definitions file's place cannot be read at all; none when it can.
std::optional<QString> unreadable(const QFileInfo& info) {
    if (!info.exists() || (info.isFile() && info.isReadable())) return std::nullopt;
    return info.isFile() ? text("no permission to read it") : text("not a file");
}

// Copies a damaged definitions file aside as "<file>.damaged" before the program's end replaces
// it, and says where it is.
QString keepCopy(const QString& file) {
    const QString kept = file + QStringLiteral(".damaged");
    QFile::remove(kept);
    return QFile::copy(file, kept)
               ? text("\n\nA copy of the damaged file is kept as '%1'.").arg(kept)
               : text("\n\nThe damaged file could not be copied aside.");
}

}  // namespace

std::optional<QString> reportDefinitionsNotice(const std::string& path) {
    const QString file = QString::fromStdString(path);
    if (const auto why = unreadable(QFileInfo(file))) {
        return text(
                   "The report definitions in '%1' could not be read (%2); the built-in reports "
                   "and style sets are used instead, and changes to them cannot be saved.")
            .arg(file, *why);
    }
    const auto damage = report::inspectDefinitions(path);
    if (!damage) return std::nullopt;
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
    return out + keepCopy(file);
}

std::optional<QString> statisticsDefinitionsNotice(const std::string& path,
                                                   const std::string& cause) {
    const QString file = QString::fromStdString(path);
    const QFileInfo info(file);
    if (const auto why = unreadable(info)) {
        return text(
                   "The statistics definitions in '%1' could not be read (%2); the built-in "
                   "statistics are used instead, and changes to them cannot be saved.")
            .arg(file, *why);
    }
    if (cause.empty() || !info.exists() || info.size() == 0) return std::nullopt;
    return text(
               "The statistics definitions in '%1' could not be read (%2); the built-in "
               "statistics are used instead.")
               .arg(file, QString::fromStdString(cause)) +
           keepCopy(file);
}

std::optional<QString> settingsStoreNotice() {
    const QString file = QString::fromStdString(
        platform::RegistryStore::forHive(platform::RegistryHive::CurrentUser).file());
    const QFileInfo info(file);
    if (!info.exists() || (info.isFile() && info.size() == 0)) return std::nullopt;
    QFile store(file);
    if (!info.isFile() || !store.open(QIODevice::ReadOnly)) {
        return text(
                   "The settings in '%1' could not be read (%2); the default settings are used, "
                   "and changes to them cannot be kept.")
            .arg(file, info.isFile() ? store.errorString() : text("not a file"));
    }
    const bool whole =
        static_cast<std::size_t>(info.size()) <= platform::RegistryStore::kMaxFileSize &&
        platform::parseRegistryText(store.readAll().toStdString()).has_value();
    if (whole) return std::nullopt;
    // The store takes the first free number when it moves the file aside.
    int n = 1;
    while (QFileInfo::exists(file + QStringLiteral(".damaged-%1").arg(n))) ++n;
    return text(
               "The settings in '%1' are damaged and could not be read; the default settings are "
               "used instead.\n\nThe damaged file is kept as '%2'.")
        .arg(file, file + QStringLiteral(".damaged-%1").arg(n));
}

}  // namespace app
