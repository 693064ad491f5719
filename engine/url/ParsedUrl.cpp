#include "engine/url/ParsedUrl.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "engine/base/AsciiText.h"
#include "engine/base/CurlLibrary.h"

namespace engine {
namespace {

constexpr unsigned kCurlFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE;

// The scheme at the start of `text` ("http" of "http://x"), or empty when there is none.
std::string_view schemeOf(std::string_view text) {
    std::size_t i = 0;
    auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || !alpha(text[0])) return {};
    while (i < text.size() &&
           (alpha(text[i]) || digit(text[i]) || text[i] == '+' || text[i] == '-' || text[i] == '.'))
        ++i;
    return i < text.size() && text[i] == ':' ? text.substr(0, i) : std::string_view{};
}

bool isSpecialScheme(std::string_view scheme) {
    const std::string s = toLower(scheme);
    return s == "http" || s == "https" || s == "file" || s == "ftp";
}

// What a browser does to an address before it splits it: blanks and controls around it go,
// tabs and line breaks inside it go, and spaces become %20 (libcurl's encoder would write "+" in
// a query).
std::string browserClean(std::string_view text) {
    text = trimmedControls(text);
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\t' || c == '\n' || c == '\r') continue;
        if (c == ' ')
            out += "%20";
        else
            out += c;
    }
    return out;
}

// libcurl reads C strings: an embedded NUL would cut the address it sees short, so an address
// holding one is refused.
bool hasNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

// Browsers read a backslash before the query as a slash in addresses of the schemes that have
// paths ("http:\\host\dir" is "http://host/dir").
bool hasPathBackslash(std::string_view text) {
    const std::size_t end = text.find_first_of("?#");
    return text.substr(0, end).find('\\') != std::string_view::npos;
}

