#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "app/analysis/PreviewFileLock.h"

namespace engine {
class WebItem;
}  // namespace engine

namespace app {

// The files the element preview shows, one per element while the page is shown, in the
// temporary folder: "<folder>lmdata<n>.tmp" with a running number no other running instance
// holds (PreviewFileLock), made exclusively and readable by the user alone. A document is
// written without its SCRIPT elements, any other element byte for byte as downloaded. The engine
// types a local file by its name and would show a document named ".tmp" as plain text, so a
// document also gets a second name of the same file ending in ".html", which is what the view
// loads; images and the rest load from the ".tmp" name itself. clear() and the destructor delete
// every file; the constructor deletes those a crashed run left. User-interface thread only.
class PreviewCache {
public:
    struct File {
        QString path;   // the element's file; empty when it could not be written
        QString shown;  // the name the view loads: path, or its ".html" name for a document
        QString error;  // why the file could not be written
    };

    // The program's temporary folder (persist::DocumentFolders::temporary()).
    PreviewCache();
    // `folder` ends in "/". Deletes the leftovers of crashed runs in it at once.
    explicit PreviewCache(QString folder);
    PreviewCache(const PreviewCache&) = delete;
    PreviewCache& operator=(const PreviewCache&) = delete;
    ~PreviewCache();

    // The file of `item`, written on the first call (the folder is made when missing); the same
    // file on later calls, unless the item's body has changed since (a new download), which
    // replaces the file by one with the next number.
    File fileFor(const engine::WebItem& item);
    // Deletes every file of the cache (the page shown changed).
    void clear();

    // How many elements have a file.
    std::size_t size() const { return files_.size(); }
    const QString& folder() const { return folder_; }

    // "<folder>lmdata<number>.tmp".
    static QString fileName(const QString& folder, int number);
    // Deletes what crashed runs left in `folder`; see PreviewFileLock::removeLeftovers.
    static int removeLeftovers(const QString& folder);

private:
    struct Entry {
        int number = 0;
        std::weak_ptr<const std::string> body;  // the body the file holds
        File file;
    };

    File write(int number, const engine::WebItem& item, const std::string& bytes);
    void remove(const Entry& entry);

    QString folder_;
    PreviewFileLock lock_;
    int next_ = 1;
    std::unordered_map<std::uint32_t, Entry> files_;  // by item id
};

}  // namespace app
