#include <gtest/gtest.h>

#include <string>

#include "tests/engine/DownloadFixture.h"
#include "tests/support/RawServer.h"

namespace {

using engine::ConnectionSettings;
using engine::LoadPhase;
using support::RawServer;

// A proxy stand-in: it records the request line and answers every request itself.
class ProxyTest : public enginetest::DownloadFixture {
protected:
    static constexpr const char* kAnswer =
        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 5\r\n"
        "Connection: close\r\n\r\nproxy";

    ProxyTest()
        : proxy_([](RawServer::Connection& c) {
              if (!c.readRequest().empty()) c.send(kAnswer);
          }) {}

    std::string proxyAddress() const { return "127.0.0.1:" + std::to_string(proxy_.port()); }

    static std::string requestLine(const std::string& request) {
        return request.substr(0, request.find("\r\n"));
    }

    RawServer proxy_;
};

TEST_F(ProxyTest, NamedProxyWithPortCarriesTheRequest) {
    ConnectionSettings settings;
    settings.proxy = ConnectionSettings::kProxyNamed;
    settings.proxyServer = "127.0.0.1";
    settings.proxyPort = proxy_.port();
    const engine::InternetRoot root = rootWith({}, settings);
    const auto item = fetch("http://origin.pagelyst.invalid/page.html", "*/*", &root);
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(*item->body(), "proxy");
    ASSERT_EQ(proxy_.requests().size(), 1u);
    EXPECT_EQ(requestLine(proxy_.requests()[0]),
              "GET http://origin.pagelyst.invalid/page.html HTTP/1.1");
}

TEST_F(ProxyTest, ProxyNameWithoutPortIsTheServerAlone) {
    ConnectionSettings settings;
    settings.proxyServer = "proxy.example";
    EXPECT_EQ(settings.proxyName(), "proxy.example");
    settings.proxyPort = 8080;
    EXPECT_EQ(settings.proxyName(), "proxy.example:8080");
    // With the port in the server text and port 0, the text alone names the proxy.
    settings.proxy = ConnectionSettings::kProxyNamed;
    settings.proxyServer = proxyAddress();
    settings.proxyPort = 0;
    const engine::InternetRoot root = rootWith({}, settings);
    EXPECT_EQ(fetch("http://origin.pagelyst.invalid/", "*/*", &root)->result(), 0);
    EXPECT_EQ(proxy_.requests().size(), 1u);
}

TEST_F(ProxyTest, SystemSettingsFollowTheEnvironment) {
    environment_.set("http_proxy", "http://" + proxyAddress());
    const engine::InternetRoot root = rootWith({}, ConnectionSettings{});
    EXPECT_EQ(*fetch("http://origin.pagelyst.invalid/x", "*/*", &root)->body(), "proxy");
    EXPECT_EQ(proxy_.requests().size(), 1u);

    environment_.set("no_proxy", "127.0.0.1");
    EXPECT_EQ(*fetch(server_.url("/content?type=text/html&body=direct"), "*/*", &root)->body(),
              "direct");
    EXPECT_EQ(proxy_.requests().size(), 1u);
}

TEST_F(ProxyTest, DirectIgnoresTheEnvironment) {
    environment_.set("http_proxy", "http://" + proxyAddress());
    const auto item = fetch(server_.url("/content?type=text/html&body=direct"));
    EXPECT_EQ(*item->body(), "direct");
    EXPECT_EQ(proxy_.connectionCount(), 0u);
}

TEST_F(ProxyTest, NamedProxyHasNoBypassList) {
    environment_.set("no_proxy", "*");
    ConnectionSettings settings;
    settings.proxy = ConnectionSettings::kProxyNamed;
    settings.proxyServer = proxyAddress();
    const engine::InternetRoot root = rootWith({}, settings);
    EXPECT_EQ(*fetch(server_.url("/anything"), "*/*", &root)->body(), "proxy");
}

// A route that wants user "pat" with password "secret" (Basic).
class LoginTest : public enginetest::DownloadFixture {
protected:
    LoginTest() {
        server_.get("/private", [](const httplib::Request& request, httplib::Response& response) {
            // "pat:secret" in Base64.
            if (request.get_header_value("Authorization") == "Basic cGF0OnNlY3JldA==") {
                response.set_content("welcome", "text/html");
                return;
            }
            response.status = 401;
            response.set_header("WWW-Authenticate", "Basic realm=\"test\"");
            response.set_content("who are you", "text/html");
        });
    }
    static ConnectionSettings login(bool authentication) {
        ConnectionSettings settings = direct();
        settings.authentication = authentication;
        settings.name = "pat";
        settings.password = "secret";
        return settings;
    }
};

TEST_F(LoginTest, CredentialsAreSentWhenTheServerAsks) {
    const engine::InternetRoot root = rootWith({}, login(true));
    const auto item = fetch(server_.url("/private"), "*/*", &root);
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(*item->body(), "welcome");
    // Never volunteered: the first request went without them.
    const auto requests = server_.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_FALSE(requests[0].headers.count("Authorization"));
}

TEST_F(LoginTest, WithoutAuthenticationNoCredentialsAreSent) {
    const engine::InternetRoot root = rootWith({}, login(false));
    const auto item = fetch(server_.url("/private"), "*/*", &root);
    EXPECT_EQ(item->result(), -1);
    EXPECT_EQ(item->statusCode(), 401);
    EXPECT_EQ(*item->body(), "who are you");
    for (const auto& r : server_.requests()) EXPECT_FALSE(r.headers.count("Authorization"));
}

TEST_F(LoginTest, OpenPagesNeverSeeTheCredentials) {
    const engine::InternetRoot root = rootWith({}, login(true));
    fetch(server_.url("/content?type=text/html&body=open"), "*/*", &root);
    for (const auto& r : server_.requests()) EXPECT_FALSE(r.headers.count("Authorization"));
}

}  // namespace
