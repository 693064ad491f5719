#include "export/HarReader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <memory>
#include <streambuf>
#include <unordered_map>

#include "export/HarSaxHandler.h"

namespace exporting {
namespace {

// Passes at most `limit` bytes of another stream buffer on, then reports the end, so that no
// stream (a pipe, a file that grows) can make the reader go on for ever.
class BoundedBuffer : public std::streambuf {
public:
    BoundedBuffer(std::streambuf& source, std::uintmax_t limit)
        : source_(source), left_(limit), chunk_(std::make_unique<char[]>(kChunk)) {}
    bool exhausted() const { return exhausted_; }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (left_ == 0) {
            // One byte more than allowed tells a stream that is too long from one that ends.
            exhausted_ = !traits_type::eq_int_type(source_.sgetc(), traits_type::eof());
            return traits_type::eof();
        }
        const auto wanted = static_cast<std::streamsize>(std::min<std::uintmax_t>(left_, kChunk));
        const std::streamsize got = source_.sgetn(chunk_.get(), wanted);
        if (got <= 0) return traits_type::eof();
        left_ -= static_cast<std::uintmax_t>(got);
        setg(chunk_.get(), chunk_.get(), chunk_.get() + got);
        return traits_type::to_int_type(*gptr());
    }

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    std::streambuf& source_;
    std::uintmax_t left_;
    bool exhausted_ = false;
    std::unique_ptr<char[]> chunk_;
};

std::string megabytes(std::uintmax_t bytes) {
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

// What the format requires of what was read, checked once the whole file is known.
std::string missingParts(const HarSaxHandler& handler, const HarLog& log) {
    if (!handler.sawLog()) return "not a HAR file: the file holds no \"log\" object";
    if (log.version.empty()) return "not HAR 1.1 or 1.2: log.version is missing";
    if (log.version != "1.1" && log.version != "1.2")
        return "not HAR 1.1 or 1.2: log.version is \"" + log.version + "\"";
    if (!handler.sawEntries()) return "not a HAR file: log.entries is missing";
    std::unordered_map<std::string, std::size_t> ids;
    for (const HarPage& page : log.pages) {
        const std::string where = "log.pages[" + std::to_string(page.index) + "]";
        if (page.id.empty()) return where + ".id is missing";
        const auto [first, added] = ids.emplace(page.id, page.index);
        if (!added)
            return where + ".id \"" + page.id + "\" is the id of log.pages[" +
                   std::to_string(first->second) + "] already";
    }
    for (const HarEntry& entry : log.entries) {
        const std::string where = "log.entries[" + std::to_string(entry.index) + "]";
        if (!entry.startedMicros) return where + ".startedDateTime is missing";
        if (entry.url.empty()) return where + ".request.url is missing";
        if (!entry.status) return where + ".response.status is missing";
        if (!entry.timings) return where + " has no timings";
        if (!entry.timings->send) return where + ".timings.send is missing";
        if (!entry.timings->wait) return where + ".timings.wait is missing";
        if (!entry.timings->receive) return where + ".timings.receive is missing";
    }
    return {};
}

}  // namespace

HarReadResult readHar(std::istream& in, std::uintmax_t limit) {
    if (!in.rdbuf()) return {std::nullopt, "nothing to read"};
    BoundedBuffer bounded(*in.rdbuf(), limit);
    std::istream source(&bounded);
    HarSaxHandler handler;
    const bool parsed = nlohmann::json::sax_parse(source, &handler);
    if (bounded.exhausted())
        return {std::nullopt, "larger than " + megabytes(limit) + ": HAR files are read up to " +
                                  megabytes(limit)};
    if (!parsed || !handler.error().empty())
        return {std::nullopt, handler.error().empty() ? "not JSON" : handler.error()};
    if (std::string problem = missingParts(handler, handler.log()); !problem.empty())
        return {std::nullopt, std::move(problem)};
    return {std::move(handler.log()), {}};
}

HarReadResult readHarFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code code;
    if (fs::is_directory(path, code)) return {std::nullopt, "is a folder"};
    const std::uintmax_t size = fs::file_size(path, code);
    if (!code && size > kHarFileLimit)
        return {std::nullopt, "the file has " + megabytes(size) + "; HAR files are read up to " +
                                  megabytes(kHarFileLimit)};
    std::ifstream file(path, std::ios::binary);
    if (!file) return {std::nullopt, std::strerror(errno != 0 ? errno : ENOENT)};
    return readHar(file);
}

}  // namespace exporting
