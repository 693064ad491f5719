#include <gtest/gtest.h>

#include <optional>

#include "engine/http/CurlErrorMap.h"
#include "tests/engine/DownloadFixture.h"
#include "tests/support/TestCertificates.h"
#include "tests/support/TestServer.h"

namespace {

using engine::LoadPhase;
using support::TestCertificateAuthority;
using support::TestServer;

// HTTPS against servers whose certificates come from an authority the root trusts, unless a
// test says otherwise.
class HttpsDownload : public enginetest::DownloadFixture {
protected:
    engine::InternetRoot trustingRoot() {
        engine::TransferOptions options;
        options.trustedCertificatesPem = authority.certificatePem();
        return rootWith(options);
    }

    // Started by each test with the certificate it needs. A fixture member, so that TearDown
    // closes the pooled connections before the server stops.
    TestServer& start(const support::ServerIdentity& identity) { return tls_.emplace(identity); }

    TestCertificateAuthority authority;
    std::optional<TestServer> tls_;
};

constexpr const char* kPage = "/content?type=text/html&body=secure";

TEST_F(HttpsDownload, TrustedCertificate) {
    TestServer& server = start(authority.issue());
    const engine::InternetRoot root = trustingRoot();
    const auto item = fetch(server.url(kPage), "*/*", &root);
    EXPECT_EQ(item->result(), 0);
    EXPECT_EQ(item->phase(), LoadPhase::Completed);
    EXPECT_EQ(*item->body(), "secure");
    EXPECT_EQ(item->target().schemeKind, engine::ParsedUrl::kHttps);
}

TEST_F(HttpsDownload, ACertificateForAnotherNameIsAccepted) {
    TestServer& server = start(authority.issue({"www.elsewhere.example"}));
    const engine::InternetRoot root = trustingRoot();
    EXPECT_EQ(fetch(server.url(kPage), "*/*", &root)->result(), 0);
}

TEST_F(HttpsDownload, AnExpiredCertificateIsAccepted) {
    TestServer& server =
        start(authority.issue({"127.0.0.1"}, TestCertificateAuthority::Validity::Expired));
    const engine::InternetRoot root = trustingRoot();
    EXPECT_EQ(fetch(server.url(kPage), "*/*", &root)->result(), 0);
}

TEST_F(HttpsDownload, AnUnknownIssuerIsRefused) {
    TestCertificateAuthority stranger("Unknown Test CA");
    TestServer& server = start(stranger.issue());
    const engine::InternetRoot root = trustingRoot();
    const auto item = fetch(server.url(kPage), "*/*", &root);
    EXPECT_EQ(item->result(), engine::error::kCertificateError);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
    EXPECT_EQ(*item->body(), "");
    EXPECT_EQ(item->errorText(),
              "Errors were found in the Secure Sockets Layer (SSL) certificate sent by the "
              "server");
}

TEST_F(HttpsDownload, TheSystemStoreDoesNotKnowTheTestAuthority) {
    TestServer& server = start(authority.issue());
    EXPECT_EQ(fetch(server.url(kPage))->result(), engine::error::kCertificateError);
}

TEST_F(HttpsDownload, PlainHttpToATlsPortIsAnError) {
    TestServer& server = start(authority.issue());
    const auto item = fetch("http://127.0.0.1:" + std::to_string(server.port()) + "/");
    EXPECT_NE(item->result(), 0);
    EXPECT_EQ(item->phase(), LoadPhase::Error);
}

TEST_F(HttpsDownload, ElementsOfOneSecureServerShareOneConnection) {
    TestServer& server = start(authority.issue());
    const engine::InternetRoot root = trustingRoot();
    const auto first = fetch(server.url("/content?type=image/gif&size=10"), "image/*", &root);
    const auto second = fetch(server.url("/content?type=image/gif&size=20"), "image/*", &root);
    EXPECT_EQ(first->result(), 0);
    EXPECT_EQ(second->result(), 0);
    EXPECT_TRUE(second->connectionReused());
    EXPECT_EQ(server.connectionCount(), 1u);
}

}  // namespace
