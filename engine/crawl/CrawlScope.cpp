#include "engine/crawl/CrawlScope.h"

#include "engine/base/AsciiText.h"
#include "engine/settings/OperationSettings.h"

namespace engine {

bool sameSite(const std::string* pageHost, const ParsedUrl& candidate, int mode) {
    if (pageHost == nullptr) return true;
    std::string_view page = trimmedControls(*pageHost);
    std::string_view host = trimmedControls(candidate.host);
    if (mode == 1 && page.size() > 4 && page.substr(0, 4) == "www.") page.remove_prefix(4);
    if (host.size() < page.size()) return false;
    if (mode == 1) host = host.substr(host.size() - page.size());
    return host == page;
}

bool inCrawlScope(const std::string& rootHost, const ParsedUrl& candidate, int autoCheck) {
    if (autoCheck == OperationSettings::kAllPages) return true;
    return sameSite(&rootHost, candidate, autoCheck);
}

}  // namespace engine
