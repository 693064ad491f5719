#pragma once

#include <string_view>

#include "engine/http/TransferOptions.h"
#include "engine/settings/ConnectionSettings.h"

namespace engine {

class ConnectionPool;

// The root of every transfer of a run: the connection settings in force when the run started,
// the transfer limits, and the connection pool the transfers draw from. Immutable once made, so
// workers share it without locking; a run with new settings makes a new root.
class InternetRoot {
public:
    static constexpr std::string_view kUserAgent =
        "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; MyIE2; .NET CLR 1.0.3705)";

    // Initialises libcurl if no root did before. `pool` must outlive the root; most runs use
    // the process-wide one (ConnectionPool::process()).
    InternetRoot(ConnectionSettings settings, TransferOptions options, ConnectionPool& pool);

    const ConnectionSettings& settings() const { return settings_; }
    const TransferOptions& options() const { return options_; }
    ConnectionPool& pool() const { return pool_; }

private:
    ConnectionSettings settings_;
    TransferOptions options_;
    ConnectionPool& pool_;
};

}  // namespace engine
