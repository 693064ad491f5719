#include "engine/items/StatusText.h"

#include <unordered_map>

namespace engine {

std::string_view statusText(std::int32_t statusCode) {
    static const std::unordered_map<std::int32_t, std::string_view> table{
        {100, "The request can be continued."},
        {101, "The server has switched protocols in an upgrade header."},
        {200, "The request completed successfully."},
        {201, "The request has been fulfilled and resulted in the creation of a new resource."},
        {202,
         "The request has been accepted for processing, but the processing has not been "
         "completed."},
        {203,
         "The returned meta information in the entity-header is not the definitive set "
         "available from the origin server."},
        {204,
         "The server has fulfilled the request, but there is no new information to send "
         "back."},
        {205,
         "The request has been completed, and the client program should reset the document "
         "view that caused the request to be sent to allow the user to easily initiate "
         "another input action."},
        {206, "The server has fulfilled the partial GET request for the resource."},
        {300, "The server couldn't decide what to return."},
        {301,
         "The requested resource has been assigned to a new permanent URI (Uniform "
         "Resource Identifier), and any future references to this resource should be done "
         "using one of the returned URIs."},
        {302,
         "The requested resource resides temporarily under a different URI (Uniform "
         "Resource Identifier)."},
        {303,
         "The response to the request can be found under a different URI (Uniform "
         "Resource Identifier) and should be retrieved using a GET HTTP verb on that "
         "resource."},
        {304, "The requested resource has not been modified."},
        {305,
         "The requested resource must be accessed through the proxy given by the location "
         "field."},
        {307, "The redirected request keeps the same HTTP verb. HTTP/1.1 behavior."},
        {400, "The request could not be processed by the server due to invalid syntax."},
        {401, "The requested resource requires user authentication."},
        {402, "Not currently implemented in the HTTP protocol."},
        {403, "The server understood the request, but is refusing to fulfill it."},
        {404,
         "The server has not found anything matching the requested URI (Uniform Resource "
         "Identifier)."},
        {405, "The HTTP verb used is not allowed."},
        {406, "No responses acceptable to the client were found."},
        {407, "Proxy authentication required."},
        {408, "The server timed out waiting for the request."},
        {409,
         "The request could not be completed due to a conflict with the current state of "
         "the resource. The user should resubmit with more information."},
        {410,
         "The requested resource is no longer available at the server, and no forwarding "
         "address is known."},
        {411, "The server refuses to accept the request without a defined content length."},
        {412,
         "The precondition given in one or more of the request header fields evaluated to "
         "false when it was tested on the server."},
        {413,
         "The server is refusing to process a request because the request entity is larger "
         "than the server is willing or able to process."},
        {414,
         "The server is refusing to service the request because the request URI (Uniform "
         "Resource Identifier) is longer than the server is willing to interpret."},
        {415,
         "The server is refusing to service the request because the entity of the request "
         "is in a format not supported by the requested resource for the requested "
         "method."},
        {449, "The request should be retried after doing the appropriate action."},
        {500,
         "The server encountered an unexpected condition that prevented it from fulfilling "
         "the request."},
        {501, "The server does not support the functionality required to fulfill the request."},
        {502,
         "The server, while acting as a gateway or proxy, received an invalid response from "
         "the upstream server it accessed in attempting to fulfill the request."},
        {503, "The service is temporarily overloaded."},
        {504, "The request was timed out waiting for a gateway."},
        {505,
         "The server does not support, or refuses to support, the HTTP protocol version "
         "that was used in the request message."},
    };
    if (auto it = table.find(statusCode); it != table.end()) return it->second;
    return "Unknown Status Code";
}

}  // namespace engine
