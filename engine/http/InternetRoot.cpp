#include "engine/http/InternetRoot.h"

#include <utility>

#include "engine/base/CurlLibrary.h"
#include "engine/http/ConnectionPool.h"

namespace engine {

InternetRoot::InternetRoot(ConnectionSettings settings, TransferOptions options)
    : InternetRoot(std::move(settings), std::move(options), ConnectionPool::process()) {}

InternetRoot::InternetRoot(ConnectionSettings settings, TransferOptions options,
                           ConnectionPool& pool)
    : settings_(std::move(settings)), options_(std::move(options)), pool_(pool) {
    ensureCurlReady();
}

}  // namespace engine
