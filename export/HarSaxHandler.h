#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "export/HarLog.h"

namespace exporting {

// The SAX side of the HAR reader: nlohmann's parser streams the file through it and it keeps
// the fields of HarLog, checking each value where it stands. The first problem stops the parse
// and is kept as the message to show, naming the field ("log.entries[3].timings.wait is -5 ms:
// a time is -1 (none) or not negative"). Containers the reader does not need are counted, not
// stored, so nesting costs no memory.
class HarSaxHandler {
public:
    using json = nlohmann::json;

    bool null();
    bool boolean(bool value);
    bool number_integer(json::number_integer_t value);
    bool number_unsigned(json::number_unsigned_t value);
    bool number_float(json::number_float_t value, const std::string& text);
    bool string(std::string& value);
    bool binary(json::binary_t& value);
    bool start_object(std::size_t elements);
    bool key(std::string& value);
    bool end_object();
    bool start_array(std::size_t elements);
    bool end_array();
    template <class Exception>
    bool parse_error(std::size_t /*position*/, const std::string& /*token*/, const Exception& e) {
        return syntaxError(e.what());
    }

    // After the parse: whether a "log" object was read, the first problem ("" when none), and
    // what was read.
    bool sawLog() const { return sawLog_; }
    bool sawEntries() const { return sawEntries_; }
    const std::string& error() const { return error_; }
    HarLog& log() { return log_; }

private:
    enum class Where : std::uint8_t {
        Document,
        Log,
        Pages,
        Page,
        Entries,
        Entry,
        Request,
        RequestHeaders,
        RequestHeader,
        Response,
        ResponseHeaders,
        ResponseHeader,
        Content,
        Timings,
    };
    enum class Kind : std::uint8_t { None, Object, Array, Text, Number };
    struct Field;

    Field field() const;
    bool open(Kind kind);
    bool close();
    bool scalar(Kind kind, double number, std::string* text);
    bool store(const Field& f, double number, std::string* text);
    bool storeText(const Field& f, std::string& text);
    bool storeNumber(const Field& f, double number);
    bool storeInitiator(Kind kind, std::string* text);
    bool enter(Where where);
    bool fail(const std::string& message);
    bool syntaxError(std::string_view what);
    std::string path() const;
    std::string fieldPath() const;
    HarEntry& entry() { return log_.entries.back(); }

    HarLog log_;
    std::vector<Where> stack_;        // only the containers the reader knows: a few levels at most
    std::string key_;                 // the last key, when short enough to be one the reader knows
    std::size_t skipDepth_ = 0;       // inside a container the reader does not need
    std::size_t initiatorDepth_ = 0;  // inside an entry's _initiator: 1 at its own level
    std::string headerName_, headerValue_;
    bool sawLog_ = false, sawPages_ = false, sawEntries_ = false;
    std::string error_;
};

}  // namespace exporting
