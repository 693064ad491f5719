#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "export/HarImport.h"
#include "tests/export/ImportedPages.h"

namespace {

using nlohmann::json;

// A HAR file that imports: one page with one entry.
json validHar() {
    return json::parse(R"({"log": {
        "version": "1.2", "creator": {"name": "test", "version": "1"},
        "pages": [{"id": "p", "title": "T", "startedDateTime": "2024-05-01T09:30:12.000Z",
                   "pageTimings": {}}],
        "entries": [{"pageref": "p", "startedDateTime": "2024-05-01T09:30:12.000Z", "time": 3,
                     "request": {"method": "GET", "url": "http://x.example/", "headers": []},
                     "response": {"status": 200, "redirectURL": "", "bodySize": 10,
                                  "content": {"size": 10, "mimeType": "text/html"}},
                     "cache": {}, "timings": {"send": 1, "wait": 1, "receive": 1}}]}})");
}

// The valid file with the value at `pointer` replaced (or added).
std::string with(const std::string& pointer, json value) {
    json har = validHar();
    har[json::json_pointer(pointer)] = std::move(value);
    return har.dump();
}

// The valid file without the value at `pointer`.
std::string without(const std::string& pointer) {
    json har = validHar();
    const json::json_pointer at(pointer);
    har.at(at.parent_pointer()).erase(at.back());
    return har.dump();
}

std::string manyEntries(std::size_t count) {
    std::string text = R"({"log": {"version": "1.2", "entries": [)";
    for (std::size_t i = 0; i < count; ++i) text += i == 0 ? "{}" : ",{}";
    return text + "]}}";
}

std::string manyPages(std::size_t count) {
    json har = validHar();
    for (std::size_t i = 0; i < count; ++i)
        har["log"]["pages"].push_back({{"id", "page " + std::to_string(i)}});
    return har.dump();
}

std::string laterEntry(const char* started) {
    json har = validHar();
    json second = har["log"]["entries"][0];
    second["startedDateTime"] = started;
    har["log"]["entries"].push_back(second);
    return har.dump();
}

