#include "engine/items/ErrorText.h"

#include <string_view>
#include <unordered_map>

namespace engine {
namespace {

// The long table: one sentence per error number of the transfer.
const std::unordered_map<std::int32_t, std::string_view>& longTable() {
    static const std::unordered_map<std::int32_t, std::string_view> table{
        {0, "No error."},
        {12001, "No more handles could be generated at this time."},
        {12002, "The request has timed out."},
        {12003, "An extended error was returned from the server."},
        {12004, "An internal error has occurred."},
        {12005, "The URL is invalid."},
        {12006, "The URL scheme could not be recognized or is not supported."},
        {12007, "The server name could not be resolved."},
        {12008, "A protocol with the required capabilities was not found."},
        {12009, "The option value is invalid."},
        {12010, "The length of an option is incorrect for the type of option specified."},
        {12011, "The requested option cannot be set, only queried."},
        {12012, "The support for the Internet functions is being shut down or unloaded."},
        {12013,
         "The request to connect and log on to a server could not be completed because "
         "the supplied user name is incorrect."},
        {12014,
         "The request to connect and log on to a server could not be completed because "
         "the supplied password is incorrect."},
        {12015, "The request to connect to and log on to a server failed."},
        {12016, "The requested operation is invalid."},
        {12017, "The operation was canceled."},
        {12018, "The type of handle supplied is incorrect for this operation."},
        {12019,
         "The requested operation cannot be carried out because the handle supplied is "
         "not in the correct state."},
        {12020, "The request cannot be made via a proxy."},
        {12021, "A required registry value could not be located."},
        {12022, "A required registry parameter is incorrect."},
        {12023, "Direct network access cannot be made at this time."},
        {12024,
         "An asynchronous request could not be made because a zero context value was "
         "supplied."},
        {12025,
         "An asynchronous request could not be made because a callback function has not "
         "been set."},
        {12026,
         "The required operation could not be completed because one or more requests "
         "are pending."},
        {12027, "The format of the request is invalid."},
        {12028, "The requested item could not be located."},
        {12029, "The attempt to connect to the server failed."},
        {12030, "The connection with the server has been terminated."},
        {12031, "The connection with the server has been reset."},
        {12032, "The request must be made again to complete it."},
        {12033, "The request to the proxy was invalid."},
        {12036, "The request failed because the handle already exists."},
        {12037, "The date in the certificate of the server is bad or has expired."},
        {12038, "The host name in the certificate of the server is invalid or does not match."},
        {12039, "The request was redirected from a plain to a secure connection."},
        {12040, "The request was redirected from a secure to a plain connection."},
        {12041,
         "The content is not entirely secure; some of it may come from insecure "
         "servers."},
        {12042,
         "The application is posting and attempting to change multiple lines of text on "
         "a server that is not secure."},
        {12043, "The application is posting data to a server that is not secure."},
        {12110,
         "The requested operation cannot be made because a file transfer is already in "
         "progress."},
        {12111, "The file transfer failed because the session was terminated."},
        {12130, "An error was detected while parsing data returned from the gopher server."},
        {12131, "The request must be made for a file locator."},
        {12132, "An error was detected while receiving data from the gopher server."},
        {12133, "The end of the data has been reached."},
        {12134, "The supplied locator is not valid."},
        {12135, "The type of the locator is not correct for this operation."},
        {12136,
         "The requested operation can be made only against a gopher+ server or with a "
         "locator that specifies a gopher+ operation."},
        {12137, "The requested attribute could not be located."},
        {12138, "The locator type is unknown."},
        {12150, "The requested header could not be located."},
        {12151, "The server did not return any headers."},
        {12152, "The server response could not be parsed."},
        {12153, "The supplied header is invalid."},
        {12154, "The request made to query the header is invalid."},
        {12155, "The header could not be added because it already exists."},
        {12156,
         "The redirection failed because either the scheme changed or all attempts made "
         "to redirect failed."},
    };
    return table;
}

// The short table, for the numbers the long one lacks.
const std::unordered_map<std::int32_t, std::string_view>& shortTable() {
    static const std::unordered_map<std::int32_t, std::string_view> table{
        {6, "Internal error"},
        {122, "Internal error"},
        {12012, "Internal error"},
        {8, "Not enough memory was available to complete the requested operation"},
        {18, "No more files have been found"},
        {50,
         "The required protocol stack is not loaded and the application cannot start "
         "WinSock."},
        {259, "No more items have been found"},
        {12002, "The request has timed out."},
        {12004, "An internal error has occurred."},
        {12005, "The URL is invalid."},
        {12006, "The URL specified a scheme other than \"http\" or \"https\"."},
        {12007, "The server name could not be resolved."},
        {12009, "Invalid option value."},
        {12011, "The requested option cannot be set, only queried."},
        {12015, "The login attempt failed."},
        {12017, "The operation was canceled"},
        {12018, "The type of handle supplied is incorrect."},
        {12019,
         "The requested operation cannot be carried out because the handle supplied is "
         "not in the correct state."},
        {12029, "Connection to the server failed."},
        {12030,
         "The connection with the server has been reset or terminated, or an "
         "incompatible SSL protocol was encountered"},
        {12032, "The HTTP request failed"},
        {12037, "Certificate's CN name does not match the passed value."},
        {12038, "Certificate's CN name does not match the passed value."},
        {12044, "Client authentication failed"},
        {12045,
         "Certificate chain was processed but terminated in a root certificate that is "
         "not trusted by the trust provider."},
        {12057, "Revocation could not be checked because the revocation server was offline."},
        {12100, "HttpRequest: requested operation cannot be performed."},
        {12101, "HttpRequest: requested operation cannot be performed."},
        {12102, "HttpRequest: requested operation cannot be performed."},
        {12103, "HttpRequest: specified option cannot be requested."},
        {12150, "The requested header could not be located."},
        {12152, "The server response could not be parsed."},
        {12156,
         "The redirection failed because either the scheme changed or all attempts made "
         "to redirect failed."},
        {12157, "Secure channel error"},
        {12166, "Error executing the script code in the Proxy Auto-Configuration (PAC) file."},
        {12167, "The PAC file could not be downloaded"},
        {12169, "Certificate is invalid."},
        {12170, "Ccertificate has been revoked."},
        {12175,
         "Errors were found in the Secure Sockets Layer (SSL) certificate sent by the "
         "server"},
        {12178, "Proxy for the specified URL cannot be located."},
        {12179, "Certificate is not valid for the requested usage."},
        {12180, "Unable to discover the URL of the Proxy Auto-Configuration (PAC) file."},
        {12181, "Number of response headers is too large."},
        {12182, "Size of headers received exceeds the limit for the request."},
        {12183, "Overflow condition is encountered in the course of parsing chunked encoding."},
        {12184, "Incoming response exceeds an internal size limit."},
        {12185, "Proxy authentication is required"},
    };
    return table;
}

}  // namespace

std::string errorText(std::int32_t result) {
    if (auto it = longTable().find(result); it != longTable().end()) return std::string(it->second);
    // The numbers are the transfer's own, not this operating system's errno values (8 and 18
    // mean different things here), so no system message is asked for.
    if (auto it = shortTable().find(result); it != shortTable().end())
        return std::string(it->second);
    return "Unknown error,";
}

}  // namespace engine
