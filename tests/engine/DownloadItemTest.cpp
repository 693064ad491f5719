#include "engine/items/DownloadItem.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <ostream>
#include <string>
#include <thread>

#include "engine/base/Clock.h"
#include "engine/http/CurlErrorMap.h"
#include "engine/items/ErrorText.h"
#include "tests/engine/DownloadFixture.h"
#include "tests/support/RawServer.h"

namespace {

using engine::ContentKind;
using engine::LoadPhase;
using engine::Stopwatch;
using enginetest::DownloadFixture;
using support::RawServer;

using DownloadItem = DownloadFixture;

TEST_F(DownloadItem, PageWithACharsetIsADocument) {
    server_.get("/charset", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html>hi</html>", "Text/HTML; charset=ISO-8859-1");
    });
    const auto item = fetch(server_.url("/charset"));
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(item->phase(), LoadPhase::Completed);
    EXPECT_EQ(item->statusCode(), 200);
    EXPECT_EQ(item->contentKind(), ContentKind::Html);
    EXPECT_EQ(item->contentType(), "text/html");
    EXPECT_EQ(*item->body(), "<html>hi</html>");
    EXPECT_EQ(item->size(), 15u);
    EXPECT_EQ(item->events(),
              (std::vector<std::string>{"connected", "requestSent", "responseDone"}));
}

