#include "persist/DocumentFolders.h"

#include <filesystem>
#include <system_error>

#include "platform/SpecialFolders.h"

namespace persist {

std::string DocumentFolders::profileItems() {
    return platform::SpecialFolders::documents() + "/My Profile Items/";
}

// Company and product short name, as under the settings key.
std::string DocumentFolders::data() {
    return platform::SpecialFolders::applicationData() + "/Quorvantix/ZORV/";
}

std::string DocumentFolders::temporary() {
    return data() + "Temporary Files/";
}

bool DocumentFolders::create(const std::string& path) {
    if (path.empty() || path == "/") return false;
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

bool DocumentFolders::createAll() {
    bool all = create(profileItems());
    all = create(data()) && all;
    return create(temporary()) && all;
}

}  // namespace persist
