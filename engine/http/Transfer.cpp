#include "engine/http/Transfer.h"

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

#include "engine/base/AsciiText.h"
#include "engine/http/CurlErrorMap.h"
#include "engine/http/InternetRoot.h"
#include "engine/http/RequestFlags.h"
#include "engine/http/StatusEvent.h"
#include "engine/settings/ConnectionSettings.h"
#include "engine/url/AcceptPattern.h"

namespace engine {
namespace {

constexpr long kOn = 1L;
constexpr long kReceiveBuffer = 256L * 1024;
constexpr std::uint32_t kPollMs = 200;

// The value of a header line "Name: value" when its name is `name`.
bool headerValue(std::string_view line, std::string_view name, std::string_view& value) {
    if (line.size() <= name.size() || line[name.size()] != ':' ||
        !startsWithIgnoringCase(line, name))
        return false;
    value = trimmed(line.substr(name.size() + 1));
    return true;
}

// "HTTP/1.1 404 Not Found" gives 404; a line without a number gives 0.
std::int32_t statusCodeOf(std::string_view statusLine) {
    const std::size_t space = statusLine.find(' ');
    if (space == std::string_view::npos) return 0;
    std::int32_t code = 0;
    for (std::size_t i = space + 1, digits = 0; i < statusLine.size() && digits < 3;
         ++i, ++digits) {
        if (statusLine[i] < '0' || statusLine[i] > '9') return 0;
        code = code * 10 + (statusLine[i] - '0');
    }
    return code;
}

// The request flags ask to ignore an expired or not yet valid certificate; OpenSSL allows it
// through the verification parameters. The issuer is still checked.
CURLcode ignoreCertificateDates(CURL*, void* sslContext, void*) {
    X509_VERIFY_PARAM* param = SSL_CTX_get0_param(static_cast<SSL_CTX*>(sslContext));
    X509_VERIFY_PARAM_set_flags(param, X509_V_FLAG_NO_CHECK_TIME);
    return CURLE_OK;
}

bool curlUsesOpenSsl() {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    return info != nullptr && info->ssl_version != nullptr &&
           std::strncmp(info->ssl_version, "OpenSSL", 7) == 0;
}

}  // namespace

Transfer::Transfer(CurlHandles& handles, StatusReporter& status, const ParsedUrl& target,
                   const InternetRoot& root, std::string_view acceptPattern, BodyBuffer& body)
    : handles_(handles),
      status_(status),
      target_(target),
      root_(root),
      clock_(root.options().clock != nullptr ? *root.options().clock : Clock::steady()),
      acceptPattern_(acceptPattern),
      body_(body) {
    attachCallbacks(this);
}

Transfer::~Transfer() {
    // libcurl may still call back while it closes the connection later.
    attachCallbacks(nullptr);
}

void Transfer::attachCallbacks(Transfer* transfer) {
    CURL* e = handles_.easy();
    void* data = transfer;
    curl_easy_setopt(e, CURLOPT_RESOLVER_START_DATA, data);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, data);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, data);
    curl_easy_setopt(e, CURLOPT_DEBUGDATA, data);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, data);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, data);
}

void Transfer::configureHandle(CurlHandles& handles) {
    CURL* e = handles.easy();
    void* data = nullptr;  // until a transfer attaches itself
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, kOn);
    curl_easy_setopt(e, CURLOPT_HTTPGET, kOn);
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    // Each read from the socket is a trip through libcurl and a poll; with libcurl's 16 KiB
    // default a fast body costs six times the system calls it needs.
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBuffer);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, kOn);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_USERAGENT, InternetRoot::kUserAgent.data());
    curl_easy_setopt(e, CURLOPT_SUPPRESS_CONNECT_HEADERS, kOn);
    // The issuer of a server's certificate is always checked; its name and dates depend on the
    // request flags.
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYPEER, kOn);

    curl_easy_setopt(e, CURLOPT_RESOLVER_START_FUNCTION, resolverStart);
    curl_easy_setopt(e, CURLOPT_RESOLVER_START_DATA, data);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETFUNCTION, openSocket);
    curl_easy_setopt(e, CURLOPT_OPENSOCKETDATA, data);
    curl_easy_setopt(e, CURLOPT_PREREQFUNCTION, beforeRequest);
    curl_easy_setopt(e, CURLOPT_PREREQDATA, data);
    // The debug callback is the only one that sees the request go out; libcurl calls it only
    // in verbose mode, and with a callback set nothing is printed.
    curl_easy_setopt(e, CURLOPT_VERBOSE, kOn);
    curl_easy_setopt(e, CURLOPT_DEBUGFUNCTION, debug);
    curl_easy_setopt(e, CURLOPT_DEBUGDATA, data);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, header);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, data);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, write);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, data);
}