struct Refusal {
    const char* name;
    std::function<std::string()> file;
    std::string message;  // the whole message, or its start when it ends in "..."
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class HarRefusal : public exporttest::ImportedPages,
                   public ::testing::WithParamInterface<Refusal> {};

TEST_P(HarRefusal, NamesTheCauseAndChangesNothing) {
    const std::string path = folder_.write("bad.har", GetParam().file());
    const exporting::HarImport imported = import(path);
    std::string expected = GetParam().message;
    if (expected.size() > 3 && expected.compare(expected.size() - 3, 3, "...") == 0) {
        expected.resize(expected.size() - 3);
        EXPECT_EQ(imported.error.substr(0, expected.size()), expected) << imported.error;
    } else {
        EXPECT_EQ(imported.error, expected);
    }
    EXPECT_TRUE(imported.nodes.empty());
    EXPECT_EQ(tree_.pageCount(), 0u);
    EXPECT_EQ(manager_.registry().size(), 0u);
    EXPECT_TRUE(sink_->messages().empty());
}

const std::string kLong(9000, 'a');

INSTANTIATE_TEST_SUITE_P(
    BadInput, HarRefusal,
    ::testing::Values(
        // Not JSON.
        Refusal{"Empty", [] { return std::string(); },
                "not JSON: parse error at line 1, column ..."},
        Refusal{"Cut", [] { return std::string(R"({"log": {"version": "1.2")"); },
                "not JSON: parse error at line 1, column ..."},
        Refusal{"Words", [] { return std::string("HTTP Archive"); },
                "not JSON: parse error at line 1, column ..."},
        // Not HAR 1.1 or 1.2.
        Refusal{"Array", [] { return std::string("[1, 2]"); },
                "not a HAR file: the file holds no \"log\" object"},
        Refusal{"NoLog", [] { return std::string(R"({"har": {}})"); },
                "not a HAR file: the file holds no \"log\" object"},
        Refusal{"LogNotObject", [] { return with("/log", json::array()); }, "log is not an object"},
        Refusal{"NoVersion", [] { return without("/log/version"); },
                "not HAR 1.1 or 1.2: log.version is missing"},
        Refusal{"Version13", [] { return with("/log/version", "1.3"); },
                "not HAR 1.1 or 1.2: log.version is \"1.3\""},
        Refusal{"VersionNumber", [] { return with("/log/version", 1.2); },
                "log.version is not a text"},
        Refusal{"NoEntries", [] { return without("/log/entries"); },
                "not a HAR file: log.entries is missing"},
        Refusal{"PagesNotArray", [] { return with("/log/pages", json::object()); },
                "log.pages is not an array"},
        Refusal{"EntryNotObject", [] { return with("/log/entries/0", 1); },
                "log.entries[0] is not an object"},
        // Entries without timings.
        Refusal{"NoTimings", [] { return without("/log/entries/0/timings"); },
                "log.entries[0] has no timings"},
        Refusal{"NoWait", [] { return without("/log/entries/0/timings/wait"); },
                "log.entries[0].timings.wait is missing"},
        Refusal{"TimeText", [] { return with("/log/entries/0/timings/send", "1"); },
                "log.entries[0].timings.send is not a number"},
        // Negative or absurd values.
        Refusal{"NegativeTime", [] { return with("/log/entries/0/timings/wait", -5); },
                "log.entries[0].timings.wait is -5 ms: a time is -1 (none) or not negative"},
        Refusal{"NegativeFraction", [] { return with("/log/entries/0/timings/dns", -0.5); },
                "log.entries[0].timings.dns is -0.5 ms: a time is -1 (none) or not negative"},
        Refusal{"DayLongTime", [] { return with("/log/entries/0/timings/receive", 1e12); },
                "log.entries[0].timings.receive is 1000000000000 ms: more than a day"},
        Refusal{"NegativeStatus", [] { return with("/log/entries/0/response/status", -1); },
                "log.entries[0].response.status is -1: not an HTTP status"},
        Refusal{"FractionStatus", [] { return with("/log/entries/0/response/status", 200.5); },
                "log.entries[0].response.status is 200.5: not an HTTP status"},
        Refusal{"HugeBody", [] { return with("/log/entries/0/response/bodySize", 1e13); },
                "log.entries[0].response.bodySize is 10000000000000 bytes: more than 4 GB"},
        Refusal{"NegativeContent", [] { return with("/log/entries/0/response/content/size", -7); },
                "log.entries[0].response.content.size is -7: a size is -1 or not negative"},
        Refusal{"NotADate", [] { return with("/log/entries/0/startedDateTime", "yesterday"); },
                "log.entries[0].startedDateTime \"yesterday\" is not a date and time"},
        Refusal{"MonthsApart", [] { return laterEntry("2024-06-15T09:30:12.000Z"); },
                "log.entries[1] starts more than 30 days after log.entries[0]"},
        Refusal{"TooManyEntries", [] { return manyEntries(100001); },
                "log.entries holds more than 100000 entries"},
        Refusal{"TooManyPages", [] { return manyPages(10000); },
                "log.pages holds more than 10000 pages"},
        // Missing parts.
        Refusal{"NoStart", [] { return without("/log/entries/0/startedDateTime"); },
                "log.entries[0].startedDateTime is missing"},
        Refusal{"NoUrl", [] { return without("/log/entries/0/request/url"); },
                "log.entries[0].request.url is missing"},
        Refusal{"NoStatus", [] { return without("/log/entries/0/response/status"); },
                "log.entries[0].response.status is missing"},
        Refusal{"NoPageId", [] { return without("/log/pages/0/id"); },
                "log.pages[0].id is missing"},
        // Duplicate page ids, and references to none.
        Refusal{"DuplicatePageId",
                [] {
                    return with("/log/pages/1", {{"id", "p"}, {"title", "U"}});
                },
                "log.pages[1].id \"p\" is the id of log.pages[0] already"},
        Refusal{"UnknownPage", [] { return with("/log/entries/0/pageref", "q"); },
                "log.entries[0].pageref \"q\" names no page of log.pages"},
        // Addresses.
        Refusal{"NoHost", [] { return with("/log/entries/0/request/url", "http://"); },
                "log.entries[0].request.url \"http://\" is not an address that can be requested"},
        Refusal{"LongUrl",
                [] { return with("/log/entries/0/request/url", "http://x.example/" + kLong); },
                "log.entries[0].request.url is longer than 8192 bytes"},
        // Nothing to import.
        Refusal{"OnlyData",
                [] { return with("/log/entries/0/request/url", "data:text/html,hello"); },
                "no page to import: the file holds no HTTP or HTTPS request"},
        Refusal{"NoDocument",
                [] {
                    json har = json::parse(without("/log/entries/0/pageref"));
                    har["log"]["entries"][0]["response"]["content"]["mimeType"] = "image/png";
                    return har.dump();
                },
                "no page to import: no request belongs to a page or follows a document"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

class HarImportFailure : public exporttest::ImportedPages {};

TEST_F(HarImportFailure, LeavesTheEarlierPagesAsTheyWere) {
    const std::string good = folder_.write("good.har", validHar().dump());
    ASSERT_EQ(import(good).nodes.size(), 1u);
    const std::size_t messages = sink_->messages().size();
    EXPECT_NE(import(folder_.write("bad.har", with("/log/entries/0/timings/wait", -2))).error, "");
    EXPECT_EQ(tree_.pageCount(), 1u);
    EXPECT_EQ(sink_->messages().size(), messages);
}

}  // namespace
