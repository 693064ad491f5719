#include "app/analysis/PreviewCache.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "engine/base/ContentKind.h"
#include "engine/html/ScriptFreeText.h"
#include "engine/items/WebItem.h"
#include "persist/DocumentFolders.h"

namespace app {

namespace {

// How many numbers held elsewhere or taken by leftovers a cache skips before it gives up.
constexpr int kMaxSkipped = 10000;

QString htmlName(const QString& path) {
    return path + QStringLiteral(".html");
}

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes `path` exclusively and writes `bytes` to it; on failure nothing of it is left and the
// cause is returned, with errno's value in `error` (EEXIST: the name was taken).
QString writeNew(const QString& path, std::string_view bytes, int& error) {
    const QByteArray name = QFile::encodeName(path);
    error = 0;
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = errno;
        return systemError(error);
    }
    while (!bytes.empty() && error == 0) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (written == 0 || errno != EINTR) {
            error = written == 0 ? EIO : errno;
        }
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0) return {};
    ::unlink(name.constData());
    return systemError(error);
}

void removeFile(const QString& path) {
    if (!path.isEmpty()) ::unlink(QFile::encodeName(path).constData());
}

}  // namespace

PreviewCache::PreviewCache()
    : PreviewCache(QString::fromStdString(persist::DocumentFolders::temporary())) {}

PreviewCache::PreviewCache(QString folder)
    : folder_(std::move(folder)), lock_(QFile::encodeName(folder_).toStdString()) {
    removeLeftovers(folder_);
}

PreviewCache::~PreviewCache() {
    clear();
}

QString PreviewCache::fileName(const QString& folder, int number) {
    return folder + QStringLiteral("lmdata%1.tmp").arg(number);
}

int PreviewCache::removeLeftovers(const QString& folder) {
    return PreviewFileLock::removeLeftovers(QFile::encodeName(folder).toStdString());
}

PreviewCache::File PreviewCache::fileFor(const engine::WebItem& item) {
    const std::shared_ptr<const std::string> body = item.body();
    const auto found = files_.find(item.id());
    if (found != files_.end()) {
        Entry& entry = found->second;
        // Compared by owner, so a body freed since is still told from the current one.
        const bool same = !entry.body.owner_before(body) && !body.owner_before(entry.body);
        if (same) return entry.file;
        // A new download: the old file goes, the new bytes get a new address.
        remove(entry);
        files_.erase(found);
    }

    std::error_code made;
    std::filesystem::create_directories(QFile::encodeName(folder_).toStdString(), made);
    if (made) {
        return {{},
                {},
                QStringLiteral("The folder %1 cannot be made: %2")
                    .arg(folder_, QString::fromLocal8Bit(made.message()))};
    }
    static const std::string kNothing;
    const std::string& bytes = body ? *body : kNothing;
    // Numbers only go up, so an address the engine has seen never names other content.
    for (int skipped = 0; skipped < kMaxSkipped; ++skipped) {
        const int number = next_++;
        const PreviewFileLock::Take take = lock_.take(number);
        if (take == PreviewFileLock::Take::HeldElsewhere) continue;
        if (take == PreviewFileLock::Take::Failed) {
            return {{},
                    {},
                    QStringLiteral("The folder %1 cannot be used: %2")
                        .arg(folder_, QString::fromStdString(lock_.error()))};
        }
        File file = write(number, item, bytes);
        if (file.path.isEmpty() && file.error.isEmpty()) {  // a leftover holds the name
            lock_.release(number);
            continue;
        }
        if (!file.error.isEmpty()) {
            lock_.release(number);
            return file;
        }
        files_[item.id()] = Entry{number, body, file};
        return file;
    }
    return {{}, {}, QStringLiteral("No free preview file name in %1.").arg(folder_)};
}

PreviewCache::File PreviewCache::write(int number, const engine::WebItem& item,
                                       const std::string& bytes) {
    const QString path = fileName(folder_, number);
    const bool document = item.contentKind() == engine::ContentKind::Html;
    const std::string text = document ? engine::withoutScripts(bytes) : std::string();
    const std::string_view content = document ? std::string_view(text) : std::string_view(bytes);
    int error = 0;
    QString cause = writeNew(path, content, error);
    if (error == EEXIST) return {};
    if (!cause.isEmpty()) return {{}, {}, QStringLiteral("Cannot write %1: %2").arg(path, cause)};
    if (!document) return {path, path, {}};

    const QString shown = htmlName(path);
    removeFile(shown);  // a leftover of this number: it is ours now
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(shown).constData()) == 0)
        return {path, shown, {}};
    // A file system without hard links gets a copy.
    cause = writeNew(shown, content, error);
    if (cause.isEmpty()) return {path, shown, {}};
    removeFile(path);
    return {{}, {}, QStringLiteral("Cannot write %1: %2").arg(shown, cause)};
}

void PreviewCache::remove(const Entry& entry) {
    removeFile(entry.file.path);
    if (entry.file.shown != entry.file.path) removeFile(entry.file.shown);
    // Released only once the files are gone, so that no clean-up can meet them unheld.
    lock_.release(entry.number);
}

void PreviewCache::clear() {
    for (const auto& [id, entry] : files_) remove(entry);
    files_.clear();
}

}  // namespace app
