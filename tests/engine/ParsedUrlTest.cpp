#include "engine/url/ParsedUrl.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using engine::ParsedUrl;

TEST(ParsedUrl, SplitsAnHttpAddressAndCutsTheFragment) {
    const ParsedUrl url = ParsedUrl::parse("http://www.example.com/dir/page.html#top");
    EXPECT_TRUE(url.valid);
    EXPECT_EQ(url.urlText, "http://www.example.com/dir/page.html");
    EXPECT_EQ(url.host, "www.example.com");
    EXPECT_EQ(url.objectPath, "dir/page.html");
    EXPECT_EQ(url.schemeKind, ParsedUrl::kHttp);
    EXPECT_EQ(url.port, 80);
}

TEST(ParsedUrl, KeepsTheQueryAndDropsLeadingSlashes) {
    const ParsedUrl url = ParsedUrl::parse("https://h:8443//a/b?x=1&y=2#f");
    EXPECT_EQ(url.schemeKind, ParsedUrl::kHttps);
    EXPECT_EQ(url.port, 8443);
    EXPECT_EQ(url.objectPath, "a/b?x=1&y=2");
    EXPECT_EQ(url.requestUrl(), "https://h:8443/a/b?x=1&y=2");
}

TEST(ParsedUrl, ServerRootHasAnEmptyObjectPath) {
    const ParsedUrl url = ParsedUrl::parse("https://example.com");
    EXPECT_TRUE(url.valid);
    EXPECT_EQ(url.objectPath, "");
    EXPECT_EQ(url.port, 443);
}

TEST(ParsedUrl, SchemeKindsAndValidity) {
    EXPECT_TRUE(ParsedUrl::parse("file:///tmp/a.html").valid);
    EXPECT_EQ(ParsedUrl::parse("file:///tmp/a.html").schemeKind, ParsedUrl::kFile);
    const ParsedUrl ftp = ParsedUrl::parse("ftp://ftp.example.com/pub/file.txt");
    EXPECT_FALSE(ftp.valid);
    EXPECT_EQ(ftp.schemeKind, ParsedUrl::kFtp);
    EXPECT_EQ(ftp.host, "ftp.example.com");
    EXPECT_FALSE(ParsedUrl::parse("gopher://g.example/1").valid);
    EXPECT_EQ(ParsedUrl::parse("foo://x/y").schemeKind, ParsedUrl::kOther);
    EXPECT_EQ(ParsedUrl::parse("HTTP://H/").schemeKind, ParsedUrl::kHttp);
}

TEST(ParsedUrl, WhatCannotBeSplitSetsNothing) {
    for (const char* text : {"", "www.example.com", "http://", "http://h:99999/", "mailto:a@b.c",
                             "javascript:alert(1)", "http://ex ample.com/"}) {
        const ParsedUrl url = ParsedUrl::parse(text);
        EXPECT_FALSE(url.valid) << text;
        EXPECT_EQ(url, ParsedUrl{}) << text;
    }
}

TEST(ParsedUrl, CleansTypedAddressesAsBrowsersDo) {
    EXPECT_EQ(ParsedUrl::parse("  http://h/a  ").urlText, "http://h/a");
    EXPECT_EQ(ParsedUrl::parse("http://h/a\tb\r\nc").objectPath, "abc");
    EXPECT_EQ(ParsedUrl::parse("http://h/a b?c d").objectPath, "a%20b?c%20d");
    EXPECT_EQ(ParsedUrl::parse("http:\\\\h\\a\\b?x=\\").requestUrl(), "http://h:80/a/b?x=\\");
    EXPECT_EQ(ParsedUrl::parse("http://h/caf\xc3\xa9").objectPath, "caf%c3%a9");
}

// An address loses every control character and space around it, as browsers strip it.
TEST(ParsedUrl, ControlsAroundAnAddressAreStripped) {
    const ParsedUrl url = ParsedUrl::parse("\x01\x1f http://example.com/a\x02\v");
    EXPECT_TRUE(url.valid);
    EXPECT_EQ(url.urlText, "http://example.com/a");
}

TEST(ParsedUrl, AnEmbeddedNulMakesAnAddressInvalid) {
    // The URL library reads C strings; the part after a NUL must not silently vanish.
    const std::string text("http://h/a\0b", 12);
    EXPECT_FALSE(ParsedUrl::parse(text).valid);
    EXPECT_FALSE(ParsedUrl::resolve(ParsedUrl::parse("http://h/"), text.substr(9)).valid);
}

TEST(ParsedUrl, BackslashesFollowTheSchemeTheUrlLibrarySees) {
    // A "scheme" too long to be one is a relative path, whose backslashes still become
    // slashes, so that the request address splits the same way again.
    const std::string reference = std::string(50, 'x') + ":\\h\\y";
    const ParsedUrl url = ParsedUrl::resolve(ParsedUrl::parse("http://h/d/"), reference);
    ASSERT_TRUE(url.valid);
    EXPECT_EQ(url.objectPath.find('\\'), std::string::npos);
    EXPECT_EQ(ParsedUrl::parse(url.requestUrl()).objectPath, url.objectPath);
}

