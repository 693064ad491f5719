#include "engine/ParsedUrl.h"

#include <algorithm>
#include <array>
#include <utility>

#include "engine/CurlLibrary.h"

namespace engine {
namespace {

constexpr unsigned kCurlFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_URLENCODE;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lower(c);
    return out;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && lowered(text.substr(0, prefix.size())) == prefix;
}

std::string_view trimmed(std::string_view s) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

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
    const std::string s = lowered(scheme);
    return s == "http" || s == "https" || s == "file" || s == "ftp";
}

// What a browser does to an address before it splits it: blanks and controls around it go,
// tabs and line breaks inside it go, and spaces become %20 (libcurl's encoder would write "+" in
// a query).
std::string browserClean(std::string_view text) {
    text = trimmed(text);
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
    const std::string s = lowered(scheme);
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

// Splits an already cleaned address; `text` (with backslashes of the path made slashes) becomes
// the URL text.
ParsedUrl split(std::string text) {
    ensureCurlReady();
    ParsedUrl url;
    const CurlUrl h(curl_url());
    if (!h) return url;
    if (hasNul(text)) return url;
    if (isSpecialScheme(schemeOf(text))) text = pathSlashes(std::move(text));
    if (curl_url_set(h.get(), CURLUPART_URL, text.c_str(), kCurlFlags) != CURLUE_OK) return url;
    // libcurl may see a scheme where the text did not seem to have one, or the reverse; its
    // reading decides.
    if (isSpecialScheme(part(h.get(), CURLUPART_SCHEME)) && hasPathBackslash(text)) {
        text = pathSlashes(std::move(text));
        if (curl_url_set(h.get(), CURLUPART_URL, text.c_str(), kCurlFlags) != CURLUE_OK) return url;
    }

    url.urlText = std::string(withoutFragment(text));
    url.host = part(h.get(), CURLUPART_HOST);
    std::string object = part(h.get(), CURLUPART_PATH);
    const std::string query = part(h.get(), CURLUPART_QUERY);
    if (!query.empty()) object += "?" + query;
    url.objectPath = object.substr(std::min(object.find_first_not_of('/'), object.size()));
    url.schemeKind = schemeKindOf(part(h.get(), CURLUPART_SCHEME));
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
    if (scheme.empty() || !isSpecialScheme(scheme) || lowered(scheme) == "file")
        return std::string(reference);
    const std::string_view rest = reference.substr(scheme.size() + 1);
    if (rest.substr(0, 2) == "//") return std::string(reference);
    if (lowered(scheme) == lowered(baseScheme)) return std::string(rest);
    std::string_view host = rest;
    while (!host.empty() && host.front() == '/') host.remove_prefix(1);
    return std::string(scheme) + "://" + std::string(host);
}

}  // namespace

ParsedUrl ParsedUrl::parse(std::string_view text) {
    return split(browserClean(text));
}

ParsedUrl ParsedUrl::resolve(const ParsedUrl& base, std::string_view reference) {
    ensureCurlReady();
    const CurlUrl h(curl_url());
    if (!h) return {};
    const std::string baseText = browserClean(base.urlText);
    const std::string cleanReference = browserClean(reference);
    if (hasNul(baseText) || hasNul(cleanReference)) return {};
    if (curl_url_set(h.get(), CURLUPART_URL, baseText.c_str(), kCurlFlags) != CURLUE_OK) return {};
    const std::string baseScheme = part(h.get(), CURLUPART_SCHEME);
    std::string relative = schemeRelative(baseScheme, cleanReference);
    const std::string_view ownScheme = schemeOf(relative);
    if (isSpecialScheme(ownScheme) || (ownScheme.empty() && isSpecialScheme(baseScheme)))
        relative = pathSlashes(std::move(relative));
    // An empty or fragment-only reference is the base document itself.
    std::string combined = baseText;
    if (!withoutFragment(relative).empty()) {
        if (curl_url_set(h.get(), CURLUPART_URL, relative.c_str(), kCurlFlags) != CURLUE_OK)
            return {};
        curl_url_set(h.get(), CURLUPART_FRAGMENT, nullptr, 0);
        combined = part(h.get(), CURLUPART_URL);
    }
    if (combined.empty() || combined.size() >= kMaxCombinedLength) return {};
    return split(std::move(combined));
}

std::string ParsedUrl::requestUrl() const {
    if (!valid || (schemeKind != kHttp && schemeKind != kHttps)) return {};
    return std::string(schemeKind == kHttps ? "https" : "http") + "://" + host + ":" +
           std::to_string(port) + "/" + objectPath;
}

std::string completeTyped(std::string_view text) {
    const std::string_view t = trimmed(text);
    if (startsWithIgnoringCase(t, "http://") || startsWithIgnoringCase(t, "https://") ||
        startsWithIgnoringCase(t, "file://"))
        return std::string(text);
    return "http://" + std::string(t);
}

bool sameSite(const std::string* pageHost, const ParsedUrl& candidate, int mode) {
    if (pageHost == nullptr) return true;
    std::string_view page = trimmed(*pageHost);
    std::string_view host = trimmed(candidate.host);
    if (mode == 1 && page.size() > 4 && page.substr(0, 4) == "www.") page.remove_prefix(4);
    if (host.size() < page.size()) return false;
    if (mode == 1) host = host.substr(host.size() - page.size());
    return host == page;
}

}  // namespace engine
