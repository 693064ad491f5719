#include "engine/http/ServerConnection.h"

#include <utility>

#include "engine/http/Transfer.h"

namespace engine {

ServerConnection::ServerConnection(std::string key) : key_(std::move(key)) {
    Transfer::configureHandle(handles_);
}

TransferResult ServerConnection::transfer(const InternetRoot& root, std::string_view acceptPattern,
                                          BodyBuffer& body) {
    status_.restart();
    Transfer transfer(handles_, status_, target_, root, acceptPattern, body);
    return transfer.run();
}

}  // namespace engine
