#include "engine/http/InternetRoot.h"

#include <utility>

#include "engine/base/CurlLibrary.h"

namespace engine {

InternetRoot::InternetRoot(ConnectionSettings settings, TransferOptions options,
                           ConnectionPool& pool)
    : settings_(std::move(settings)), options_(std::move(options)), pool_(pool) {
    ensureCurlReady();
}

}  // namespace engine
