#include "engine/http/CurlErrorMap.h"

#include <cerrno>

namespace engine {

std::int32_t mapCurlResult(CURLcode code, long osErrno, bool redirected) {
    switch (code) {
        case CURLE_OK:
            return 0;
        case CURLE_UNSUPPORTED_PROTOCOL:
            // A Location naming a scheme the transfer does not follow is a failed redirection.
            return redirected ? error::kRedirectFailed : error::kUnrecognizedScheme;
        case CURLE_URL_MALFORMAT:
            return redirected ? error::kRedirectFailed : error::kInvalidUrl;
        case CURLE_TOO_MANY_REDIRECTS:
            return error::kRedirectFailed;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return error::kNameNotResolved;
        case CURLE_COULDNT_CONNECT:
            return error::kCannotConnect;
        case CURLE_OPERATION_TIMEDOUT:
            return error::kTimeout;
        case CURLE_GOT_NOTHING:
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_HTTP2:
        case CURLE_HTTP2_STREAM:
        case CURLE_BAD_CONTENT_ENCODING:
            return error::kInvalidServerResponse;
        case CURLE_PARTIAL_FILE:
            return error::kConnectionAborted;
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
            return osErrno == ECONNRESET ? error::kConnectionReset : error::kConnectionAborted;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_SHUTDOWN_FAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_USE_SSL_FAILED:
            return error::kSecureChannelError;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
            return error::kCertificateError;
        case CURLE_LOGIN_DENIED:
        case CURLE_REMOTE_ACCESS_DENIED:
        case CURLE_AUTH_ERROR:
            return error::kLoginFailure;
        case CURLE_ABORTED_BY_CALLBACK:
            return error::kCancelled;
        case CURLE_OUT_OF_MEMORY:
            return error::kOutOfMemory;
        case CURLE_PROXY:
            return error::kCannotConnect;
        default:
            return error::kInternal;
    }
}

}  // namespace engine
