// Test fixtures that keep every test away from the real user's files: a scoped environment
// variable, and a temporary home folder that PAGELYST_HOME points at while it lives.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace testing_support {

// Sets (or with no value, unsets) an environment variable and restores it on destruction.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

private:
    std::string name_;
    std::optional<std::string> old_;
};

// A fresh folder under the system's temporary folder that serves as the program's home.
class TempHome {
public:
    TempHome() : home_(makeFolder()), env_("PAGELYST_HOME", home_.string()) {}
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;
    ~TempHome() {
        std::error_code ignored;
        std::filesystem::remove_all(home_, ignored);
    }

    const std::filesystem::path& path() const { return home_; }
    std::filesystem::path settingsFolder() const { return home_ / ".config" / "pagelyst"; }
    std::filesystem::path userStore() const { return settingsFolder() / "current-user.conf"; }

private:
    static std::filesystem::path makeFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pagelyst-test-XXXXXX");
        if (!::mkdtemp(pattern.data()))
            throw std::filesystem::filesystem_error(
                "mkdtemp", std::error_code(errno, std::generic_category()));
        return pattern;
    }

    std::filesystem::path home_;
    ScopedEnv env_;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

inline unsigned fileMode(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace testing_support
