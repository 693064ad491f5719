#pragma once

#include <string>
#include <string_view>

#include "engine/url/ParsedUrl.h"

namespace engine {

// Whether the crawl may follow `candidate` from a page whose host is `pageHost`; no page
// (nullptr) allows everything. Mode 0 wants the same host; mode 1 also takes every host ending
// with the page's host without a leading "www.". Hosts compare byte for byte, after trimming.
bool sameSite(const std::string* pageHost, const ParsedUrl& candidate, int mode);

// The scope rule of a crawl that started at a root page of host `rootHost`, for the scope
// setting `autoCheck` (OperationSettings): every page, or the pages sameSite admits.
bool inCrawlScope(const std::string& rootHost, const ParsedUrl& candidate, int autoCheck);

}  // namespace engine