void Transfer::applyFlags(std::uint32_t flags) {
    using namespace requestflag;
    CURL* e = handles_.easy();
    // libcurl keeps no cache, so Reload and NoCacheWrite hold by themselves. Exactly the
    // request the system makes: its agent, "Accept: */*" and, flagged, a no-cache pragma.
    curl_slist* headers = curl_slist_append(nullptr, "Accept: */*");
    if (headers && (flags & kPragmaNoCache))
        headers = curl_slist_append(headers, "Pragma: no-cache");
    handles_.setHeaders(headers);
    curl_easy_setopt(e, CURLOPT_FORBID_REUSE, (flags & kKeepConnection) ? 0L : 1L);
    curl_easy_setopt(e, CURLOPT_SSL_VERIFYHOST, (flags & kIgnoreCertCnInvalid) ? 0L : 2L);
    if (curlUsesOpenSsl()) {
        curl_easy_setopt(e, CURLOPT_SSL_CTX_FUNCTION,
                         (flags & kIgnoreCertDateInvalid) ? ignoreCertificateDates : nullptr);
    }
}

void Transfer::configureRequest() {
    CURL* e = handles_.easy();
    const TransferOptions& options = root_.options();
    const ConnectionSettings& settings = root_.settings();
    // The handle outlives the run; the run's agent is set for each of its requests.
    curl_easy_setopt(
        e, CURLOPT_USERAGENT,
        options.userAgent.empty() ? InternetRoot::kUserAgent.data() : options.userAgent.c_str());
    const std::string url = target_.requestUrl();
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, options.maxRedirects);
    applyFlags(requestFlags(target_.schemeKind));

    if (options.trustedCertificatesPem.empty()) {
        curl_easy_setopt(e, CURLOPT_CAINFO_BLOB, static_cast<curl_blob*>(nullptr));
    } else {
        curl_blob blob{const_cast<char*>(options.trustedCertificatesPem.data()),
                       options.trustedCertificatesPem.size(), CURL_BLOB_COPY};
        curl_easy_setopt(e, CURLOPT_CAINFO_BLOB, &blob);
    }

    switch (settings.proxy) {
        case ConnectionSettings::kProxyNone:
            curl_easy_setopt(e, CURLOPT_PROXY, "");  // "" turns the environment's proxy off
            curl_easy_setopt(e, CURLOPT_NOPROXY, static_cast<char*>(nullptr));
            break;
        case ConnectionSettings::kProxyNamed: {
            const std::string proxy = settings.proxyName();
            curl_easy_setopt(e, CURLOPT_PROXY, proxy.c_str());
            curl_easy_setopt(e, CURLOPT_NOPROXY, "");  // no bypass list
            break;
        }
        default:  // the system's settings: http_proxy, https_proxy and no_proxy
            curl_easy_setopt(e, CURLOPT_PROXY, static_cast<char*>(nullptr));
            curl_easy_setopt(e, CURLOPT_NOPROXY, static_cast<char*>(nullptr));
            break;
    }

    if (settings.authentication) {
        // Sent only when the server asks, never volunteered to every host a page refers to.
        curl_easy_setopt(e, CURLOPT_USERNAME, settings.name.c_str());
        curl_easy_setopt(e, CURLOPT_PASSWORD, settings.password.c_str());
        curl_easy_setopt(e, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_ANY));
    } else {
        curl_easy_setopt(e, CURLOPT_USERNAME, static_cast<char*>(nullptr));
        curl_easy_setopt(e, CURLOPT_PASSWORD, static_cast<char*>(nullptr));
        curl_easy_setopt(e, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    }
}

