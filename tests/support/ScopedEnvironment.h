#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace support {

// Sets and unsets environment variables for the life of the object and puts the old values
// back afterwards. Meant for test set-up before any thread starts (the environment is global).
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

    ScopedEnvironment& set(const std::string& name, const std::string& value);
    ScopedEnvironment& unset(const std::string& name);
    // Unsets every variable through which libcurl would pick a proxy, so that a machine's proxy
    // setting never reaches a loopback test.
    ScopedEnvironment& withoutProxies();

private:
    void remember(const std::string& name);
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace support