std::string pathSlashes(std::string text) {
    const std::size_t end = std::min(text.find_first_of("?#"), text.size());
    std::replace(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\\', '/');
    return text;
}

std::int32_t schemeKindOf(std::string_view scheme) {
    static constexpr std::array<std::pair<std::string_view, std::int32_t>, 9> kKinds{{
        {"http", ParsedUrl::kHttp},
        {"https", ParsedUrl::kHttps},
        {"file", ParsedUrl::kFile},
        {"ftp", ParsedUrl::kFtp},
        {"gopher", ParsedUrl::kGopher},
        {"news", ParsedUrl::kNews},
        {"nntp", ParsedUrl::kNews + 1},
        {"telnet", ParsedUrl::kTelnet},
        {"wais", ParsedUrl::kTelnet + 1},
    }};
    const std::string s = toLower(scheme);
    for (const auto& [name, kind] : kKinds)
        if (s == name) return kind;
    return ParsedUrl::kOther;
}

std::string part(CURLU* h, CURLUPart which, unsigned flags = 0) {
    char* raw = nullptr;
    if (curl_url_get(h, which, &raw, flags) != CURLUE_OK) return {};
    const CurlString owned(raw);
    return raw ? std::string(raw) : std::string();
}

std::string_view withoutFragment(std::string_view text) {
    return text.substr(0, text.find('#'));
}

bool isSpecialWithHost(std::string_view scheme) {
    return isSpecialScheme(scheme) && toLower(scheme) != "file";
}

// Where the host part of an address starts and ends (both 0 when it has none): after
// "scheme://" or, in a reference, after a leading "//".
std::pair<std::size_t, std::size_t> authorityOf(std::string_view text) {
    const std::string_view scheme = schemeOf(text);
    std::size_t start = scheme.empty() ? 0 : scheme.size() + 1;
    if (text.substr(start, 2) != "//") return {start, start};
    start += 2;
    return {start, std::min(text.find_first_of("/?", start), text.size())};
}

// "http:host" and "http:///host" are "http://host" to a browser, in the schemes with hosts.
std::string authoritySlashes(std::string text) {
    const std::string_view scheme = schemeOf(text);
    if (!isSpecialWithHost(scheme)) return text;
    const std::size_t rest = text.find_first_not_of('/', scheme.size() + 1);
    return std::string(scheme) + "://" + (rest == std::string::npos ? "" : text.substr(rest));
}

constexpr char kHex[] = "0123456789ABCDEF";

void appendEscaped(std::string& out, char c) {
    const auto byte = static_cast<unsigned char>(c);
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

// "%2e" is a dot to a browser when it makes a dot segment: "/%2e%2E/" is "/../".
std::string dotSegment(std::string_view segment) {
    std::string plain;
    for (std::size_t i = 0; i < segment.size(); ++i) {
        if (segment[i] == '.') {
            plain += '.';
        } else if (segment[i] == '%' && i + 2 < segment.size() && segment[i + 1] == '2' &&
                   toLower(segment[i + 2]) == 'e') {
            plain += '.';
            i += 2;
        } else {
            return std::string(segment);
        }
    }
    return plain == "." || plain == ".." ? plain : std::string(segment);
}

// The characters a browser escapes in a path or a query before it sends them (libcurl's
// encoder leaves them as they are); controls included, which libcurl would refuse.
bool escapedInPath(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f || c == '"' || c == '<' || c == '>' || c == '`' ||
           c == '{' || c == '}';
}

bool escapedInQuery(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f || c == '"' || c == '<' || c == '>' || c == '\'';
}

// What a browser does to the parts of an address of a scheme it knows before it splits them:
// in the host part every "@" but the last belongs to the user name or password, dot segments
// written with "%2e" are dot segments, and the characters above are escaped. `text` has no
// fragment.
std::string browserShape(const std::string& text) {
    auto [start, end] = authorityOf(text);
    std::string out = text.substr(0, start);
    const std::string_view authority = std::string_view(text).substr(start, end - start);
    const std::size_t lastAt = authority.rfind('@');
    for (std::size_t i = 0; i < authority.size(); ++i) {
        if (authority[i] == '@' && i != lastAt)
            out += "%40";
        else
            out += authority[i];
    }
    const std::size_t queryAt = std::min(text.find('?', end), text.size());
    const std::string_view path = std::string_view(text).substr(end, queryAt - end);
    for (std::size_t from = 0; from <= path.size();) {
        const std::size_t slash = std::min(path.find('/', from), path.size());
        for (char c : dotSegment(path.substr(from, slash - from))) {
            if (escapedInPath(c))
                appendEscaped(out, c);
            else
                out += c;
        }
        if (slash < path.size()) out += '/';
        from = slash + 1;
    }
    for (char c : std::string_view(text).substr(queryAt)) {
        if (escapedInQuery(c))
            appendEscaped(out, c);
        else
            out += c;
    }
    return out;
}

// A browser's reading of a host name that ends in a number: an IPv4 address in one to four
// dotted parts, each decimal, octal ("0" first) or hexadecimal ("0x" first). Returns the
// dotted decimal form, "" when the name does not end in a number, nullopt when it does but is
// no address.
std::optional<std::string> ipv4Host(std::string_view host) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t dot = host.find('.', from);
        parts.push_back(host.substr(from, dot == std::string_view::npos ? dot : dot - from));
        if (dot == std::string_view::npos) break;
        from = dot + 1;
    }
    if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
    const std::string_view last = parts.back();
    const bool hexLast = last.size() >= 2 && last[0] == '0' && toLower(last[1]) == 'x' &&
                         last.find_first_not_of("0123456789abcdefABCDEF", 2) == last.npos;
    if (last.empty() || (!hexLast && last.find_first_not_of("0123456789") != last.npos))
        return std::string();
    if (parts.size() > 4) return std::nullopt;
    std::vector<std::uint64_t> numbers;
    for (std::string_view p : parts) {
        if (p.empty()) return std::nullopt;
        int radix = 10;
        if (p.size() >= 2 && p[0] == '0' && toLower(p[1]) == 'x') {
            radix = 16;
            p.remove_prefix(2);
        } else if (p.size() >= 2 && p[0] == '0') {
            radix = 8;
            p.remove_prefix(1);
        }
        std::uint64_t n = 0;
        for (char c : p) {
            const int digit = c >= '0' && c <= '9'                     ? c - '0'
                              : toLower(c) >= 'a' && toLower(c) <= 'f' ? toLower(c) - 'a' + 10
                                                                       : 99;
            if (digit >= radix) return std::nullopt;
            n = n * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
            if (n > 0xFFFFFFFFu) return std::nullopt;
        }
        numbers.push_back(n);
    }
    std::uint64_t address = numbers.back();
    const std::size_t lastBits = 8 * (5 - numbers.size());
    if (lastBits < 32 && address >= (std::uint64_t{1} << lastBits)) return std::nullopt;
    for (std::size_t i = 0; i + 1 < numbers.size(); ++i) {
        if (numbers[i] > 255) return std::nullopt;
        address += numbers[i] << (8 * (3 - i));
    }
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (!out.empty()) out += '.';
        out += std::to_string((address >> shift) & 255);
    }
    return out;
}

