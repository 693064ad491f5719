#include "cli/DemoSite.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <future>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "cli/DemoSiteFiles.h"

namespace cli {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

std::string typeFor(const std::string& path) {
    const auto dot = path.rfind('.');
    const std::string extension = dot == std::string::npos ? "" : path.substr(dot);
    static const std::map<std::string, std::string> types = {
        {".html", "text/html; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".gif", "image/gif"},
        {".jpg", "image/jpeg"},
        {".bin", "application/octet-stream"}};
    const auto type = types.find(extension);
    return type == types.end() ? "text/html; charset=utf-8" : type->second;  // "/" is a page
}

std::string_view embedded(std::string_view path) {
    for (const EmbeddedFile& file : demoSiteFiles())
        if (file.path == path) return file.bytes;
    return {};
}

class DemoSiteTest : public ::testing::Test {
protected:
    std::string origin(const std::string& host) const {
        return "http://" + host + ":" + std::to_string(site.port());
    }
    httplib::Result get(const std::string& host, const std::string& path) {
        httplib::Client client(host, site.port());
        return client.Get(path);
    }

    DemoSite site;
};

TEST_F(DemoSiteTest, HomeIsOnTheLoopbackPort) {
    EXPECT_NE(site.port(), 0);
    EXPECT_EQ(site.homeAddress(), origin("127.0.0.1") + "/");
    EXPECT_EQ(site.partnerAddress(), origin("localhost") + "/partner.html");

    const auto home = get("127.0.0.1", "/");
    ASSERT_TRUE(home);
    EXPECT_EQ(home->status, 200);
    EXPECT_EQ(home->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(home->body.find("<title>Pagelyst demo site: home</title>"), std::string::npos);
    EXPECT_NE(home->body.find("href=\"" + site.partnerAddress() + "\""), std::string::npos);
    EXPECT_EQ(home->body.find("{{"), std::string::npos);
}

// A resolved reference of a page: which host serves it, at which path.
struct Target {
    std::string host;
    std::string path;
    bool operator<(const Target& other) const {
        return std::tie(host, path) < std::tie(other.host, other.path);
    }
};

// The values of the page's src, background and href attributes, in no particular order.
std::vector<std::string> attributeValues(const std::string& page) {
    std::vector<std::string> values;
    for (const std::string name : {" src=\"", " background=\"", " href=\""}) {
        for (auto at = page.find(name); at != std::string::npos; at = page.find(name, at + 1)) {
            const auto begin = at + name.size();
            values.push_back(page.substr(begin, page.find('"', begin) - begin));
        }
    }
    return values;
}

// The page's references resolved; the site uses only "./", "name" and "http://host:port/name"
// references from pages in its root folder.
std::vector<Target> references(const std::string& host, const std::string& page,
                               std::uint16_t port) {
    std::vector<Target> found;
    for (const std::string& value : attributeValues(page)) {
        bool absolute = false;
        for (const std::string origin : {"127.0.0.1", "localhost"}) {
            const std::string prefix = "http://" + origin + ":" + std::to_string(port) + "/";
            if (value.starts_with(prefix)) {
                found.push_back({origin, value.substr(prefix.size() - 1)});
                absolute = true;
            }
        }
        if (absolute) continue;
        EXPECT_EQ(value.find(':'), std::string::npos) << "foreign address " << value;
        found.push_back({host, value == "./" ? "/" : "/" + value});
    }
    return found;
}

TEST_F(DemoSiteTest, HomeReferencesOneElementOfEachKind) {
    const auto home = get("127.0.0.1", "/");
    ASSERT_TRUE(home);
    std::set<std::string> paths;
    for (const Target& target : references("127.0.0.1", home->body, site.port()))
        paths.insert(target.host == "127.0.0.1" ? target.path : target.host + target.path);
    for (const char* path :
         {"/style.css", "/app.js", "/frame.html", "/images/background.gif", "/images/logo.gif",
          "/images/photo.jpg", "/images/missing.gif", "/images/redirect.gif", "/images/slow.gif",
          "/images/large.jpg", "/about.html", "/products.html", "/contact.html", "/downloads.html",
          "localhost/partner.html"})
        EXPECT_TRUE(paths.count(path)) << path;
}

// Follows every reference of every page from the home page: each one answers with its status
// and type, and the crawl meets every page of the site.
TEST_F(DemoSiteTest, EveryReferenceOfEveryPageAnswers) {
    const std::map<std::string, int> statuses = {{"/images/missing.gif", 404},
                                                 {"/images/redirect.gif", 302}};
    std::set<Target> seen = {{"127.0.0.1", "/"}};
    std::vector<Target> pages = {{"127.0.0.1", "/"}};
    std::set<std::string> pagePaths;
    while (!pages.empty()) {
        const Target page = pages.back();
        pages.pop_back();
        pagePaths.insert(page.path);
        const auto response = get(page.host, page.path);
        ASSERT_TRUE(response) << page.path;
        for (const Target& target : references(page.host, response->body, site.port())) {
            if (!seen.insert(target).second) continue;
            const auto element = get(target.host, target.path);
            ASSERT_TRUE(element) << target.path;
            const auto status = statuses.find(target.path);
            EXPECT_EQ(element->status, status == statuses.end() ? 200 : status->second)
                << target.host << target.path;
            if (element->status == 200) {
                EXPECT_EQ(element->get_header_value("Content-Type"), typeFor(target.path))
                    << target.path;
            }
            if (target.path == "/" || target.path.ends_with(".html")) pages.push_back(target);
        }
    }
    EXPECT_EQ(pagePaths,
              (std::set<std::string>{"/", "/about.html", "/products.html", "/contact.html",
                                     "/downloads.html", "/frame.html", "/partner.html"}));
    EXPECT_TRUE(seen.count({"localhost", "/partner.html"}));
    EXPECT_TRUE(seen.count({"localhost", "/images/photo.jpg"}));
    EXPECT_TRUE(seen.count({"127.0.0.1", "/files/setup.bin"}));
}

TEST_F(DemoSiteTest, ServesEveryFileByteForByte) {
    std::vector<std::string_view> paths;
    for (const EmbeddedFile& file : demoSiteFiles()) paths.push_back(file.path);
    EXPECT_EQ(paths,
              (std::vector<std::string_view>{
                  "about.html", "app.js", "contact.html", "downloads.html", "files/setup.bin",
                  "frame.html", "images/background.gif", "images/frame-icon.gif",
                  "images/large.jpg", "images/logo.gif", "images/moved.gif", "images/photo.jpg",
                  "images/slow.gif", "index.html", "partner.html", "products.html", "style.css"}));
    for (const EmbeddedFile& file : demoSiteFiles()) {
        const std::string path(file.path);
        if (path.ends_with(".html") || path == "images/slow.gif") continue;
        const auto response = get("127.0.0.1", "/" + path);
        ASSERT_TRUE(response) << path;
        EXPECT_EQ(response->status, 200) << path;
        EXPECT_EQ(response->body, file.bytes) << path;
        EXPECT_EQ(response->get_header_value("Content-Type"), typeFor(path)) << path;
    }
    EXPECT_GT(embedded("images/large.jpg").size(), 150'000u);
}

TEST_F(DemoSiteTest, MissingImageIsNotFoundWithAPage) {
    const auto response = get("127.0.0.1", "/images/missing.gif");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 404);
    EXPECT_EQ(response->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(response->body.find("<h1>Not found</h1>"), std::string::npos);
}

TEST_F(DemoSiteTest, RedirectLeadsToTheMovedImage) {
    const auto moved = get("127.0.0.1", "/images/redirect.gif");
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->status, 302);
    EXPECT_EQ(moved->get_header_value("Location"), "/images/moved.gif");

    httplib::Client client("127.0.0.1", site.port());
    client.set_follow_location(true);
    const auto followed = client.Get("/images/redirect.gif");
    ASSERT_TRUE(followed);
    EXPECT_EQ(followed->status, 200);
    EXPECT_EQ(followed->get_header_value("Content-Type"), "image/gif");
    EXPECT_EQ(followed->body, embedded("images/moved.gif"));
}

TEST_F(DemoSiteTest, PagesAndFilesAreAnsweredAfterTheirFixedDelays) {
    for (const auto& [path, delay] : {std::pair{"/", DemoSite::kDocumentDelay},
                                      std::pair{"/about.html", DemoSite::kDocumentDelay},
                                      std::pair{"/style.css", DemoSite::kElementDelay},
                                      std::pair{"/images/logo.gif", DemoSite::kElementDelay},
                                      std::pair{"/images/missing.gif", DemoSite::kElementDelay}}) {
        const auto start = steady_clock::now();
        const auto response = get("127.0.0.1", path);
        const auto elapsed = steady_clock::now() - start;
        ASSERT_TRUE(response) << path;
        EXPECT_GE(elapsed, delay) << path;
        EXPECT_LT(elapsed, DemoSite::kSlowDelay) << path;
    }
}

TEST_F(DemoSiteTest, SlowImageIsAnsweredAfterItsDelay) {
    const auto start = steady_clock::now();
    const auto response = get("127.0.0.1", "/images/slow.gif");
    const auto elapsed = steady_clock::now() - start;
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_EQ(response->body, embedded("images/slow.gif"));
    EXPECT_GE(elapsed, DemoSite::kSlowDelay - milliseconds(50));
}

TEST_F(DemoSiteTest, DownloadIsAnOctetStream) {
    const auto page = get("127.0.0.1", "/downloads.html");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<embed src=\"files/setup.bin\""), std::string::npos);
    const auto file = get("127.0.0.1", "/files/setup.bin");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->status, 200);
    EXPECT_EQ(file->get_header_value("Content-Type"), "application/octet-stream");
}

