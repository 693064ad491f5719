// The demo site measured twice: served by the built-in demo server and, as files, by nginx. A
// production server sending the same files must give the same analysis: the same pages, the
// same elements at the same paths, with the same statuses, content types and sizes.
//
// Differences by design:
// - /images/missing.gif: both answer 404 with an HTML page, but each its own page, so its size
//   differs;
// - /images/slow.gif: nginx answers at once (the times are not compared at all);
// - the HTML files carry their server's origin, so when the two ports have a different number
//   of digits, the pages' sizes differ by that much for each origin in them.
//
// The test skips when /usr/sbin/nginx is missing (scripts/bootstrap.sh installs it).

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/DemoSite.h"
#include "engine/crawl/CrawlController.h"
#include "engine/figures/ConnectionSpeed.h"
#include "engine/figures/PageFigures.h"
#include "engine/schedule/PageEntry.h"
#include "engine/schedule/PageState.h"
#include "export/PageFacts.h"
#include "tests/engine/SiteFixture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kNginx = "/usr/sbin/nginx";
const fs::path kSiteDir = PAGELYST_DEMO_SITE_DIR;
const fs::path kConfigTemplate = PAGELYST_NGINX_CONF;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::size_t replaceAll(std::string& text, const std::string& from, const std::string& to) {
    std::size_t count = 0;
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
        ++count;
    }
    return count;
}

// A port no one listens on at the moment: the system's pick for a socket bound and closed.
std::uint16_t freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    std::uint16_t port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool accepts(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool connected =
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

// nginx in the foreground on a loopback port, serving a copy of the demo site with the
// placeholders filled for that port, from a temporary folder that goes with the object.
class NginxSite {
public:
    NginxSite() {
        run_ = fs::temp_directory_path() /
               ("pagelyst-nginx-" + std::to_string(::getpid()) + "-" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        fs::create_directories(run_ / "site");
    }
    ~NginxSite() {
        stop();
        std::error_code ignored;
        fs::remove_all(run_, ignored);
    }
    NginxSite(const NginxSite&) = delete;
    NginxSite& operator=(const NginxSite&) = delete;

    // Copies the site and starts the server; "" when it runs, else what went wrong.
    std::string start() {
        port_ = freeLoopbackPort();
        if (port_ == 0) return "no free loopback port";
        const std::string home = "http://127.0.0.1:" + std::to_string(port_);
        const std::string partner = "http://localhost:" + std::to_string(port_);
        const fs::path root = run_ / "site";
        for (const auto& entry : fs::recursive_directory_iterator(kSiteDir)) {
            const fs::path target = root / fs::relative(entry.path(), kSiteDir);
            if (entry.is_directory()) {
                fs::create_directories(target);
                continue;
            }
            std::string bytes = readFile(entry.path());
            if (entry.path().extension() == ".html") {
                replaceAll(bytes, "{{HOME_ORIGIN}}", home);
                replaceAll(bytes, "{{PARTNER_ORIGIN}}", partner);
            }
            writeFile(target, bytes);
        }
        std::string config = readFile(kConfigTemplate);
        if (config.empty()) return "cannot read " + kConfigTemplate.string();
        replaceAll(config, "@PORT@", std::to_string(port_));
        replaceAll(config, "@ROOT@", root.string());
        replaceAll(config, "@RUN@", run_.string());
        writeFile(run_ / "nginx.conf", config);

        const std::string prefix = run_.string() + "/";
        const std::string errorLog = (run_ / "error.log").string();
        const std::string configPath = (run_ / "nginx.conf").string();
        std::vector<std::string> args = {kNginx, "-p", prefix, "-e", errorLog, "-c", configPath};
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, kNginx, nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
            return "cannot start nginx";
        }
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < limit) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return "nginx exited: " + readFile(errorLog);
            }
            if (accepts(port_)) return {};
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return "nginx did not accept connections: " + readFile(errorLog);
    }

    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

    std::uint16_t port() const { return port_; }
    std::string homeAddress() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    std::string partnerAddress() const {
        return "http://localhost:" + std::to_string(port_) + "/partner.html";
    }

private:
    fs::path run_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

// What the analysis shows of one element of a page.
struct Element {
    int level = 0;
    int status = 0;
    std::string type;
    std::uint32_t size = 0;
    int phase = 0;
};

// What the analysis shows of one page: its state, title and elements by address, with the
// server's origins written as HOME and PARTNER so that two servers' pages compare.
struct Page {
    std::uint32_t state = 0;
    std::string title;
    std::map<std::string, Element> elements;
};

using Site = std::map<std::string, Page>;  // by page address, origins written as above

std::string portable(std::string address, std::uint16_t port) {
    replaceAll(address, "http://127.0.0.1:" + std::to_string(port), "HOME");
    replaceAll(address, "http://localhost:" + std::to_string(port), "PARTNER");
    return address;
}

// The pages the demo links from its home page; the home page is loaded first, these below it.
const std::vector<std::string> kChildPages = {"about.html", "products.html", "contact.html",
                                              "downloads.html"};

class NginxPeerTest : public enginetest::SiteFixture {
protected:
    std::shared_ptr<engine::PageEntry> loadBelow(const std::shared_ptr<engine::PageEntry>& parent,
                                                 const std::string& address) {
        auto entry = engine::PageEntry::create(*manager_, address, parent);
        manager_->enqueuePage(entry, engine::kScanAll);
        EXPECT_TRUE(sink_->waitForRunsEnded(++runs_)) << "the run did not end";
        return entry;
    }