// An IPv6 literal ("[...]") written as browsers write it: hexadecimal groups, the first
// longest run of two or more zero groups as "::". nullopt when it is no address. Browsers
// take no zone identifiers ("%25eth0"); the caller refuses those.
std::optional<std::string> ipv6Host(const std::string& host) {
    in6_addr address{};
    if (host.size() < 2 || host.back() != ']' ||
        inet_pton(AF_INET6, host.substr(1, host.size() - 2).c_str(), &address) != 1)
        return std::nullopt;
    std::array<unsigned, 8> groups{};
    for (std::size_t i = 0; i < 8; ++i)
        groups[i] = (unsigned{address.s6_addr[2 * i]} << 8) | address.s6_addr[2 * i + 1];
    std::size_t runStart = 8, runLength = 1;
    for (std::size_t i = 0; i < 8;) {
        std::size_t j = i;
        while (j < 8 && groups[j] == 0) ++j;
        if (j - i > runLength) {
            runStart = i;
            runLength = j - i;
        }
        i = j == i ? i + 1 : j;
    }
    std::string out = "[";
    static constexpr char kLowerHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < 8; ++i) {
        if (i == runStart) {
            out += i == 0 ? "::" : ":";
            i += runLength - 1;
            continue;
        }
        std::string group;
        for (unsigned g = groups[i]; g != 0 || group.empty(); g >>= 4)
            group.insert(group.begin(), kLowerHex[g & 15]);
        out += group;
        if (i != 7) out += ':';
    }
    return out + "]";
}

// Bytes no host name may hold once decoded, as browsers have them.
bool forbiddenInHost(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7f ||
           std::string_view("#%/:<>?@[\\]^|").find(c) != std::string_view::npos;
}

// The host as browsers name it: IPv4 addresses in dotted decimal, IPv6 addresses compressed;
// stored back into the handle when that changes it. False when the host cannot be one.
bool browserHost(CURLU* h) {
    const std::string host = part(h, CURLUPART_HOST);
    if (host.empty()) return true;  // file addresses
    std::string canonical;
    if (host.front() == '[') {
        if (!part(h, CURLUPART_ZONEID).empty()) return false;
        const std::optional<std::string> v6 = ipv6Host(host);
        if (!v6) return false;
        canonical = *v6;
    } else {
        // International names stay as written: libcurl converts them when it connects.
        if (std::any_of(host.begin(), host.end(), forbiddenInHost)) return false;
        const std::optional<std::string> v4 = ipv4Host(host);
        if (!v4) return false;
        canonical = v4->empty() ? host : *v4;
    }
    if (canonical == host) return true;
    return curl_url_set(h, CURLUPART_HOST, canonical.c_str(), 0) == CURLUE_OK;
}

