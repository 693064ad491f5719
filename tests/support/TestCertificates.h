#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>
#include <vector>

namespace support {

// A certificate and its private key, as a TLS server needs them.
struct ServerIdentity {
    std::shared_ptr<X509> certificate;
    std::shared_ptr<EVP_PKEY> key;
};

// A certificate authority made in memory at test time (P-256 keys, SHA-256 signatures), so no
// test depends on certificate files or on the machine's trust store.
class TestCertificateAuthority {
public:
    enum class Validity { Current, Expired };

    // Throws std::runtime_error when OpenSSL fails.
    explicit TestCertificateAuthority(const std::string& commonName = "Pagelyst Test CA");

    // The authority's certificate in PEM form, to be trusted by the client.
    std::string certificatePem() const;

    // A server certificate for `names` (IP literals become IP entries of the subject alternative
    // name, other names DNS entries) signed by this authority. An expired one ended yesterday.
    ServerIdentity issue(const std::vector<std::string>& names = {"127.0.0.1", "::1", "localhost"},
                         Validity validity = Validity::Current) const;

private:
    ServerIdentity self_;
};

}  // namespace support
