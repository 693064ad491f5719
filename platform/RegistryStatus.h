#pragma once

#include <cstdint>

namespace platform {

// Answers of the registry operations. The numbers are the system error codes the rest of the
// program was written against, so they can be logged and compared as such.
enum class RegistryStatus : std::uint32_t {
    Success = 0,
    NotFound = 2,           // no such key or value
    InvalidParameter = 87,  // a malformed key path or name
    MoreData = 234,         // the caller's buffer is too small; the size asked for is reported
    NoMoreItems = 259,      // enumeration went past the last sub-key
    CantRead = 1012,        // the store file exists but cannot be read
    CantWrite = 1013,       // the store file could not be replaced
    KeyDeleted = 1018,      // the key behind an open handle was deleted meanwhile
    HasSubKeys = 1020,      // a key with sub-keys cannot be deleted in one step
};

// The two kinds of value the store holds.
enum class RegistryType : std::uint32_t {
    None = 0,
    String = 1,  // text; reported with its terminating zero
    Int = 4,     // 32-bit number, four bytes in host order
};

// The two branches, each kept in a file of its own.
enum class RegistryHive { CurrentUser, ClassesRoot };

}  // namespace platform
