#include "export/HarWriter.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "tests/export/LoadedSite.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// "2024-05-01T09:30:12.345Z"
bool isIsoTime(const std::string& text) {
    const std::string shape = "dddd-dd-ddTdd:dd:dd.dddZ";
    if (text.size() != shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (shape[i] == 'd' ? !digit : text[i] != shape[i]) return false;
    }
    return true;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A folder of its own under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "pagelyst-har-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    std::vector<std::string> names() const {
        std::vector<std::string> list;
        for (const auto& entry : fs::directory_iterator(path_))
            list.push_back(entry.path().filename().string());
        return list;
    }

private:
    fs::path path_;
};

class HarFile : public exporttest::LoadedSite {
protected:
    // Entries by URL; each URL must appear once.
    static std::map<std::string, json> entriesByUrl(const json& har) {
        std::map<std::string, json> byUrl;
        for (const json& entry : har["log"]["entries"]) {
            const std::string url = entry["request"]["url"];
            EXPECT_TRUE(byUrl.emplace(url, entry).second) << url << " listed twice";
        }
        return byUrl;
    }

    ScratchFolder folder_;
};

TEST_F(HarFile, WritesEveryPageAndEntry) {
    const auto pages = loadSite();
    const fs::path path = folder_.path() / "site.har";
    std::string error;
    ASSERT_TRUE(exporting::writeHar(path.string(), pages, error)) << error;
    // The schema check (ctest cli_har_schema) validates this very file.
    if (const char* sample = std::getenv("PAGELYST_HAR_SAMPLE"))
        fs::copy_file(path, sample, fs::copy_options::overwrite_existing);
    const json har = json::parse(readFile(path));

    const json& log = har.at("log");
    EXPECT_EQ(log.at("version"), "1.2");
    EXPECT_EQ(log.at("creator").at("name"), "Pagelyst");
    ASSERT_EQ(log.at("pages").size(), 2u);
    const json& home = log["pages"][0];
    EXPECT_EQ(home.at("id"), "page_1");
    EXPECT_EQ(home.at("title"), "Home");
    EXPECT_EQ(home.at("pageTimings").at("onLoad"), pages[0]->figures(0).downloadTime);
    EXPECT_EQ(home.at("pageTimings").at("onContentLoad"), pages[0]->figures(0).browseTime);
    EXPECT_EQ(log["pages"][1].at("id"), "page_2");
    EXPECT_EQ(log["pages"][1].at("title"), "Child");

    for (const json& page : log["pages"]) EXPECT_TRUE(isIsoTime(page.at("startedDateTime")));

    // Four transfers for the root page; the child's shared image was not fetched again.
    const auto byUrl = entriesByUrl(har);
    ASSERT_EQ(byUrl.size(), 6u);
    for (const char* path : {"/", "/s.css", "/a.gif", "/missing.gif"})
        EXPECT_EQ(byUrl.at(url(path)).at("pageref"), "page_1") << path;
    EXPECT_EQ(byUrl.at(url("/child.html")).at("pageref"), "page_2");
    EXPECT_EQ(byUrl.at(url("/b.gif?x=1&y=a%20b")).at("pageref"), "page_2");

    std::string previous;
    for (const json& entry : log.at("entries")) {
        const json& t = entry.at("timings");
        SCOPED_TRACE(entry["request"]["url"].get<std::string>());
        int sum = 0;
        for (const char* phase : {"blocked", "dns", "connect", "send", "wait", "receive", "ssl"})
            sum += std::max(t.at(phase).get<int>(), 0);
        EXPECT_EQ(entry.at("time"), sum);
        EXPECT_EQ(t.at("blocked"), -1);
        EXPECT_EQ(t.at("dns"), -1);
        EXPECT_EQ(t.at("ssl"), -1);
        for (const char* phase : {"send", "wait", "receive"}) EXPECT_GE(t.at(phase), 0);
        const std::string started = entry.at("startedDateTime");
        EXPECT_TRUE(isIsoTime(started)) << started;
        EXPECT_LE(previous, started) << "entries are in the order they started";
        previous = started;
    }

    const json& image = byUrl.at(url("/a.gif"));
    EXPECT_EQ(image["response"].at("status"), 200);
    EXPECT_EQ(image["response"].at("statusText"), "OK");
    EXPECT_EQ(image["response"]["content"].at("mimeType"), "image/gif");
    EXPECT_EQ(image["response"]["content"].at("size"), std::string(kGif).size());
    EXPECT_FALSE(image.contains("comment"));

    const json& missing = byUrl.at(url("/missing.gif"));
    EXPECT_EQ(missing["response"].at("status"), 404);
    EXPECT_EQ(missing["response"].at("statusText"), "Not Found");
    EXPECT_NE(missing.at("comment"), "");

    const json query = byUrl.at(url("/b.gif?x=1&y=a%20b"))["request"].at("queryString");
    EXPECT_EQ(query, json::parse(R"([{"name":"x","value":"1"},{"name":"y","value":"a b"}])"));
    EXPECT_EQ(byUrl.at(url("/"))["request"].at("queryString"), json::array());
}

TEST_F(HarFile, AFailedConnectionHasStatusZeroAndItsErrorText) {
    // A port nothing listens on: the transfer fails before any response.
    std::string refused;
    {
        support::TestServer gone;
        refused = gone.url("/nothing.html");
    }
    const auto entry = load(refused);
    const json har = exporting::harDocument({entry});
    ASSERT_EQ(har["log"]["entries"].size(), 1u);
    const json& only = har["log"]["entries"][0];
    EXPECT_EQ(only["response"].at("status"), 0);
    EXPECT_EQ(only["response"].at("httpVersion"), "");
    EXPECT_EQ(only["response"].at("bodySize"), -1);
    EXPECT_NE(only.at("comment"), "");
    EXPECT_EQ(har["log"]["pages"][0]["pageTimings"].at("onLoad"), -1);
}

TEST_F(HarFile, AFailedWriteLeavesNoFileAndKeepsTheOldOne) {
    const auto pages = loadSite();
    std::string error;

    const fs::path nowhere = folder_.path() / "missing-folder" / "site.har";
    EXPECT_FALSE(exporting::writeHar(nowhere.string(), pages, error));
    EXPECT_NE(error.find(nowhere.string()), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(nowhere.parent_path()));

    // A disk that fills up halfway: the file size limit stops the write after 100 bytes.
    const fs::path path = folder_.path() / "site.har";
    std::ofstream(path) << "earlier";
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = exporting::writeHar(path.string(), pages, error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(path), "earlier");
    EXPECT_EQ(folder_.names(), std::vector<std::string>{"site.har"}) << "no temporary file";
}

TEST(HarTime, IsUtcWithMilliseconds) {
    using namespace std::chrono;
    const system_clock::time_point t = sys_days{2024y / 2 / 29} + 23h + 59min + 58s + 7ms;
    EXPECT_EQ(exporting::isoTime(t), "2024-02-29T23:59:58.007Z");
    // Ticks count back from the clock's moment, also across the counter's wrap.
    const exporting::HarClock clock{t, 5};
    EXPECT_EQ(exporting::isoTime(clock.wallTime(0xFFFFFFFFu)), "2024-02-29T23:59:58.001Z");
}

}  // namespace