TransferResult Transfer::run() {
    configureRequest();
    CURLcode code = CURLE_OK;
    Ending ending = Ending::Aborted;
    if (!handles_.aborted()) {
        if (curl_multi_add_handle(handles_.multi(), handles_.easy()) != CURLM_OK) {
            ending = Ending::Failed;
        } else {
            ending = loop(code);
            curl_multi_remove_handle(handles_.multi(), handles_.easy());
        }
    }

    TransferResult r;
    r.statusCode = statusCode_;
    if (statusCode_ != 0) r.httpVersion = httpVersion_;
    r.contentType = contentType_;
    r.contentKind = classify(contentType_);
    long connects = 0, osErrno = 0;
    curl_easy_getinfo(handles_.easy(), CURLINFO_NUM_CONNECTS, &connects);
    curl_easy_getinfo(handles_.easy(), CURLINFO_OS_ERRNO, &osErrno);
    r.connectionReused = ending == Ending::Finished && statusCode_ != 0 && connects == 0;
    switch (ending) {
        case Ending::Aborted:
            r.result = error::kCancelled;
            return r;
        case Ending::TimedOut:
            r.result = error::kTimeout;
            break;
        case Ending::Failed:
            r.result = error::kInternal;
            break;
        case Ending::Finished:
            if (verdict_ != 0) {
                r.result = verdict_;
            } else if (code == CURLE_UNSUPPORTED_PROTOCOL && requestSent_) {
                // What came back to a request that went out is no HTTP response (libcurl
                // refuses HTTP/0.9 this way); schemes were checked before connecting.
                r.result = error::kInvalidServerResponse;
            } else if (code == CURLE_OUT_OF_MEMORY && requestSent_) {
                // libcurl refuses a header line or block beyond its limit (100 KB) as out of
                // memory: the server's reply is no response a client can take.
                r.result = error::kInvalidServerResponse;
            } else {
                r.result = mapCurlResult(code, osErrno, redirects_ > 0);
            }
            break;
    }
    status_.report(status::kClosingConnection);
    return r;
}

Transfer::Ending Transfer::loop(CURLcode& code) {
    CURLM* multi = handles_.multi();
    const std::uint32_t limit = root_.options().noProgressTimeoutMs;
    progress();
    for (;;) {
        if (handles_.aborted()) return Ending::Aborted;
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) return Ending::Failed;
        if (running == 0) break;
        // Unsigned ticks: an interval across the counter's wrap is still right.
        const std::uint32_t idle = clock_.now() - lastProgress_;
        if (idle >= limit) return Ending::TimedOut;
        // Wake when the no-progress limit would be reached, and at least every kPollMs since
        // the clock may be one that moves without the poll knowing; abort() wakes the poll at
        // once, libcurl's own timers earlier when they need to.
        const std::uint32_t left = limit - idle + 1;
        const int waitMs = static_cast<int>(std::min<std::uint32_t>(left, kPollMs));
        if (curl_multi_poll(multi, nullptr, 0, waitMs, nullptr) != CURLM_OK) return Ending::Failed;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE) code = message->data.result;
    return Ending::Finished;
}

void Transfer::onHeaderLine(std::string_view line) {
    if (startsWithIgnoringCase(line, "HTTP/")) {
        // A new response (after an interim one, a redirection or an authentication round).
        statusCode_ = statusCodeOf(line);
        httpVersion_ = std::string(line.substr(0, line.find(' ')));
        contentType_.clear();
        location_.clear();
        body_.clear();
        if (!responseStarted_) {
            responseStarted_ = true;
            status_.report(status::kReceivingResponse);
        }
        return;
    }
    if (trimmed(line).empty()) {
        onHeadersComplete();
        return;
    }
    std::string_view value;
    if (headerValue(line, "Content-Type", value)) {
        contentType_ = normalizeContentType(value);
    } else if (headerValue(line, "Location", value)) {
        location_ = std::string(value);
    }
}