TEST(ParsedUrl, Ipv6HostsKeepTheirBrackets) {
    const ParsedUrl url = ParsedUrl::parse("http://[::1]:8080/x");
    EXPECT_EQ(url.host, "[::1]");
    EXPECT_EQ(url.requestUrl(), "http://[::1]:8080/x");
}

TEST(ParsedUrl, RequestUrlLeavesOutCredentialsAndNeedsHttp) {
    EXPECT_EQ(ParsedUrl::parse("http://user:pw@h/x").requestUrl(), "http://h:80/x");
    EXPECT_EQ(ParsedUrl::parse("file:///x").requestUrl(), "");
    EXPECT_EQ(ParsedUrl::parse("ftp://h/x").requestUrl(), "");
}

// Reference resolution against "http://a/b/c/d;p?q", as browsers resolve it.
struct Resolution {
    const char* reference;
    const char* expected;
};

class ResolveTest : public ::testing::TestWithParam<Resolution> {};

TEST_P(ResolveTest, ResolvesLikeABrowser) {
    const ParsedUrl base = ParsedUrl::parse("http://a/b/c/d;p?q");
    const ParsedUrl url = ParsedUrl::resolve(base, GetParam().reference);
    EXPECT_TRUE(url.valid) << GetParam().reference;
    EXPECT_EQ(url.urlText, GetParam().expected) << GetParam().reference;
}

INSTANTIATE_TEST_SUITE_P(
    References, ResolveTest,
    ::testing::Values(Resolution{"g", "http://a/b/c/g"}, Resolution{"./g", "http://a/b/c/g"},
                      Resolution{"g/", "http://a/b/c/g/"}, Resolution{"/g", "http://a/g"},
                      Resolution{"//g", "http://g/"}, Resolution{"?y", "http://a/b/c/d;p?y"},
                      Resolution{"g?y", "http://a/b/c/g?y"}, Resolution{"#s", "http://a/b/c/d;p?q"},
                      Resolution{"g#s", "http://a/b/c/g"}, Resolution{"", "http://a/b/c/d;p?q"},
                      Resolution{".", "http://a/b/c/"}, Resolution{"..", "http://a/b/"},
                      Resolution{"../g", "http://a/b/g"}, Resolution{"../../g", "http://a/g"},
                      Resolution{"../../../g", "http://a/g"}, Resolution{"/./g", "http://a/g"},
                      Resolution{"g.", "http://a/b/c/g."}, Resolution{"..g", "http://a/b/c/..g"},
                      Resolution{"g/../h", "http://a/b/c/h"},
                      Resolution{"g;x=1/../y", "http://a/b/c/y"},
                      Resolution{"http:g", "http://a/b/c/g"}, Resolution{"http:/g", "http://a/g"},
                      Resolution{"https:g", "https://g/"},
                      Resolution{"HTTP://OTHER:8080/x", "http://OTHER:8080/x"},
                      Resolution{" img/a b.gif ", "http://a/b/c/img/a%20b.gif"},
                      Resolution{"\\img\\x.gif", "http://a/img/x.gif"},
                      Resolution{"i\nm\tg.gif", "http://a/b/c/img.gif"}));

TEST(ParsedUrl, ResolvedAddressesAreSplit) {
    const ParsedUrl base = ParsedUrl::parse("http://site.example:8080/dir/index.html");
    const ParsedUrl url = ParsedUrl::resolve(base, "../img/logo.gif?v=2#x");
    EXPECT_EQ(url.host, "site.example");
    EXPECT_EQ(url.port, 8080);
    EXPECT_EQ(url.objectPath, "img/logo.gif?v=2");
}

TEST(ParsedUrl, FailedCombinationsAreInvalid) {
    const ParsedUrl base = ParsedUrl::parse("http://a/b");
    EXPECT_FALSE(ParsedUrl::resolve(base, "mailto:x@y").valid);
    EXPECT_FALSE(ParsedUrl::resolve(base, "ftp://h/x").valid);
    EXPECT_FALSE(ParsedUrl::resolve(ParsedUrl{}, "g").valid);
    // The combined address must fit the system's URL buffer.
    EXPECT_TRUE(ParsedUrl::resolve(base, std::string(2000, 'x')).valid);
    EXPECT_FALSE(ParsedUrl::resolve(base, std::string(2100, 'x')).valid);
    const ParsedUrl longBase = ParsedUrl::parse("http://a/" + std::string(2100, 'x'));
    EXPECT_TRUE(longBase.valid);
    EXPECT_FALSE(ParsedUrl::resolve(longBase, "").valid);
}

}  // namespace