TEST_F(DownloadItem, SendsOnlyTheSystemsRequestHeaders) {
    fetch(server_.url("/content?type=text/html&body=x"));
    const auto requests = server_.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    std::vector<std::string> names;
    for (const auto& [name, value] : requests[0].headers) {
        // The server library adds the peer's addresses as pseudo headers.
        if (name.rfind("REMOTE_", 0) == 0 || name.rfind("LOCAL_", 0) == 0) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Accept", "Host", "Pragma", "User-Agent"}));
    const auto& h = requests[0].headers;
    EXPECT_EQ(h.find("User-Agent")->second,
              "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; MyIE2; .NET CLR 1.0.3705)");
    EXPECT_EQ(h.find("Accept")->second, "*/*");
    EXPECT_EQ(h.find("Pragma")->second, "no-cache");
}

TEST_F(DownloadItem, ImageAnsweredWithHtmlIsNotAccepted) {
    const auto item = fetch(server_.url("/content?type=text/html&body=%3Chtml%3E"), "image/*");
    EXPECT_EQ(item->result(), -1);
    EXPECT_EQ(item->statusCode(), 406);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(*item->body(), "");
    EXPECT_EQ(item->errorText(), "No responses acceptable to the client were found.");
}

TEST_F(DownloadItem, ScriptServedAsTextJavascriptIsAccepted) {
    const auto item =
        fetch(server_.url("/content?type=text/javascript&body=var%20x;"), "application/*");
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(item->contentKind(), ContentKind::Script);
    EXPECT_EQ(*item->body(), "var x;");
}

TEST_F(DownloadItem, ResponseWithoutContentTypeIsKept) {
    RawServer server([](RawServer::Connection& c) {
        c.readRequest();
        c.send("HTTP/1.1 200 OK\r\nContent-Length: 6\r\n\r\nGIF89a");
    });
    const auto item = fetch(server.url("/logo"), "image/*");
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(item->contentKind(), ContentKind::Unknown);
    EXPECT_EQ(item->contentType(), "");
    EXPECT_EQ(*item->body(), "GIF89a");
}

TEST_F(DownloadItem, NotFoundIsAnErrorThatKeepsTheErrorPage) {
    const auto item = fetch(server_.url("/content?status=404&type=text/html&body=gone"));
    EXPECT_EQ(item->result(), -1);
    EXPECT_EQ(item->statusCode(), 404);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(*item->body(), "gone");
    // An error status with a refused type still counts as the status failure, not as 406.
    const auto image = fetch(server_.url("/content?status=500&type=text/html&body=x"), "image/*");
    EXPECT_EQ(image->result(), -1);
    EXPECT_EQ(image->statusCode(), 500);
    EXPECT_EQ(*image->body(), "x");
}

TEST_F(DownloadItem, OctetStreamIsSkippedWithoutItsBody) {
    const auto item = fetch(server_.url("/content?type=application/octet-stream&size=50000"));
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(item->phase(), LoadPhase::Skipped);
    EXPECT_EQ(*item->body(), "");
    EXPECT_EQ(item->size(), 0u);
    EXPECT_EQ(item->contentKind(), ContentKind::OctetStream);
}

TEST_F(DownloadItem, NotModifiedWithoutLocationIsAStatusFailure) {
    const auto item = fetch(server_.url("/content?status=304"));
    EXPECT_EQ(item->result(), -1);
    EXPECT_EQ(item->statusCode(), 304);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
}

TEST_F(DownloadItem, TwoElementsOfOneServerShareOneConnection) {
    const auto first = fetch(server_.url("/content?type=image/gif&size=100"), "image/*");
    const auto second = fetch(server_.url("/content?type=image/gif&size=200"), "image/*");
    EXPECT_EQ(first->result(), 0);
    EXPECT_EQ(second->result(), 0);
    EXPECT_FALSE(first->connectionReused());
    EXPECT_TRUE(second->connectionReused());
    EXPECT_EQ(server_.connectionCount(), 1u);
    EXPECT_EQ(pool_.idleCount("127.0.0.1:" + std::to_string(server_.port())), 1u);
}

TEST_F(DownloadItem, FtpAddressIsInvalidAndNeverTouchesTheNetwork) {
    RawServer ftp([](RawServer::Connection&) {});
    const std::string url = "ftp://127.0.0.1:" + std::to_string(ftp.port()) + "/file.txt";
    const auto item = fetch(url);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(item->result(), engine::error::kInvalidUrl);
    EXPECT_EQ(ftp.connectionCount(), 0u);
}

TEST_F(DownloadItem, FileAddressIsNotFetched) {
    const auto item = fetch("file:///etc/hostname");
    EXPECT_EQ(item->result(), engine::error::kUnrecognizedScheme);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(*item->body(), "");
}

TEST_F(DownloadItem, NameThatDoesNotResolve) {
    const auto item = fetch("http://no-such-host.pagelyst.invalid/");
    EXPECT_EQ(item->result(), 12007);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(item->statusCode(), 0);
    EXPECT_EQ(item->errorText(), "The server name could not be resolved.");
}

TEST_F(DownloadItem, RefusedPort) {
    // A port that was just free: bound, read back and closed again.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ::close(fd);
    const auto item = fetch("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/");
    EXPECT_EQ(item->result(), 12029);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(item->errorText(), "The attempt to connect to the server failed.");
}

TEST_F(DownloadItem, ResetInTheMiddleOfTheBodyIsAnError) {
    RawServer server([](RawServer::Connection& c) {
        c.readRequest();
        c.send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000\r\n\r\n");
        c.send(std::string(5000, 'x'));
        c.reset();
    });
    const auto item = fetch(server.url("/"));
    EXPECT_NE(item->result(), 0);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_TRUE(item->result() == engine::error::kConnectionReset ||
                item->result() == engine::error::kConnectionAborted)
        << item->result();
    EXPECT_NE(item->errorText(), "Unknown error,");
    EXPECT_EQ(item->statusCode(), 200);
}

TEST_F(DownloadItem, TruncatedBodyIsAnError) {
    const auto item = fetch(server_.url("/truncate?size=10000&sent=4000"));
    EXPECT_EQ(item->result(), engine::error::kConnectionAborted);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(item->errorText(), "The connection with the server has been terminated.");
}

TEST_F(DownloadItem, GarbageInsteadOfAResponse) {
    RawServer server([](RawServer::Connection& c) {
        c.readRequest();
        c.send("this is not http\r\n\r\n");
    });
    const auto item = fetch(server.url("/"));
    EXPECT_EQ(item->result(), engine::error::kInvalidServerResponse);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
}

TEST_F(DownloadItem, RedirectsAreFollowedAndReported) {
    const auto item = fetch(server_.url("/redirect/3"));
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(item->phase(), LoadPhase::Completed);
    EXPECT_EQ(*item->body(), "<html>arrived</html>");
    const std::vector<std::string> expected{"connected",
                                            "requestSent",
                                            "redirected " + server_.url("/redirect/2"),
                                            "responseDone",
                                            "connected",
                                            "requestSent",
                                            "redirected " + server_.url("/redirect/1"),
                                            "responseDone",
                                            "connected",
                                            "requestSent",
                                            "redirected " + server_.url("/redirect/0"),
                                            "responseDone",
                                            "connected",
                                            "requestSent",
                                            "responseDone"};
    EXPECT_EQ(item->events(), expected);
    EXPECT_EQ(server_.connectionCount(), 1u);
}

TEST_F(DownloadItem, TenRedirectsAreAllowedElevenAreNot) {
    EXPECT_EQ(fetch(server_.url("/redirect/10"))->result(), 0);
    const auto item = fetch(server_.url("/redirect/11"));
    EXPECT_EQ(item->result(), 12156);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(item->errorText(),
              "The redirection failed because either the scheme changed or all attempts made to "
              "redirect failed.");
}

TEST_F(DownloadItem, RedirectToAnotherSchemeFails) {
    server_.get("/to-ftp", [](const httplib::Request&, httplib::Response& response) {
        response.status = 302;
        response.set_header("Location", "ftp://127.0.0.1/x");
    });
    const auto item = fetch(server_.url("/to-ftp"));
    EXPECT_EQ(item->result(), 12156);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
}

// The server holds the transfer in one phase while it moves the item's clock by 300 ms: that
// phase's stopwatch reads exactly those 300 ms and every other one nothing, however fast the
// machine runs.
struct HeldPhase {
    const char* name;
    Stopwatch held;
    std::string before, after;  // what the server sends before and after the clock moves
};

void PrintTo(const HeldPhase& phase, std::ostream* out) {
    *out << phase.name;
}

class DownloadPhase : public DownloadFixture, public ::testing::WithParamInterface<HeldPhase> {};

TEST_P(DownloadPhase, OnlyItsStopwatchCoversTheTimeTheServerHeldIt) {
    const HeldPhase& phase = GetParam();
    engine::ManualClock clock;
    std::atomic<const enginetest::RecordingItem*> watched{nullptr};
    RawServer server([&](RawServer::Connection& c) {
        c.readRequest();
        c.send(phase.before);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!watched.load()->timers().running(phase.held) &&
               std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        clock.advance(300);
        c.send(phase.after);
    });
    const auto item = std::make_shared<enginetest::RecordingItem>(
        engine::ParsedUrl::parse(server.url("/")), clock);
    watched = item.get();
    engine::downloadItem(root_, *item, item->address());
    ASSERT_EQ(item->result(), 0);
    EXPECT_EQ(*item->body(), "<html></html>");
    for (const Stopwatch w :
         {Stopwatch::Connect, Stopwatch::Send, Stopwatch::Wait, Stopwatch::Receive}) {
        EXPECT_EQ(item->timers().elapsed(w), w == phase.held ? 300u : 0u) << static_cast<int>(w);
    }
}

const std::string kHeaders =
    "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 13\r\n\r\n";
INSTANTIATE_TEST_SUITE_P(Phases, DownloadPhase,
                         ::testing::Values(HeldPhase{"WaitUntilTheFirstByte", Stopwatch::Wait, "",
                                                     kHeaders + "<html></html>"},
                                           HeldPhase{"ReceiveOfABodyInParts", Stopwatch::Receive,
                                                     kHeaders + "<html>", "</html>"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DownloadItem, SilentServerTimesOut) {
    RawServer silent([](RawServer::Connection& c) {
        c.readRequest();
        c.waitForStop();
    });
    engine::TransferOptions options;
    options.noProgressTimeoutMs = 300;
    const engine::InternetRoot root = rootWith(options);
    const auto item = fetch(silent.url("/"), "*/*", &root);
    EXPECT_EQ(item->result(), 12002);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(item->errorText(), "The request has timed out.");
}

TEST_F(DownloadItem, SilenceIsMeasuredOnTheTransfersClock) {
    RawServer silent([](RawServer::Connection& c) {
        c.readRequest();
        c.waitForStop();
    });
    engine::ManualClock clock;
    engine::TransferOptions options;
    options.noProgressTimeoutMs = 600000;  // ten minutes, never reached in real time here
    options.clock = &clock;
    const engine::InternetRoot root = rootWith(options);
    auto done =
        std::async(std::launch::async, [&] { return fetch(silent.url("/"), "*/*", &root); });
    // Once the server has the request the clock jumps past the limit again and again until the
    // transfer ends: a single jump could land before the transfer's last progress and be lost.
    // A transfer deaf to this clock is stopped when the wait runs out, and fails.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < limit) {
        if (!silent.requests().empty()) clock.advance(600000);
    }
    if (done.wait_for(std::chrono::seconds(0)) != std::future_status::ready) pool_.stopAll();
    const auto item = done.get();
    EXPECT_EQ(item->result(), 12002);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
}

TEST_F(DownloadItem, SlowButSteadyTransferIsNoTimeout) {
    engine::TransferOptions options;
    options.noProgressTimeoutMs = 1000;
    const engine::InternetRoot root = rootWith(options);
    // 12 chunks about 140 ms apart: half as long again as the limit in total, never idle for
    // more than a seventh of it, so a thread stalled on a busy machine is still no time-out.
    const auto item =
        fetch(server_.url("/content?type=text/html&size=196608&over=1500"), "*/*", &root);
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(item->size(), 196608u);
}

// The transfer tells its item every part of the body as it arrives, before the body is done.
TEST_F(DownloadItem, TheItemCountsTheBodyAsItArrives) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    RawServer server([released](RawServer::Connection& c) {
        c.readRequest();
        c.send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 8000\r\n\r\n");
        c.send(std::string(5000, 'x'));
        released.wait_for(std::chrono::seconds(20));
        c.send(std::string(3000, 'x'));
    });
    auto item =
        std::make_shared<enginetest::RecordingItem>(engine::ParsedUrl::parse(server.url("/")));
    auto done = std::async(std::launch::async,
                           [&] { engine::downloadItem(root_, *item, item->address()); });
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (item->receivedSoFar() < 5000 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(item->receivedSoFar(), 5000u);
    EXPECT_EQ(item->phase(), LoadPhase::Receiving);
    release.set_value();
    done.get();
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(item->receivedSoFar(), 8000u);
}

TEST_F(DownloadItem, BodyBeyondTheCapIsCountedNotKept) {
    engine::TransferOptions options;
    options.bodyCap = 1000;
    const engine::InternetRoot root = rootWith(options);
    const auto item = fetch(server_.url("/content?type=text/html&size=5000"), "*/*", &root);
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(item->phase(), LoadPhase::Completed);
    EXPECT_TRUE(item->bodyOverCap());
    EXPECT_EQ(*item->body(), "");
    EXPECT_EQ(item->size(), 5000u);
}

TEST_F(DownloadItem, ANewDownloadReleasesThePreviousBody) {
    auto item = std::make_shared<enginetest::RecordingItem>(
        engine::ParsedUrl::parse(server_.url("/content?type=text/html&body=first")));
    engine::downloadItem(root_, *item, item->address());
    EXPECT_EQ(*item->body(), "first");
    engine::downloadItem(root_, *item,
                         engine::ParsedUrl::parse(server_.url("/content?status=204")));
    EXPECT_EQ(*item->body(), "");
    EXPECT_EQ(item->statusCode(), 204);
    EXPECT_EQ(item->target().objectPath, "content?status=204");
}

}  // namespace