// Splits an already cleaned address. The URL text is `text` without its fragment (backslashes
// of the path made slashes), or with `canonical` the address as browsers write it.
ParsedUrl split(std::string text, bool canonical) {
    ensureCurlReady();
    ParsedUrl url;
    const CurlUrl h(curl_url());
    if (!h) return url;
    text = std::string(withoutFragment(text));
    if (hasNul(text)) return url;
    if (toLower(text) == "file:") text = "file:///";
    if (isSpecialScheme(schemeOf(text))) text = pathSlashes(std::move(text));
    auto setShaped = [&] {
        const std::string shaped =
            isSpecialScheme(schemeOf(text)) ? browserShape(authoritySlashes(text)) : text;
        return curl_url_set(h.get(), CURLUPART_URL, shaped.c_str(), kCurlFlags) == CURLUE_OK;
    };
    if (!setShaped()) return url;
    // libcurl may see a scheme where the text did not seem to have one, or the reverse; its
    // reading decides.
    if (isSpecialScheme(part(h.get(), CURLUPART_SCHEME)) && hasPathBackslash(text)) {
        text = pathSlashes(std::move(text));
        if (!setShaped()) return url;
    }
    const std::string scheme = part(h.get(), CURLUPART_SCHEME);
    if (isSpecialScheme(scheme) && !browserHost(h.get())) return url;

    url.urlText = canonical ? part(h.get(), CURLUPART_URL, CURLU_NO_DEFAULT_PORT) : std::move(text);
    url.host = part(h.get(), CURLUPART_HOST);
    std::string object = part(h.get(), CURLUPART_PATH);
    const std::string query = part(h.get(), CURLUPART_QUERY);
    if (!query.empty()) object += "?" + query;
    url.objectPath = object.substr(std::min(object.find_first_not_of('/'), object.size()));
    url.schemeKind = schemeKindOf(scheme);
    const std::string port = part(h.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    // libcurl refuses ports above 65535, so the number always fits.
    url.port = port.empty() ? 0 : static_cast<std::uint16_t>(std::stoul(port));
    url.valid = url.schemeKind == ParsedUrl::kHttp || url.schemeKind == ParsedUrl::kFile ||
                url.schemeKind == ParsedUrl::kHttps;
    return url;
}

// "http:g" means "g" relative to an http base, as browsers read it; a different scheme of the
// same family ("https:g" from http) names the host ("https://g").
std::string schemeRelative(std::string_view baseScheme, std::string_view reference) {
    const std::string_view scheme = schemeOf(reference);
    if (scheme.empty() || !isSpecialScheme(scheme) || toLower(scheme) == "file")
        return std::string(reference);
    const std::string_view rest = reference.substr(scheme.size() + 1);
    if (rest.substr(0, 2) == "//") return std::string(reference);
    if (toLower(scheme) == toLower(baseScheme)) return std::string(rest);
    std::string_view host = rest;
    while (!host.empty() && host.front() == '/') host.remove_prefix(1);
    return std::string(scheme) + "://" + std::string(host);
}

// A reference as a browser reads it against a base of a scheme it knows: "///host" and
// "////host" name the host as "//host" does, and a first segment with a colon that is no
// scheme ("10.0.0.7:8080/x") is a path.
std::string browserReference(std::string_view baseScheme, std::string reference) {
    if (!schemeOf(reference).empty()) return authoritySlashes(std::move(reference));
    if (isSpecialWithHost(baseScheme) && reference.starts_with("//"))
        return "//" + reference.substr(reference.find_first_not_of('/') == std::string::npos
                                           ? reference.size()
                                           : reference.find_first_not_of('/'));
    const std::size_t colon = reference.find(':');
    if (colon != std::string::npos && colon < reference.find_first_of("/?#"))
        return "./" + reference;
    return reference;
}

}  // namespace

ParsedUrl ParsedUrl::parse(std::string_view text) {
    return split(browserClean(text), false);
}

ParsedUrl ParsedUrl::resolve(const ParsedUrl& base, std::string_view reference) {
    ensureCurlReady();
    const CurlUrl h(curl_url());
    if (!h) return {};
    std::string baseText(withoutFragment(browserClean(base.urlText)));
    const std::string cleanReference(withoutFragment(browserClean(reference)));
    if (hasNul(baseText) || hasNul(cleanReference)) return {};
    if (isSpecialScheme(schemeOf(baseText)))
        baseText = browserShape(authoritySlashes(pathSlashes(std::move(baseText))));
    if (curl_url_set(h.get(), CURLUPART_URL, baseText.c_str(), kCurlFlags) != CURLUE_OK) return {};
    const std::string baseScheme = part(h.get(), CURLUPART_SCHEME);
    std::string relative = schemeRelative(baseScheme, cleanReference);
    const std::string_view ownScheme = schemeOf(relative);
    const bool special =
        isSpecialScheme(ownScheme) || (ownScheme.empty() && isSpecialScheme(baseScheme));
    if (special) {
        relative = pathSlashes(std::move(relative));
        relative = browserShape(browserReference(baseScheme, std::move(relative)));
    }
    // An empty or fragment-only reference is the base document itself.
    std::string combined = baseText;
    if (!relative.empty()) {
        if (curl_url_set(h.get(), CURLUPART_URL, relative.c_str(), kCurlFlags) != CURLUE_OK)
            return {};
        curl_url_set(h.get(), CURLUPART_FRAGMENT, nullptr, 0);
        combined = part(h.get(), CURLUPART_URL);
    }
    if (combined.empty() || combined.size() >= kMaxCombinedLength) return {};
    // The combination is written as browsers write addresses; the base itself stays as it was
    // (libcurl would drop the query of a file address).
    return split(std::move(combined), !relative.empty());
}

std::string ParsedUrl::requestUrl() const {
    if (!valid || (schemeKind != kHttp && schemeKind != kHttps)) return {};
    return std::string(schemeKind == kHttps ? "https" : "http") + "://" + host + ":" +
           std::to_string(port) + "/" + objectPath;
}

}  // namespace engine
