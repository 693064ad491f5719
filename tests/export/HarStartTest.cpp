#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>

#include "export/HarWriter.h"
#include "tests/export/LoadedSite.h"
#include "tests/support/RawServer.h"

// When each HAR entry started and which protocol answered it: the request's own moment and
// version, never the moment the file is written.
namespace {

using nlohmann::json;
using std::chrono::milliseconds;

class HarStart : public exporttest::LoadedSite {
protected:
    static std::map<std::string, json> byUrl(const json& har) {
        std::map<std::string, json> entries;
        for (const json& entry : har["log"]["entries"]) entries[entry["request"]["url"]] = entry;
        return entries;
    }
};

TEST_F(HarStart, EachEntryStartsWhenItsRequestStartedInThatOrder) {
    const auto root = load(url("/"));
    std::this_thread::sleep_for(milliseconds(30));
    const auto child = loadBelow(root, url("/child.html"));
    std::this_thread::sleep_for(milliseconds(30));
    const exporting::HarClock clock = exporting::HarClock::now();
    const json har = exporting::harDocument({root, child}, clock);
    const auto entries = byUrl(har);
    ASSERT_EQ(entries.size(), 6u);

    const std::string written = exporting::isoTime(clock.wall);
    std::string previous;
    for (const json& entry : har["log"]["entries"]) {
        const std::string started = entry.at("startedDateTime");
        SCOPED_TRACE(entry["request"]["url"].get<std::string>());
        EXPECT_LT(started, written) << "every request started before the file was written";
        EXPECT_LE(previous, started);
        previous = started;
    }
    // The child page was loaded after every transfer of the root page had ended.
    const std::string childStart = entries.at(url("/child.html")).at("startedDateTime");
    for (const char* path : {"/", "/s.css", "/a.gif", "/missing.gif"})
        EXPECT_LT(entries.at(url(path)).at("startedDateTime").get<std::string>(), childStart)
            << path;
    // The document is requested before the elements it names.
    EXPECT_LE(entries.at(url("/")).at("startedDateTime").get<std::string>(),
              entries.at(url("/a.gif")).at("startedDateTime").get<std::string>());
    EXPECT_EQ(har["log"]["entries"][0]["request"]["url"], url("/"));
    // A page starts with its root item's request.
    const json& pages = har["log"]["pages"];
    EXPECT_EQ(pages[0].at("startedDateTime"), entries.at(url("/")).at("startedDateTime"));
    EXPECT_EQ(pages[1].at("startedDateTime"), childStart);
}

// A server that answers every request with `statusLine` and a short HTML body.
class VersionedServer {
public:
    explicit VersionedServer(std::string statusLine)
        : server_([line = std::move(statusLine)](support::RawServer::Connection& c) {
              if (c.readRequest().empty()) return;
              c.send(line +
                     "\r\nContent-Type: text/html\r\nContent-Length: 6\r\n"
                     "Connection: close\r\n\r\n<html>");
          }) {}
    std::string url() const { return server_.url("/"); }

private:
    support::RawServer server_;
};

class HarVersion : public exporttest::LoadedSite,
                   public ::testing::WithParamInterface<const char*> {};

TEST_P(HarVersion, IsTheResponsesOwn) {
    VersionedServer server(std::string(GetParam()) + " 200 OK");
    const auto entry = load(server.url());
    const json har = exporting::harDocument({entry});
    ASSERT_EQ(har["log"]["entries"].size(), 1u);
    EXPECT_EQ(har["log"]["entries"][0]["response"].at("httpVersion"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Versions, HarVersion, ::testing::Values("HTTP/1.0", "HTTP/1.1"));

}  // namespace
