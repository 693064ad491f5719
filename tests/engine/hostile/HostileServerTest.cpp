#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/base/LoadPhase.h"
#include "engine/http/CurlErrorMap.h"
#include "engine/items/ErrorText.h"
#include "tests/engine/SiteTreeFixture.h"
#include "tests/support/RawServer.h"
#include "tests/support/TestCertificates.h"

namespace {

using namespace std::chrono_literals;
using engine::LoadPhase;
using engine::PageState;
using support::RawServer;
using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

// Every hostile transfer is given up after this long without progress.
constexpr Ms kTimeout{1000};
// Stop must end a run within this.
constexpr Ms kStopLimit{1000};

// What one faulty server must lead to, written down per case.
struct Expected {
    PageState state;
    LoadPhase phase;
    std::int32_t result;
    Ms budget;  // the longest the page may take (time-out cases: the time-out plus one second)
};

// A fault the server commits, and where it commits it: a script on a raw TCP server, or (for
// HTTPS) a route of the TLS test server.
struct FaultCase {
    std::string name;
    bool https = false;
    RawServer::Script script;          // HTTP and the TLS handshake faults
    httplib::Server::Handler handler;  // HTTPS faults behind a good handshake
    std::optional<support::ServerIdentity> identity;
    bool stopAfterOneSecond = false;  // the fault never ends by itself: the user stops
    Expected expected;
};

void sleepUnlessStopping(RawServer::Connection& c, Ms duration) {
    c.waitForStop(duration);
}

std::string headers(const std::string& extra) {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n" + extra + "\r\n";
}

// One authority for every certificate of the suite; the transfers trust it.
support::TestCertificateAuthority& authority() {
    static support::TestCertificateAuthority ca;
    return ca;
}

// The cases, in the order cases() builds them.
const std::vector<std::string>& caseNames() {
    static const std::vector<std::string> names{"delay before headers",
                                                "one byte per second",
                                                "idle forever",
                                                "a body that never ends",
                                                "close after headers",
                                                "reset mid-body",
                                                "Content-Length longer than body",
                                                "chunked without its last chunk",
                                                "empty reply",
                                                "redirect loop",
                                                "2 GiB+ Content-Length",
                                                "garbage status line",
                                                "one header of 1 MB",
                                                "TLS handshake fails",
                                                "HTTPS delay before headers",
                                                "HTTPS idle forever",
                                                "HTTPS body that never ends",
                                                "HTTPS redirect loop",
                                                "expired certificate (accepted)",
                                                "wrong-name certificate (accepted)"};
    return names;
}

// The fault table: filled by the cases as they run, printed once at the end.
struct TableRow {
    std::string name;
    int passed = 0;
    int total = 0;
    long longestMs = 0;  // beyond the time-out, after Stop, or in all, as `measure` says
    const char* measure = "";
};
std::vector<TableRow>& table() {
    static std::vector<TableRow> rows;
    return rows;
}
TableRow& row(const std::string& name) {
    auto& rows = table();
    const auto it =
        std::find_if(rows.begin(), rows.end(), [&](const TableRow& r) { return r.name == name; });
    if (it != rows.end()) return *it;
    rows.push_back({name});
    return rows.back();
}

class HostileServers : public enginetest::SiteTreeFixture,
                       public ::testing::WithParamInterface<std::string> {
protected:
    // The manager goes first: its transfers hold the fault servers' connections open.
    ~HostileServers() override {
        release();
        pool_.stopAll();
    }

    static void TearDownTestSuite() {
        std::printf("\n%-34s %8s  %s\n", "fault", "passed", "longest time");
        for (const TableRow& r : table()) {
            std::printf("%-34s %4d/%-3d  %ld ms %s\n", r.name.c_str(), r.passed, r.total,
                        r.longestMs, r.measure);
        }
    }

    void prepare(bool https) {
        makeTree(engine::EngineSettings{});
        engine::TransferOptions options;
        options.noProgressTimeoutMs = static_cast<std::uint32_t>(kTimeout.count());
        if (https) options.trustedCertificatesPem = authority().certificatePem();
        manager_->setTransferOptions(options);
    }

    // Hands messages to the tree for `duration`.
    void dispatchFor(Ms duration) {
        const auto until = Clock::now() + duration;
        while (Clock::now() < until) {
            queue_->dispatch([&](const engine::EngineMessage& m) { tree_->handle(m); }, 20ms);
        }
    }

    // Runs the work the tree started; with `stop`, presses Stop after a second. Returns how
    // long the run took and, after a Stop, how long the run took to end after it.
    std::pair<Ms, Ms> run(bool stop) {
        const auto start = Clock::now();
        Ms afterStop{0};
        if (stop) {
            dispatchFor(1000ms);
            const auto stopped = Clock::now();
            tree_->stop();
            EXPECT_TRUE(runUntilIdle(std::chrono::seconds(30)));
            afterStop = std::chrono::duration_cast<Ms>(Clock::now() - stopped);
        } else {
            EXPECT_TRUE(runUntilIdle(std::chrono::seconds(60)));
        }
        return {std::chrono::duration_cast<Ms>(Clock::now() - start), afterStop};
    }

    // The address of the fault's route, served by a server that lives as long as `holder`.
    std::string serve(const FaultCase& fault) {
        if (fault.script) {
            raw_ = std::make_unique<RawServer>(fault.script);
            const std::string url = raw_->url("/fault");
            return fault.https ? "https" + url.substr(4) : url;
        }
        tls_.emplace(fault.identity ? *fault.identity : authority().issue());
        tls_->get("/fault", fault.handler);
        return tls_->url("/fault");
    }

    void check(const FaultCase& fault, const engine::PageEntry& page, const char* where) {
        const auto root = page.rootItem();
        ASSERT_NE(root, nullptr) << where;
        EXPECT_EQ(page.state(), fault.expected.state) << where;
        EXPECT_EQ(root->phase(), fault.expected.phase) << where;
        EXPECT_EQ(root->result(), fault.expected.result) << where << ": " << root->errorText();
        const std::string text =
            fault.expected.result == 0 ? std::string() : engine::errorText(fault.expected.result);
        if (fault.expected.result != 0) {
            EXPECT_EQ(root->errorText(), text) << where;
        }
    }

    void record(const FaultCase& fault, Ms elapsed, Ms afterStop) {
        TableRow& r = row(fault.name);
        ++r.total;
        const Ms limit = fault.stopAfterOneSecond ? kStopLimit : fault.expected.budget;
        const Ms measured = fault.stopAfterOneSecond ? afterStop : elapsed;
        const bool inTime = measured <= limit;
        EXPECT_TRUE(inTime) << fault.name << " took " << measured.count() << " ms";
        Ms shown = measured;
        r.measure = "in all";
        if (fault.stopAfterOneSecond) {
            r.measure = "after Stop";
        } else if (fault.expected.result == engine::error::kTimeout) {
            shown = measured - kTimeout;
            r.measure = "beyond the time-out";
        }
        r.longestMs = std::max<long>(r.longestMs, shown.count());
        if (inTime && !HasFailure()) ++r.passed;
    }

    void singlePage(const FaultCase& fault) {
        prepare(fault.https);
        const std::string address = serve(fault);
        engine::SiteNode* node = tree_->analyseAddress(address);
        ASSERT_NE(node, nullptr);
        const auto [elapsed, afterStop] = run(fault.stopAfterOneSecond);
        check(fault, *node->page, "single page");
        record(fault, elapsed, afterStop);
    }

    // The faulty page is one of two linked from a healthy page; the crawl goes on around it.
    void insideACrawl(const FaultCase& fault) {
        prepare(fault.https);
        const std::string address = serve(fault);
        server_.get("/hub.html", [address, this](const httplib::Request&, httplib::Response& r) {
            r.set_content("<a href=\"" + address + "\">fault</a><a href=\"" + path(1) + "\">ok</a>",
                          "text/html");
        });
        tree_->addPage(server_.url("/hub.html"), nullptr);
        tree_->analyzeAll("");
        const auto [elapsed, afterStop] = run(fault.stopAfterOneSecond);
        engine::SiteNode* faulty = tree_->findAddress(address);
        ASSERT_NE(faulty, nullptr);
        check(fault, *faulty->page, "inside a crawl");
        if (!fault.stopAfterOneSecond) {
            EXPECT_EQ(tree_->findAddress(page(1))->page->state(), PageState::Finished);
        }
        EXPECT_FALSE(tree_->crawlController().running);
        record(fault, elapsed, afterStop);
    }

    std::vector<FaultCase> cases();

    std::unique_ptr<RawServer> raw_;
    std::optional<support::TestServer> tls_;
};

const Expected kTimedOut{PageState::Error, LoadPhase::Error, engine::error::kTimeout,
                         kTimeout + 1000ms};
const Expected kAborted{PageState::Error, LoadPhase::Error, engine::error::kConnectionAborted,
                        kTimeout + 1000ms};

std::vector<FaultCase> HostileServers::cases() {
    std::vector<FaultCase> all;
    const auto http = [&](std::string name, RawServer::Script script, Expected expected,
                          bool stop = false) {
        all.push_back(
            {std::move(name), false, std::move(script), nullptr, std::nullopt, stop, expected});
    };
    http(
        "delay before headers",
        [](RawServer::Connection& c) {
            c.readRequest();
            sleepUnlessStopping(c, 3000ms);
            c.send(headers("Content-Length: 2\r\n") + "ok");
        },
        kTimedOut);
    http("one byte per second",
         [](RawServer::Connection& c) {
             c.readRequest();
             c.send(headers("Content-Length: 3\r\n"));
             for (int i = 0; i < 3; ++i) {
                 sleepUnlessStopping(c, 700ms);
                 c.send("x");
             }
         },
         {PageState::Finished, LoadPhase::Completed, 0, 3100ms});
    http(
        "idle forever",
        [](RawServer::Connection& c) {
            c.readRequest();
            c.waitForStop();
        },
        kTimedOut);
    http(
        "a body that never ends",
        [](RawServer::Connection& c) {
            c.readRequest();
            c.send(headers(""));
            while (c.send(std::string(1024, 'x'))) std::this_thread::sleep_for(5ms);
        },
        {PageState::Canceled, LoadPhase::Skipped, 0, kStopLimit}, true);
    http(
        "close after headers",
        [](RawServer::Connection& c) {
            c.readRequest();
            c.send(headers("Content-Length: 100\r\n"));
        },
        kAborted);
    http("reset mid-body",
         [](RawServer::Connection& c) {
             c.readRequest();
             c.send(headers("Content-Length: 100000\r\n") + std::string(5000, 'x'));
             c.reset();
         },
         {PageState::Error, LoadPhase::Error, engine::error::kConnectionReset, kTimeout + 1000ms});
    http(
        "Content-Length longer than body",
        [](RawServer::Connection& c) {
            c.readRequest();
            c.send(headers("Content-Length: 5000\r\n") + std::string(1000, 'x'));
        },
        kAborted);
    http(
        "chunked without its last chunk",
        [](RawServer::Connection& c) {
            c.readRequest();
            c.send(headers("Transfer-Encoding: chunked\r\n") + "5\r\nhello\r\n");
        },
        kAborted);
    http("empty reply", [](RawServer::Connection& c) { c.readRequest(); },
         {PageState::Error, LoadPhase::Error, engine::error::kInvalidServerResponse,
          kTimeout + 1000ms});
    http("redirect loop",
         [](RawServer::Connection& c) {
             while (!c.readRequest().empty()) {
                 if (!c.send("HTTP/1.1 302 Found\r\nLocation: /fault\r\nContent-Length: 0\r\n\r\n"))
                     break;
             }
         },
         {PageState::Error, LoadPhase::Error, 12156, kTimeout + 1000ms});
    http(
        "2 GiB+ Content-Length",
        [](RawServer::Connection& c) {
            c.readRequest();
            c.send(headers("Content-Length: 3000000000\r\n") + std::string(1000, 'x'));
        },
        kAborted);
    http("garbage status line",
         [](RawServer::Connection& c) {
             c.readRequest();
             c.send("SPDY/9 banana\r\n\r\n");
         },
         {PageState::Error, LoadPhase::Error, engine::error::kInvalidServerResponse,
          kTimeout + 1000ms});
    http("one header of 1 MB",
         [](RawServer::Connection& c) {
             c.readRequest();
             c.send("HTTP/1.1 200 OK\r\nX-Huge: " + std::string(1 << 20, 'h') + "\r\n\r\nok");
         },
         {PageState::Error, LoadPhase::Error, engine::error::kInvalidServerResponse,
          kTimeout + 1000ms});

    // HTTPS: the handshake itself, the certificates, and the faults above that a TLS server
    // can commit behind a good handshake.
    all.push_back({"TLS handshake fails",
                   true,
                   [](RawServer::Connection& c) {
                       c.send("not a TLS server hello\r\n\r\n");
                       c.waitForStop(2000ms);
                   },
                   nullptr,
                   std::nullopt,
                   false,
                   {PageState::Error, LoadPhase::Error, engine::error::kSecureChannelError,
                    kTimeout + 1000ms}});
    const auto https = [&](std::string name, httplib::Server::Handler handler, Expected expected,
                           std::optional<support::ServerIdentity> identity = std::nullopt,
                           bool stop = false) {
        all.push_back({std::move(name), true, nullptr, std::move(handler), std::move(identity),
                       stop, expected});
    };
    https(
        "HTTPS delay before headers",
        [this](const httplib::Request&, httplib::Response& r) {
            tls_->pause(3000ms);
            r.set_content("late", "text/html");
        },
        kTimedOut);
    https(
        "HTTPS idle forever",
        [this](const httplib::Request&, httplib::Response&) { tls_->pause(10min); }, kTimedOut);
    https(
        "HTTPS body that never ends",
        [this](const httplib::Request&, httplib::Response& r) {
            r.set_chunked_content_provider("text/html",
                                           [this](std::size_t, httplib::DataSink& sink) {
                                               const std::string block(1024, 'x');
                                               while (tls_->pause(5ms)) {
                                                   if (!sink.write(block.data(), block.size()))
                                                       return false;
                                               }
                                               return false;
                                           });
        },
        {PageState::Canceled, LoadPhase::Skipped, 0, kStopLimit}, std::nullopt, true);
    https("HTTPS redirect loop",
          [](const httplib::Request&, httplib::Response& r) { r.set_redirect("/fault"); },
          {PageState::Error, LoadPhase::Error, 12156, kTimeout + 1000ms});
    const httplib::Server::Handler good = [](const httplib::Request&, httplib::Response& r) {
        r.set_content("<title>ok</title>", "text/html");
    };
    https("expired certificate (accepted)", good,
          {PageState::Finished, LoadPhase::Completed, 0, 3000ms},
          authority().issue({"127.0.0.1"}, support::TestCertificateAuthority::Validity::Expired));
    https("wrong-name certificate (accepted)", good,
          {PageState::Finished, LoadPhase::Completed, 0, 3000ms},
          authority().issue({"elsewhere.example"}));
    return all;
}

TEST_P(HostileServers, EndAsWrittenAloneAndInsideACrawlWithinTheirTime) {
    const std::vector<FaultCase> all = cases();
    ASSERT_EQ(all.size(), caseNames().size());
    const auto it = std::find_if(all.begin(), all.end(),
                                 [](const FaultCase& c) { return c.name == GetParam(); });
    ASSERT_NE(it, all.end());
    {
        SCOPED_TRACE("single page");
        singlePage(*it);
    }
    {
        SCOPED_TRACE("inside a crawl");
        insideACrawl(*it);
    }
}

std::string testName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name;
    for (const char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Faults, HostileServers, ::testing::ValuesIn(caseNames()), testName);

}  // namespace