TEST_F(DemoSiteTest, PartnerPageIsServedToTheSecondHostName) {
    const auto partner = get("localhost", "/partner.html");
    ASSERT_TRUE(partner);
    EXPECT_EQ(partner->status, 200);
    EXPECT_NE(partner->body.find("<title>Pagelyst demo site: partner</title>"), std::string::npos);
    EXPECT_NE(partner->body.find("href=\"" + site.homeAddress() + "\""), std::string::npos);
}

TEST_F(DemoSiteTest, ConnectionsAreKeptAlive) {
    httplib::Client client("127.0.0.1", site.port());
    client.set_keep_alive(true);
    for (const char* path : {"/", "/style.css", "/images/logo.gif"}) {
        const auto response = client.Get(path);
        ASSERT_TRUE(response) << path;
        EXPECT_NE(response->get_header_value("Connection"), "close") << path;
        EXPECT_TRUE(response->has_header("Keep-Alive")) << path;
    }
}

// stop() does not wait out a delayed answer: the slow image, asked for before stop(), never
// arrives (503 when the request had reached the server, a failed request otherwise).
TEST_F(DemoSiteTest, StopCutsDelayedAnswersAndClosesThePort) {
    auto slow = std::async(std::launch::async, [this] {
        httplib::Client client("127.0.0.1", site.port());
        const auto response = client.Get("/images/slow.gif");
        return response ? response->status : -1;
    });
    std::this_thread::sleep_for(milliseconds(200));
    site.stop();
    EXPECT_NE(slow.get(), 200);

    EXPECT_FALSE(get("127.0.0.1", "/"));
    site.stop();  // a second stop is harmless
}

TEST(DemoSite, TwoSitesGetTheirOwnPorts) {
    DemoSite first;
    DemoSite second;
    EXPECT_NE(first.port(), second.port());
}

}  // namespace
}  // namespace cli
