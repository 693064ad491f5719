// The web platform's URL test data run against ParsedUrl, for the cases the engine can fetch:
// those whose base, or without a base of those schemes whose input, is an http, https or file
// address.
//
// What passing means for a case, given what ParsedUrl keeps of an address:
// - an expected failure must come out invalid;
// - an address of a scheme the engine does not fetch (a "mailto:" link on an http page) must
//   come out invalid as well;
// - otherwise the record must be valid, of the expected scheme kind, with the expected host,
//   port (the scheme's default when the data names none; none for file addresses) and object
//   path (path and query, without leading "/"); a case with a base is resolved against it, and
//   the resolved URL text must then equal the expected address without its fragment. A case
//   without a base is parsed, and its URL text is the typed text by design, so only the parts
//   count.
// Host names and scheme names compare without regard to ASCII case, and so do the two hex
// digits of a percent escape: servers read both spellings alike, the URL library keeps the case
// it was given, and the crawl compares host names as they were written.
//
// Cases that fail are listed, each with the reason, in data/url-known-failures.txt. The test
// fails when a case fails that is not listed, and when a listed case passes or no longer exists,
// so that the list stays exact. PAGELYST_URL_FAILURES_OUT=FILE writes the current failures in
// the list's format (reasons left as "?") for review.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/url/ParsedUrl.h"

namespace {

using engine::ParsedUrl;
using nlohmann::json;

const std::string kDataDir = PAGELYST_ENGINE_TEST_DATA;

std::string lowered(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// The scheme a browser reads at the start of `text` (lowered), after the blanks and controls it
// strips; empty when there is none.
std::string schemeOf(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 0x20) ++i;
    std::string scheme;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\t' || c == '\n' || c == '\r') continue;
        if (c == ':') return lowered(scheme);
        const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!alpha && !(other && !scheme.empty())) return {};
        scheme += c;
    }
    return {};
}

bool fetchable(const std::string& scheme) {
    return scheme == "http" || scheme == "https" || scheme == "file";
}

// Percent escapes with upper-case hex digits, so that "%c3" and "%C3" compare equal.
std::string escapesUpper(std::string s) {
    for (std::size_t i = 0; i + 2 < s.size(); ++i) {
        if (s[i] != '%') continue;
        for (std::size_t k = i + 1; k <= i + 2; ++k)
            if (s[k] >= 'a' && s[k] <= 'f') s[k] = static_cast<char>(s[k] - 'a' + 'A');
    }
    return s;
}

// An absolute address with scheme and authority lowered and escapes upper-cased; enough to
// compare two addresses that differ only in the spelling servers ignore.
std::string comparable(const std::string& address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string::npos) return escapesUpper(address);
    std::size_t authorityEnd = colon + 1;
    if (address.compare(colon + 1, 2, "//") == 0) {
        authorityEnd = address.find_first_of("/?#", colon + 3);
        if (authorityEnd == std::string::npos) authorityEnd = address.size();
    }
    return lowered(address.substr(0, authorityEnd)) + escapesUpper(address.substr(authorityEnd));
}

std::string withoutLeadingSlashes(const std::string& s) {
    const std::size_t at = s.find_first_not_of('/');
    return at == std::string::npos ? std::string() : s.substr(at);
}

struct Case {
    json input;
    json base;  // a string or null
    json expected;

    // The key of the case in the known-failures list: input and base as JSON texts.
    std::string key() const { return input.dump(-1, ' ', true) + "\t" + base.dump(-1, ' ', true); }
};

// Whether the engine can fetch what the case is about, and so whether it counts.
bool applicable(const Case& c) {
    if (c.base.is_string() && fetchable(schemeOf(c.base.get<std::string>()))) return true;
    return fetchable(schemeOf(c.input.get<std::string>()));
}

