// Addresses come from the network (scanned documents, Location headers) and from the user. The
// input is a base address and a reference separated by the first newline; both go through
// parse and resolve, and the results must keep the record's promises.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/crawl/CrawlScope.h"
#include "engine/settings/AddressMru.h"
#include "engine/url/ParsedUrl.h"

namespace {

void check(bool condition) {
    if (!condition) __builtin_trap();
}

void checkRecord(const engine::ParsedUrl& url) {
    if (!url.valid) return;
    check(url.schemeKind == engine::ParsedUrl::kHttp ||
          url.schemeKind == engine::ParsedUrl::kFile ||
          url.schemeKind == engine::ParsedUrl::kHttps);
    check(url.urlText.find('#') == std::string::npos);
    check(url.objectPath.empty() || url.objectPath.front() != '/');
    check(url.objectPath.find('#') == std::string::npos);
    const std::string request = url.requestUrl();
    if (request.empty()) return;
    // What the transfer asks for splits again into the same server and object.
    const engine::ParsedUrl again = engine::ParsedUrl::parse(request);
    check(again.valid);
    check(again.host == url.host && again.port == url.port && again.objectPath == url.objectPath);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\n');
    const std::string_view baseText = input.substr(0, split);
    const std::string_view reference =
        split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

    const engine::ParsedUrl base = engine::ParsedUrl::parse(baseText);
    checkRecord(base);
    const engine::ParsedUrl resolved = engine::ParsedUrl::resolve(base, reference);
    checkRecord(resolved);
    if (resolved.valid) check(resolved.urlText.size() < engine::ParsedUrl::kMaxCombinedLength);

    const std::string typed = engine::completeTyped(baseText);
    check(typed == baseText || typed.rfind("http://", 0) == 0);
    engine::sameSite(&base.host, resolved, 0);
    engine::sameSite(&base.host, resolved, 1);
    return 0;
}
