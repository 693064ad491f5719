#include "tests/support/TestCertificates.h"

#include <arpa/inet.h>
#include <openssl/bio.h>
#include <openssl/ec.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <atomic>
#include <stdexcept>

namespace support {
namespace {

void check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("test certificate: ") + what);
}

std::shared_ptr<EVP_PKEY> newKey() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    check(key != nullptr, "key generation");
    return {key, EVP_PKEY_free};
}

void addExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
    check(ext != nullptr, "extension");
    const bool added = X509_add_ext(cert, ext, -1) == 1;
    X509_EXTENSION_free(ext);
    check(added, "adding an extension");
}

bool isIpLiteral(const std::string& name) {
    unsigned char buffer[16];
    return inet_pton(AF_INET, name.c_str(), buffer) == 1 ||
           inet_pton(AF_INET6, name.c_str(), buffer) == 1;
}

std::shared_ptr<X509> newCertificate(const std::string& commonName, EVP_PKEY* key,
                                     long notBeforeSeconds, long notAfterSeconds) {
    static std::atomic<long> serial{1};
    std::shared_ptr<X509> cert(X509_new(), X509_free);
    check(cert != nullptr, "certificate");
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial++);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), notBeforeSeconds);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), notAfterSeconds);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1,
                               0);
    return cert;
}

}  // namespace

TestCertificateAuthority::TestCertificateAuthority(const std::string& commonName) {
    self_.key = newKey();
    self_.certificate = newCertificate(commonName, self_.key.get(), -3600, 30L * 24 * 3600);
    X509* cert = self_.certificate.get();
    X509_set_issuer_name(cert, X509_get_subject_name(cert));
    addExtension(cert, cert, NID_basic_constraints, "critical,CA:TRUE");
    addExtension(cert, cert, NID_key_usage, "critical,keyCertSign,cRLSign");
    addExtension(cert, cert, NID_subject_key_identifier, "hash");
    check(X509_sign(cert, self_.key.get(), EVP_sha256()) > 0, "signing the authority");
}

std::string TestCertificateAuthority::certificatePem() const {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
    check(bio && PEM_write_bio_X509(bio.get(), self_.certificate.get()) == 1, "PEM");
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

ServerIdentity TestCertificateAuthority::issue(const std::vector<std::string>& names,
                                               Validity validity) const {
    check(!names.empty(), "a certificate needs a name");
    ServerIdentity id;
    id.key = newKey();
    const long day = 24 * 3600;
    id.certificate = validity == Validity::Current
                         ? newCertificate(names.front(), id.key.get(), -3600, 7 * day)
                         : newCertificate(names.front(), id.key.get(), -2 * day, -day);
    X509* cert = id.certificate.get();
    X509_set_issuer_name(cert, X509_get_subject_name(self_.certificate.get()));
    std::string alternatives;
    for (const std::string& name : names) {
        if (!alternatives.empty()) alternatives += ",";
        alternatives += (isIpLiteral(name) ? "IP:" : "DNS:") + name;
    }
    addExtension(cert, self_.certificate.get(), NID_basic_constraints, "critical,CA:FALSE");
    addExtension(cert, self_.certificate.get(), NID_key_usage, "critical,digitalSignature");
    addExtension(cert, self_.certificate.get(), NID_ext_key_usage, "serverAuth");
    addExtension(cert, self_.certificate.get(), NID_subject_alt_name, alternatives);
    addExtension(cert, self_.certificate.get(), NID_authority_key_identifier, "keyid:always");
    check(X509_sign(cert, self_.key.get(), EVP_sha256()) > 0, "signing a server certificate");
    return id;
}

}  // namespace support