void Transfer::onHeadersComplete() {
    if (statusCode_ >= 100 && statusCode_ < 200) return;  // interim: the real one follows
    if (statusCode_ >= 300 && statusCode_ < 400 && !location_.empty()) {
        // libcurl follows it, or fails with "too many redirects" past the limit.
        if (redirects_ >= root_.options().maxRedirects) return;
        ++redirects_;
        char* current = nullptr;
        curl_easy_getinfo(handles_.easy(), CURLINFO_EFFECTIVE_URL, &current);
        const ParsedUrl next =
            ParsedUrl::resolve(ParsedUrl::parse(current ? current : ""), location_);
        requestStarted_ = requestSent_ = responseStarted_ = false;
        status_.report(status::kRedirect, next.urlText.empty() ? location_ : next.urlText);
        return;
    }
    const bool success = statusCode_ >= 100 && statusCode_ < 300;
    // A response without a content type tells nothing against the pattern and is kept.
    if (success && !contentType_.empty() && !acceptsContentType(acceptPattern_, contentType_)) {
        verdict_ = kResultNotAccepted;
    } else if (classify(contentType_) == ContentKind::OctetStream) {
        verdict_ = kResultSkipped;
    } else {
        curl_off_t length = -1;
        curl_easy_getinfo(handles_.easy(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        if (length > 0) body_.expect(static_cast<std::uint64_t>(length));
    }
}

bool Transfer::onBody(const char* data, std::size_t size) {
    if (verdict_ != 0) return false;
    body_.append(data, size);
    status_.bodyProgress(body_.received());
    return true;
}

int Transfer::resolverStart(void*, void*, void* transfer) {
    if (auto* t = static_cast<Transfer*>(transfer)) {
        t->progress();
        t->status_.report(status::kResolvingName);
    }
    return 0;
}

curl_socket_t Transfer::openSocket(void* transfer, curlsocktype, curl_sockaddr* address) {
    if (auto* t = static_cast<Transfer*>(transfer)) {
        t->progress();
        t->status_.report(status::kNameResolved);
        t->status_.report(status::kConnectingToServer);
    }
    const int fd = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    return fd < 0 ? CURL_SOCKET_BAD : fd;
}

int Transfer::beforeRequest(void* transfer, char*, char*, int, int) {
    if (auto* t = static_cast<Transfer*>(transfer)) {
        t->progress();
        t->requestStarted_ = true;
        t->requestSent_ = t->responseStarted_ = false;
        t->status_.report(status::kConnectedToServer);
        t->status_.report(status::kSendingRequest);
    }
    return CURL_PREREQFUNC_OK;
}

int Transfer::debug(CURL*, curl_infotype type, char*, std::size_t, void* transfer) {
    auto* t = static_cast<Transfer*>(transfer);
    if (t == nullptr) return 0;
    switch (type) {
        case CURLINFO_HEADER_OUT:
            t->progress();
            // A proxy's CONNECT goes out before the pre-request callback; only the request
            // itself counts as sent.
            if (t->requestStarted_ && !t->requestSent_) {
                t->requestSent_ = true;
                t->status_.report(status::kRequestSent);
            }
            break;
        case CURLINFO_HEADER_IN:
        case CURLINFO_DATA_IN:
        case CURLINFO_SSL_DATA_IN:
            t->progress();
            break;
        default:
            break;
    }
    return 0;
}

std::size_t Transfer::header(char* data, std::size_t size, std::size_t count, void* transfer) {
    const std::size_t bytes = size * count;
    auto* t = static_cast<Transfer*>(transfer);
    if (t == nullptr) return bytes;
    t->progress();
    t->onHeaderLine(std::string_view(data, bytes));
    return t->verdict_ != 0 ? 0 : bytes;
}

std::size_t Transfer::write(char* data, std::size_t size, std::size_t count, void* transfer) {
    const std::size_t bytes = size * count;
    auto* t = static_cast<Transfer*>(transfer);
    if (t == nullptr) return bytes;
    t->progress();
    return t->onBody(data, bytes) ? bytes : 0;
}

}  // namespace engine
