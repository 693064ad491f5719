#include "export/HarSaxHandler.h"

#include <cmath>
#include <cstdio>

#include "engine/base/AsciiText.h"
#include "export/HarDate.h"

namespace exporting {

namespace {

// A field's value that is kept whatever its length (it is only ever compared with short words).
constexpr std::size_t kMaxWord = 64;
// Keys longer than this are none the reader knows.
constexpr std::size_t kMaxKey = 32;

enum class Id : std::uint8_t {
    Unknown,
    Log,
    Version,
    Pages,
    Entries,
    PageElement,
    PageId,
    PageTitle,
    EntryElement,
    Pageref,
    Started,
    Request,
    Response,
    Timings,
    Initiator,
    ResourceType,
    FromCache,
    Error,
    Comment,
    Offset,
    Url,
    RequestHeaders,
    ResponseHeaders,
    HeaderElement,
    HeaderName,
    HeaderValue,
    Status,
    HttpVersion,
    Content,
    RedirectUrl,
    BodySize,
    ContentSize,
    MimeType,
    Blocked,
    Dns,
    Connect,
    Ssl,
    Send,
    Wait,
    Receive,
};

std::string shownText(std::string_view text) {
    constexpr std::size_t kShown = 40;
    if (text.size() > kShown) return "\"" + std::string(text.substr(0, kShown)) + "...\"";
    return "\"" + std::string(text) + "\"";
}

std::string number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

void keep(std::string& target, const std::string& value, std::size_t limit) {
    target.assign(value, 0, std::min(value.size(), limit));
}

}  // namespace

struct HarSaxHandler::Field {
    Where where;
    std::string_view key;  // "" for the elements of an array
    Id id;
    Kind kind;
    bool strict;  // a value of another kind is an error, not a field to pass over
    Where child = Where::Document;
};

HarSaxHandler::Field HarSaxHandler::field() const {
    using W = Where;
    using K = Kind;
    // The fields of the format are strict; the browsers' own ("_initiator") are taken when
    // they have the expected shape and passed over otherwise.
    static constexpr Field kFields[] = {
        {W::Document, "log", Id::Log, K::Object, true, W::Log},
        {W::Log, "version", Id::Version, K::Text, true},
        {W::Log, "pages", Id::Pages, K::Array, true, W::Pages},
        {W::Log, "entries", Id::Entries, K::Array, true, W::Entries},
        {W::Pages, "", Id::PageElement, K::Object, true, W::Page},
        {W::Page, "id", Id::PageId, K::Text, true},
        {W::Page, "title", Id::PageTitle, K::Text, true},
        {W::Entries, "", Id::EntryElement, K::Object, true, W::Entry},
        {W::Entry, "pageref", Id::Pageref, K::Text, true},
        {W::Entry, "startedDateTime", Id::Started, K::Text, true},
        {W::Entry, "request", Id::Request, K::Object, true, W::Request},
        {W::Entry, "response", Id::Response, K::Object, true, W::Response},
        {W::Entry, "timings", Id::Timings, K::Object, true, W::Timings},
        {W::Entry, "_initiator", Id::Initiator, K::Object, false},
        {W::Entry, "_resourceType", Id::ResourceType, K::Text, false},
        {W::Entry, "_fromCache", Id::FromCache, K::Text, false},
        {W::Entry, "_error", Id::Error, K::Text, false},
        {W::Entry, "comment", Id::Comment, K::Text, false},
        {W::Entry, "_offset", Id::Offset, K::Number, false},
        {W::Request, "url", Id::Url, K::Text, true},
        {W::Request, "headers", Id::RequestHeaders, K::Array, false, W::RequestHeaders},
        {W::RequestHeaders, "", Id::HeaderElement, K::Object, false, W::RequestHeader},
        {W::RequestHeader, "name", Id::HeaderName, K::Text, false},
        {W::RequestHeader, "value", Id::HeaderValue, K::Text, false},
        {W::Response, "status", Id::Status, K::Number, true},
        {W::Response, "httpVersion", Id::HttpVersion, K::Text, false},
        {W::Response, "content", Id::Content, K::Object, true, W::Content},
        {W::Response, "redirectURL", Id::RedirectUrl, K::Text, false},
        {W::Response, "bodySize", Id::BodySize, K::Number, true},
        {W::Response, "headers", Id::ResponseHeaders, K::Array, false, W::ResponseHeaders},
        {W::Response, "_error", Id::Error, K::Text, false},
        {W::ResponseHeaders, "", Id::HeaderElement, K::Object, false, W::ResponseHeader},
        {W::ResponseHeader, "name", Id::HeaderName, K::Text, false},
        {W::ResponseHeader, "value", Id::HeaderValue, K::Text, false},
        {W::Content, "size", Id::ContentSize, K::Number, true},
        {W::Content, "mimeType", Id::MimeType, K::Text, false},
        {W::Timings, "blocked", Id::Blocked, K::Number, true},
        {W::Timings, "dns", Id::Dns, K::Number, true},
        {W::Timings, "connect", Id::Connect, K::Number, true},
        {W::Timings, "ssl", Id::Ssl, K::Number, true},
        {W::Timings, "send", Id::Send, K::Number, true},
        {W::Timings, "wait", Id::Wait, K::Number, true},
        {W::Timings, "receive", Id::Receive, K::Number, true},
    };
    const Where where = stack_.back();
    const bool array = where == W::Pages || where == W::Entries || where == W::RequestHeaders ||
                       where == W::ResponseHeaders;
    const std::string_view key = array ? std::string_view() : std::string_view(key_);
    for (const Field& f : kFields)
        if (f.where == where && f.key == key) return f;
    return {where, key, Id::Unknown, K::None, false};
}

bool HarSaxHandler::fail(const std::string& message) {
    if (error_.empty()) error_ = message;
    return false;
}

bool HarSaxHandler::syntaxError(std::string_view what) {
    // nlohmann's messages begin with their exception's name: "[json.exception.parse_error.101]".
    if (const auto end = what.find("] ");
        what.rfind("[json.exception.", 0) == 0 && end != what.npos)
        what.remove_prefix(end + 2);
    return fail("not JSON: " + std::string(what));
}

// "log.entries[3].timings": where the current container stands.
std::string HarSaxHandler::path() const {
    std::string text;
    for (std::size_t i = 1; i < stack_.size(); ++i) {
        switch (stack_[i]) {
            case Where::Log:
                text += "log";
                break;
            case Where::Pages:
                text += ".pages";
                break;
            case Where::Page:
                text += "[" + std::to_string(log_.pages.size() - 1) + "]";
                break;
            case Where::Entries:
                text += ".entries";
                break;
            case Where::Entry:
                text += "[" + std::to_string(log_.entries.size() - 1) + "]";
                break;
            case Where::Request:
                text += ".request";
                break;
            case Where::Response:
                text += ".response";
                break;
            case Where::Content:
                text += ".content";
                break;
            case Where::Timings:
                text += ".timings";
                break;
            default:
                text += ".headers[]";
                break;
        }
    }
    return text;
}

// The path of the value that arrives now: the container's, and its key or array place.
std::string HarSaxHandler::fieldPath() const {
    const Where where = stack_.back();
    if (where == Where::Document) return key_;
    if (where == Where::Pages) return path() + "[" + std::to_string(log_.pages.size()) + "]";
    if (where == Where::Entries) return path() + "[" + std::to_string(log_.entries.size()) + "]";
    return path() + "." + key_;
}

bool HarSaxHandler::enter(Where where) {
    if (where == Where::Page) {
        if (log_.pages.size() == HarLimits::kMaxPages)
            return fail("log.pages holds more than " + std::to_string(HarLimits::kMaxPages) +
                        " pages");
        log_.pages.push_back({});
        log_.pages.back().index = log_.pages.size() - 1;
    } else if (where == Where::Entry) {
        if (log_.entries.size() == HarLimits::kMaxEntries)
            return fail("log.entries holds more than " + std::to_string(HarLimits::kMaxEntries) +
                        " entries");
        log_.entries.push_back({});
        entry().index = log_.entries.size() - 1;
    } else if (where == Where::Timings) {
        entry().timings.emplace();
    } else if (where == Where::RequestHeader || where == Where::ResponseHeader) {
        headerName_.clear();
        headerValue_.clear();
    }
    stack_.push_back(where);
    return true;
}

bool HarSaxHandler::open(Kind kind) {
    if (skipDepth_ > 0) {
        ++skipDepth_;
        return true;
    }
    if (initiatorDepth_ > 0) {
        ++initiatorDepth_;
        return true;
    }
    if (stack_.empty()) {
        if (kind != Kind::Object) return fail("not a HAR file: the file holds no \"log\" object");
        stack_.push_back(Where::Document);
        return true;
    }
    const Field f = field();
    if (f.kind != kind) {
        if (f.strict)
            return fail(fieldPath() + (f.kind == Kind::Object  ? " is not an object"
                                       : f.kind == Kind::Array ? " is not an array"
                                       : f.kind == Kind::Text  ? " is not a text"
                                                               : " is not a number"));
        ++skipDepth_;
        return true;
    }
    // A second "log", "pages" or "entries" (a repeated key) is passed over: the first one counts.
    if ((f.id == Id::Log && sawLog_) || (f.id == Id::Pages && sawPages_) ||
        (f.id == Id::Entries && sawEntries_)) {
        ++skipDepth_;
        return true;
    }
    if (f.id == Id::Log) sawLog_ = true;
    if (f.id == Id::Pages) sawPages_ = true;
    if (f.id == Id::Entries) sawEntries_ = true;
    if (f.id == Id::Initiator) {
        initiatorDepth_ = 1;
        return true;
    }
    return enter(f.child);
}

bool HarSaxHandler::close() {
    if (skipDepth_ > 0) {
        --skipDepth_;
        return true;
    }
    if (initiatorDepth_ > 0) {
        --initiatorDepth_;
        return true;
    }
    const Where where = stack_.back();
    stack_.pop_back();
    if (where == Where::RequestHeader && engine::equalIgnoringCase(headerName_, "referer"))
        entry().referer = headerValue_;
    if (where == Where::ResponseHeader && engine::equalIgnoringCase(headerName_, "location") &&
        entry().redirectUrl.empty())
        entry().redirectUrl = headerValue_;
    return true;
}

bool HarSaxHandler::storeInitiator(Kind kind, std::string* text) {
    if (kind != Kind::Text) return true;
    HarEntry& e = entry();
    if (key_ == "type" && initiatorDepth_ == 1) {
        keep(e.initiatorType, *text, kMaxWord);
    } else if (key_ == "url" && !text->empty() && text->size() <= HarLimits::kMaxText &&
               e.initiatorUrls.size() < HarLimits::kMaxInitiatorUrls) {
        e.initiatorUrls.push_back(std::move(*text));
    }
    return true;
}

bool HarSaxHandler::scalar(Kind kind, double value, std::string* text) {
    if (skipDepth_ > 0) return true;
    if (initiatorDepth_ > 0) return storeInitiator(kind, text);
    if (stack_.empty()) return fail("not a HAR file: the file holds no \"log\" object");
    const Field f = field();
    if (f.id == Id::Unknown) return true;
    if (f.kind != kind) {
        if (!f.strict) return true;
        return fail(fieldPath() + (f.kind == Kind::Object  ? " is not an object"
                                   : f.kind == Kind::Array ? " is not an array"
                                   : f.kind == Kind::Text  ? " is not a text"
                                                           : " is not a number"));
    }
    return kind == Kind::Text ? storeText(f, *text) : storeNumber(f, value);
}

bool HarSaxHandler::storeText(const Field& f, std::string& text) {
    const auto tooLong = [&] {
        return fail(fieldPath() + " is longer than " + std::to_string(HarLimits::kMaxText) +
                    " bytes");
    };
    switch (f.id) {
        case Id::Version:
            keep(log_.version, text, kMaxWord);
            return true;
        case Id::PageId:
            if (text.size() > HarLimits::kMaxText) return tooLong();
            log_.pages.back().id = std::move(text);
            return true;
        case Id::PageTitle:
            keep(log_.pages.back().title, text, HarLimits::kMaxText);
            return true;
        case Id::Pageref:
            if (text.size() > HarLimits::kMaxText) return tooLong();
            entry().pageref = std::move(text);
            return true;
        case Id::Started:
            entry().startedMicros = parseHarDate(text);
            if (!entry().startedMicros)
                return fail(fieldPath() + " " + shownText(text) + " is not a date and time");
            return true;
        case Id::Url:
            entry().urlTooLong = text.size() > HarLimits::kMaxText;
            keep(entry().url, text, HarLimits::kMaxText);
            return true;
        case Id::HeaderName:
            keep(headerName_, text, kMaxWord);
            return true;
        case Id::HeaderValue:
            if (text.size() <= HarLimits::kMaxText) headerValue_ = std::move(text);
            return true;
        case Id::HttpVersion:
            keep(entry().httpVersion, text, kMaxWord);
            return true;
        case Id::MimeType:
            keep(entry().mimeType, text, HarLimits::kMaxText);
            return true;
        case Id::RedirectUrl:
            // An empty one leaves a Location header read before it in place.
            if (!text.empty() && text.size() <= HarLimits::kMaxText)
                entry().redirectUrl = std::move(text);
            return true;
        case Id::ResourceType:
            keep(entry().resourceType, text, kMaxWord);
            return true;
        case Id::FromCache:
            keep(entry().fromCache, text, kMaxWord);
            return true;
        case Id::Error:
            keep(entry().error, text, kMaxWord);
            return true;
        case Id::Comment:
            keep(entry().comment, text, HarLimits::kMaxText);
            return true;
        default:
            return true;
    }
}

bool HarSaxHandler::storeNumber(const Field& f, double value) {
    HarEntry& e = entry();
    if (f.id == Id::Status) {
        if (value < 0 || value > 999 || std::floor(value) != value)
            return fail(fieldPath() + " is " + number(value) + ": not an HTTP status");
        e.status = static_cast<std::int32_t>(value);
    } else if (f.id == Id::BodySize) {
        // Negative for "unknown" (browsers write -1, some lower values for failed answers).
        if (value > HarLimits::kMaxSize)
            return fail(fieldPath() + " is " + number(value) + " bytes: more than 4 GB");
        e.bodySize = value;
    } else if (f.id == Id::ContentSize) {
        if (value < 0 && value != -1)
            return fail(fieldPath() + " is " + number(value) + ": a size is -1 or not negative");
        if (value > HarLimits::kMaxSize)
            return fail(fieldPath() + " is " + number(value) + " bytes: more than 4 GB");
        e.contentSize = value;
    } else if (f.id == Id::Offset) {
        if (value >= 0 && value <= HarLimits::kMaxSize && std::floor(value) == value)
            e.offset = static_cast<std::uint32_t>(value);
    } else if (f.where == Where::Timings) {
        if (value < 0 && value != -1)
            return fail(fieldPath() + " is " + number(value) +
                        " ms: a time is -1 (none) or not negative");
        if (value > HarLimits::kMaxTime)
            return fail(fieldPath() + " is " + number(value) + " ms: more than a day");
        HarTimings& t = *e.timings;
        switch (f.id) {
            case Id::Blocked:
                t.blocked = value;
                break;
            case Id::Dns:
                t.dns = value;
                break;
            case Id::Connect:
                t.connect = value;
                break;
            case Id::Ssl:
                t.ssl = value;
                break;
            case Id::Send:
                t.send = value;
                break;
            case Id::Wait:
                t.wait = value;
                break;
            default:
                t.receive = value;
                break;
        }
    }
    return true;
}

bool HarSaxHandler::null() {
    return scalar(Kind::None, 0, nullptr);
}

bool HarSaxHandler::boolean(bool /*value*/) {
    return scalar(Kind::None, 0, nullptr);
}

bool HarSaxHandler::number_integer(json::number_integer_t value) {
    return scalar(Kind::Number, static_cast<double>(value), nullptr);
}

bool HarSaxHandler::number_unsigned(json::number_unsigned_t value) {
    return scalar(Kind::Number, static_cast<double>(value), nullptr);
}

bool HarSaxHandler::number_float(json::number_float_t value, const std::string& /*text*/) {
    return scalar(Kind::Number, value, nullptr);
}

bool HarSaxHandler::string(std::string& value) {
    return scalar(Kind::Text, 0, &value);
}

bool HarSaxHandler::binary(json::binary_t& /*value*/) {
    return scalar(Kind::None, 0, nullptr);
}

bool HarSaxHandler::start_object(std::size_t /*elements*/) {
    return open(Kind::Object);
}

bool HarSaxHandler::key(std::string& value) {
    if (value.size() <= kMaxKey) {
        key_ = value;
    } else {
        key_ = "?";  // no field the reader knows
    }
    return true;
}

bool HarSaxHandler::end_object() {
    return close();
}

bool HarSaxHandler::start_array(std::size_t /*elements*/) {
    return open(Kind::Array);
}

bool HarSaxHandler::end_array() {
    return close();
}

}  // namespace exporting
