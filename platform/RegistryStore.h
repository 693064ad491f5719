#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/RegistryNode.h"
#include "platform/RegistryStatus.h"

namespace platform {

// One branch of the registry, kept in a text file (RegistryText.h). Nothing is cached: every
// operation reads the file again, so several processes share one store.
//
// Changes are read-modify-write under an exclusive advisory lock (flock) on "<file>.lock"; the
// lock file is separate because the store file itself is replaced on every change. The new text
// goes through xlib::SaveStream (temporary file, flush, rename, folder flush) with mode 0600, as
// the store holds a password: a failed save leaves the previous file as it was.
//
// A file that exists but is not a complete store file is moved aside to "<file>.damaged-N" and
// the branch reads as empty, so defaults apply and the damaged file stays for inspection.
class RegistryStore {
public:
    // Files larger than this are not a store this program wrote; they count as damaged.
    static constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

    explicit RegistryStore(std::string file) : file_(std::move(file)) {}

    // The store of a branch in the settings folder as the environment names it now.
    static RegistryStore forHive(RegistryHive hive);

    const std::string& file() const { return file_; }

    // Reads the whole branch into root. A missing file is an empty branch. Returns CantRead when
    // the file exists but cannot be read (root is then empty).
    RegistryStatus read(RegistryNode& root) const;

    // Applies change to the current tree under the lock and saves the result when change returns
    // Success and the text differs from the file. Returns change's status, or CantWrite when
    // the folder, the lock or the save fails (the file is then unchanged).
    using Change = std::function<RegistryStatus(RegistryNode& root)>;
    RegistryStatus update(const Change& change) const;

private:
    enum class Load { Missing, Loaded, Damaged, Unreadable };
    Load load(std::string& text, RegistryNode& root) const;
    bool moveAside() const;

    std::string file_;
};

}  // namespace platform
