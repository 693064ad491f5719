#pragma once
// A site of four pages on a loopback test server: "/" links "/a.html" and "/b.html", and
// "/a.html" links "/c.html"; "/a.html" is about 9 KB and "/b.html" about 12 KB, with titles.

#include <string>

#include "tests/support/TestServer.h"

namespace apptest {

inline void serveSmallSite(support::TestServer& server) {
    auto page = [](std::string title, std::string body) {
        return [title, body](const httplib::Request&, httplib::Response& response) {
            response.set_content(
                "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>",
                "text/html");
        };
    };
    server.get("/", page("Home", R"(<a href="/a.html">a</a><a href="/b.html">b</a>)"));
    server.get("/a.html", page("Page A", R"(<a href="/c.html">c</a>)" + std::string(9000, ' ')));
    server.get("/b.html", page("Page B", std::string(12000, ' ')));
    server.get("/c.html", page("Page C", "end"));
}

}  // namespace apptest
