// Times one loopback route with Pagelyst and with the curl command line, alternately, and
// compares Pagelyst's wait and receive times with curl's starttransfer - pretransfer and
// total - starttransfer. The route waits 300 ms before its first byte and then sends 1 MB paced
// over 500 ms. Exits with 1 when a median differs by more than the tolerance.
//
//   engine_timing_vs_curl [rounds=15] [tolerance-ms=5]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/http/ConnectionPool.h"
#include "engine/http/InternetRoot.h"
#include "engine/items/DownloadItem.h"
#include "tests/support/TestServer.h"

namespace {

constexpr const char* kRoute = "/content?type=text/html&size=1048576&wait=300&over=500";

struct Sample {
    double connectSend = 0;  // Pagelyst: connect + send; curl: pretransfer
    double wait = 0;
    double receive = 0;
};

Sample timePagelyst(const engine::InternetRoot& root, const std::string& url) {
    engine::WebItem item(engine::ParsedUrl::parse(url));
    if (engine::downloadItem(root, item, item.address()) != 0 || item.size() != 1048576) {
        std::fprintf(stderr, "Pagelyst download failed: %s\n", item.errorText().c_str());
        std::exit(2);
    }
    const auto& t = item.timers();
    return {static_cast<double>(t.elapsed(engine::Stopwatch::Connect) +
                                t.elapsed(engine::Stopwatch::Send)),
            static_cast<double>(t.elapsed(engine::Stopwatch::Wait)),
            static_cast<double>(t.elapsed(engine::Stopwatch::Receive))};
}

// Runs curl without a shell and reads its -w output from a pipe.
Sample timeCurl(const std::string& url) {
    int out[2];
    if (::pipe(out) != 0) std::exit(2);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execlp("curl", "curl", "--silent", "--show-error", "--noproxy", "*", "--output",
                 "/dev/null", "--write-out",
                 "%{time_pretransfer} %{time_starttransfer} %{time_total} %{size_download}",
                 url.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    double pre = 0, start = 0, total = 0, size = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(text.c_str(), "%lf %lf %lf %lf", &pre, &start, &total, &size) != 4 ||
        size != 1048576) {
        std::fprintf(stderr, "curl failed: %s\n", text.c_str());
        std::exit(2);
    }
    return {pre * 1000, (start - pre) * 1000, (total - start) * 1000};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const double tolerance = argc > 2 ? std::atof(argv[2]) : 5.0;

    support::TestServer server;
    const std::string url = server.url(kRoute);
    engine::ConnectionSettings direct;
    direct.proxy = engine::ConnectionSettings::kProxyNone;
    engine::ConnectionPool pool;
    const engine::InternetRoot root(direct, {}, pool);

    std::printf("route %s\n\n", kRoute);
    std::printf("%5s | %28s | %28s\n", "", "Pagelyst (ms)", "curl -w (ms)");
    std::printf("%5s | %8s %8s %8s | %8s %8s %8s\n", "round", "con+send", "wait", "receive",
                "pretrans", "wait", "receive");
    std::vector<double> waitP, receiveP, waitC, receiveC, waitDiff, receiveDiff;
    for (int r = 1; r <= rounds; ++r) {
        const Sample p = timePagelyst(root, url);
        const Sample c = timeCurl(url);
        std::printf("%5d | %8.1f %8.1f %8.1f | %8.1f %8.1f %8.1f\n", r, p.connectSend, p.wait,
                    p.receive, c.connectSend, c.wait, c.receive);
        waitP.push_back(p.wait);
        receiveP.push_back(p.receive);
        waitC.push_back(c.wait);
        receiveC.push_back(c.receive);
        waitDiff.push_back(p.wait - c.wait);
        receiveDiff.push_back(p.receive - c.receive);
    }
    const double dWait = median(waitDiff), dReceive = median(receiveDiff);
    std::printf(
        "\nmedian   | wait %.1f vs %.1f (Pagelyst - curl %+.1f) | receive %.1f vs %.1f "
        "(%+.1f)\n",
        median(waitP), median(waitC), dWait, median(receiveP), median(receiveC), dReceive);
    std::printf("ratio    | wait %.3f | receive %.3f\n", median(waitP) / median(waitC),
                median(receiveP) / median(receiveC));
    const bool ok = std::fabs(dWait) <= tolerance && std::fabs(dReceive) <= tolerance;
    std::printf("%s: both within %.1f ms of curl\n", ok ? "PASS" : "FAIL", tolerance);
    return ok ? 0 : 1;
}