    // The analysis of a server's copy of the site: a fresh manager loads the home page, then
    // the pages it links to, the partner host's page among them.
    Site analyse(const std::string& home, const std::string& partner, std::uint16_t port) {
        use(engine::SiteManager::Role::Interactive);
        std::vector<std::shared_ptr<engine::PageEntry>> pages;
        auto root = load(home);
        pages.push_back(root);
        for (const std::string& child : kChildPages) pages.push_back(loadBelow(root, home + child));
        pages.push_back(loadBelow(root, partner));

        Site site;
        for (const auto& entry : pages) {
            Page page;
            page.state = static_cast<std::uint32_t>(entry->state());
            page.title = engine::pageTitle(*entry);
            const engine::PageFigures figures = entry->figures(engine::kActualSpeed);
            // An element shared by the page and its frame shows once in each; the occurrence
            // number keeps them apart.
            std::map<std::string, int> seen;
            for (const auto& item : figures.items) {
                Element element{item.level, item.item->statusCode(), item.item->contentType(),
                                item.stats.size, static_cast<int>(item.item->phase())};
                std::string key = portable(item.item->address().urlText, port);
                if (const int n = seen[key]++; n > 0) key += " #" + std::to_string(n + 1);
                page.elements.emplace(key, element);
            }
            site.emplace(portable(entry->address().urlText, port), std::move(page));
        }
        return site;
    }
};

// How many bytes a page of the site grows by when its origins name `port` instead of
// `otherPort`.
long originGrowth(const std::string& elementKey, std::uint16_t port, std::uint16_t otherPort) {
    if (!elementKey.ends_with(".html") && !elementKey.ends_with("/")) return 0;
    std::string path = elementKey.substr(elementKey.find('/') + 1);
    if (path.empty()) path = "index.html";
    std::string text = readFile(kSiteDir / path);
    const long origins = static_cast<long>(replaceAll(text, "{{HOME_ORIGIN}}", "") +
                                           replaceAll(text, "{{PARTNER_ORIGIN}}", ""));
    return origins * (static_cast<long>(std::to_string(port).size()) -
                      static_cast<long>(std::to_string(otherPort).size()));
}

TEST_F(NginxPeerTest, GivesTheSameAnalysisAsTheDemoServer) {
    if (!fs::exists(kNginx)) GTEST_SKIP() << kNginx << " is not installed";
    NginxSite nginx;
    const std::string problem = nginx.start();
    ASSERT_EQ(problem, "");
    cli::DemoSite demo;

    const Site fromDemo = analyse(demo.homeAddress(), demo.partnerAddress(), demo.port());
    const Site fromNginx = analyse(nginx.homeAddress(), nginx.partnerAddress(), nginx.port());

    ASSERT_EQ(fromDemo.size(), kChildPages.size() + 2);
    ASSERT_EQ(fromNginx.size(), fromDemo.size());
    for (const auto& [address, demoPage] : fromDemo) {
        SCOPED_TRACE(address);
        const auto found = fromNginx.find(address);
        ASSERT_NE(found, fromNginx.end()) << "nginx's analysis has no such page";
        const Page& nginxPage = found->second;
        // The home page ends as "Child Error" on both, for its missing image.
        EXPECT_TRUE(engine::isLoaded(static_cast<engine::PageState>(demoPage.state)));
        EXPECT_EQ(nginxPage.state, demoPage.state);
        EXPECT_EQ(nginxPage.title, demoPage.title);
        EXPECT_FALSE(demoPage.title.empty());

        std::vector<std::string> demoPaths;
        std::vector<std::string> nginxPaths;
        for (const auto& element : demoPage.elements) demoPaths.push_back(element.first);
        for (const auto& element : nginxPage.elements) nginxPaths.push_back(element.first);
        EXPECT_EQ(nginxPaths, demoPaths);
        for (const auto& [key, d] : demoPage.elements) {
            const auto other = nginxPage.elements.find(key);
            if (other == nginxPage.elements.end()) continue;
            const Element& n = other->second;
            SCOPED_TRACE(key);
            EXPECT_EQ(n.level, d.level);
            EXPECT_EQ(n.status, d.status);
            EXPECT_EQ(n.type, d.type);
            EXPECT_EQ(n.phase, d.phase);
            if (key.ends_with("/images/missing.gif")) {
                EXPECT_EQ(d.status, 404);
                continue;  // each server's own 404 page
            }
            EXPECT_EQ(static_cast<long>(n.size),
                      static_cast<long>(d.size) + originGrowth(key, nginx.port(), demo.port()));
        }
    }
    // The elements the site is there to show.
    const Page& home = fromDemo.at("HOME/");
    EXPECT_EQ(home.state, static_cast<std::uint32_t>(engine::PageState::ChildError));
    EXPECT_EQ(home.elements.at("HOME/images/missing.gif").status, 404);
    EXPECT_EQ(home.elements.at("HOME/style.css #2").level, 2);  // the frame's
    EXPECT_GT(home.elements.at("HOME/images/large.jpg").size, 100000u);
    EXPECT_EQ(home.elements.at("HOME/images/logo.gif").type, "image/gif");
    EXPECT_EQ(fromDemo.at("HOME/downloads.html").elements.at("HOME/files/setup.bin").type,
              "application/octet-stream");
}

}  // namespace