// Why the case fails, or nothing when it passes.
std::optional<std::string> check(const Case& c) {
    const std::string input = c.input.get<std::string>();
    const bool resolving = c.base.is_string() && fetchable(schemeOf(c.base.get<std::string>()));
    ParsedUrl url;
    if (resolving) {
        const ParsedUrl base = ParsedUrl::parse(c.base.get<std::string>());
        if (!base.valid) return "the base does not parse";
        url = ParsedUrl::resolve(base, input);
    } else {
        url = ParsedUrl::parse(input);
    }

    const json& e = c.expected;
    if (e.value("failure", false)) {
        if (url.valid) return "valid, but the address is not one: " + url.urlText;
        return std::nullopt;
    }
    const std::string protocol = e.at("protocol").get<std::string>();
    const std::string scheme = protocol.substr(0, protocol.size() - 1);
    if (!fetchable(scheme)) {
        if (url.valid) return "valid for a scheme the engine does not fetch: " + url.urlText;
        return std::nullopt;
    }
    if (!url.valid) return "invalid";

    std::ostringstream why;
    const std::int32_t kind = scheme == "http"    ? ParsedUrl::kHttp
                              : scheme == "https" ? ParsedUrl::kHttps
                                                  : ParsedUrl::kFile;
    if (url.schemeKind != kind) why << " scheme kind " << url.schemeKind << ";";
    const std::string hostname = e.at("hostname").get<std::string>();
    if (lowered(url.host) != lowered(hostname))
        why << " host \"" << url.host << "\", expected \"" << hostname << "\";";
    const std::string portText = e.at("port").get<std::string>();
    const int port = !portText.empty()   ? std::stoi(portText)
                     : scheme == "http"  ? 80
                     : scheme == "https" ? 443
                                         : 0;
    if (url.port != port) why << " port " << url.port << ", expected " << port << ";";
    const std::string path = withoutLeadingSlashes(e.at("pathname").get<std::string>() +
                                                   e.at("search").get<std::string>());
    if (escapesUpper(url.objectPath) != escapesUpper(path))
        why << " object path \"" << url.objectPath << "\", expected \"" << path << "\";";
    if (resolving) {
        std::string href = e.at("href").get<std::string>();
        href = href.substr(0, href.find('#'));
        if (comparable(url.urlText) != comparable(href))
            why << " URL text \"" << url.urlText << "\", expected \"" << href << "\";";
    }
    if (why.str().empty()) return std::nullopt;
    return why.str().substr(1);
}

std::vector<Case> loadCases() {
    std::ifstream in(kDataDir + "/urltestdata.json");
    EXPECT_TRUE(in) << "cannot read urltestdata.json";
    const json data = json::parse(in, nullptr, false);
    std::vector<Case> cases;
    if (!data.is_array()) return cases;
    for (const json& entry : data) {
        if (!entry.is_object()) continue;  // comments
        cases.push_back({entry.at("input"), entry.at("base"), entry});
    }
    return cases;
}

// Key to reason, from lines "INPUT<TAB>BASE<TAB>REASON"; "#" lines and blank lines are comments.
std::map<std::string, std::string> loadKnownFailures() {
    std::ifstream in(kDataDir + "/url-known-failures.txt");
    EXPECT_TRUE(in) << "cannot read url-known-failures.txt";
    std::map<std::string, std::string> known;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#') continue;
        const std::size_t first = line.find('\t');
        const std::size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
        if (second == std::string::npos) {
            ADD_FAILURE() << "malformed line in url-known-failures.txt: " << line;
            continue;
        }
        const bool added = known.emplace(line.substr(0, second), line.substr(second + 1)).second;
        EXPECT_TRUE(added) << "listed twice: " << line.substr(0, second);
    }
    return known;
}

TEST(UrlConformance, KeyReadsTheSchemeAsABrowserDoes) {
    EXPECT_EQ(schemeOf(" \tHT\ntp://x"), "http");
    EXPECT_EQ(schemeOf("file:"), "file");
    EXPECT_EQ(schemeOf("1http://x"), "");
    EXPECT_EQ(schemeOf("/x:y"), "");
    EXPECT_EQ(comparable("HTTP://EX.com/A%c3?q=%e9"), "http://ex.com/A%C3?q=%E9");
}

TEST(UrlConformance, WebPlatformUrlData) {
    const std::vector<Case> cases = loadCases();
    ASSERT_GT(cases.size(), 800u) << "the URL test data did not load";
    std::map<std::string, std::string> known = loadKnownFailures();

    std::size_t applicableCount = 0;
    std::size_t passed = 0;
    std::set<std::string> seen;
    std::ostringstream failuresOut;
    for (const Case& c : cases) {
        if (!applicable(c)) continue;
        ++applicableCount;
        const std::string key = c.key();
        seen.insert(key);
        const std::optional<std::string> failure = check(c);
        const auto listed = known.find(key);
        if (!failure) {
            ++passed;
            EXPECT_EQ(listed, known.end())
                << "listed as failing but passes now; remove it from the list: " << key;
            continue;
        }
        failuresOut << key << "\t?\n";
        EXPECT_NE(listed, known.end()) << "fails: " << key << "\n  " << *failure;
    }
    for (const auto& [key, reason] : known)
        EXPECT_TRUE(seen.contains(key)) << "listed, but no applicable case has this key: " << key;

    std::cout << "URL conformance: " << passed << " passed of " << applicableCount
              << " applicable\n";
    RecordProperty("passed", static_cast<int>(passed));
    RecordProperty("applicable", static_cast<int>(applicableCount));
    if (const char* out = std::getenv("PAGELYST_URL_FAILURES_OUT")) {
        std::ofstream(out) << failuresOut.str();
    }
}

}  // namespace
