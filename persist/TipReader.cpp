#include "persist/TipReader.h"

#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <ctime>

#include "persist/SettingsMap.h"

namespace persist {
namespace {

// asctime's layout, spelled out so that the locale the desktop program sets cannot change it.
std::string dateAndTime(std::time_t when) {
    static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                         "Thu", "Fri", "Sat"};
    static constexpr std::array<const char*, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    if (!localtime_r(&when, &local)) return {};
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%s %s %2d %02d:%02d:%02d %d",
                  kDays[static_cast<std::size_t>(local.tm_wday % 7)],
                  kMonths[static_cast<std::size_t>(local.tm_mon % 12)], local.tm_mday,
                  local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
    return text.data();
}

// A line of the file that holds no tip. A line ending in CR LF (written on Windows) counts as
// ending in a line feed, as a text-mode read there would give it.
bool isSkipped(const char* line) {
    switch (line[0]) {
        case '\t':
        case '\n':
        case ' ':
        case ';':
            return true;
        case '\r':
            return line[1] == '\n' || line[1] == '\0';
        default:
            return false;
    }
}

}  // namespace

TipReader::TipReader(const std::string& path) : file_(std::fopen(path.c_str(), "r")) {
    struct stat status {};
    // A folder opens for reading here but yields no text: it is no tips file either.
    if (file_ && (::fstat(fileno(file_.get()), &status) != 0 || !S_ISREG(status.st_mode)))
        file_.reset();
    if (!file_) return;
    std::int32_t offset = setting::kTipFilePos.get();
    const std::string stamp = dateAndTime(status.st_mtime);
    if (stamp != setting::kTipTimeStamp.get()) {
        offset = 0;
        setting::kTipTimeStamp.set(stamp);
    }
    if (std::fseek(file_.get(), offset, SEEK_SET) != 0) trouble_ = true;
}

TipReader::~TipReader() {
    if (file_) setting::kTipFilePos.set(static_cast<std::int32_t>(std::ftell(file_.get())));
}

std::string TipReader::next() {
    if (!file_) return {};
    std::array<char, kBufferSize> line{};
    bool wrapped = false;
    for (;;) {
        if (!std::fgets(line.data(), kBufferSize, file_.get())) {
            // A file without a single tip line would otherwise be read round for ever.
            if (wrapped) return {};
            wrapped = true;
            if (std::fseek(file_.get(), 0, SEEK_SET) != 0) {
                trouble_ = true;
                return {};
            }
            continue;
        }
        if (isSkipped(line.data())) continue;
        std::string tip(line.data());
        if (!tip.empty() && tip.back() == '\n') tip.pop_back();
        if (!tip.empty() && tip.back() == '\r') tip.pop_back();
        return tip;
    }
}

bool TipReader::takeTrouble() {
    const bool trouble = trouble_;
    trouble_ = false;
    return trouble;
}

std::string TipReader::fileTimeStamp(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return {};
    return dateAndTime(status.st_mtime);
}

}  // namespace persist
