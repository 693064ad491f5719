#pragma once

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/figures/LineModel.h"
#include "engine/figures/NetworkLine.h"
#include "engine/schedule/PageEntry.h"
#include "export/HarWriter.h"

// The pages as a HAR 1.2 document whose timings are engine::modelLine's for one line: the
// measured document of HarWriter.h (the same pages, entries, requests, responses and
// references), with each entry's start and timings, and each page's pageTimings, restated.
// - An entry starts at its page's start plus the moment the modelled browser wanted the item;
//   blocked is the wait for a connection, dns the name lookup, connect the TCP and TLS
//   handshakes with ssl the TLS part (dns, connect and ssl are -1 on a connection already open,
//   ssl also on http), send the browser's own time for the request, wait to the first byte, receive
//   to the last. `time` is their sum without ssl, so an entry's start plus its time is the moment
//   the model's item ended.
// - An item the model fetched for nothing (answered by a cache, met again) has 0 and -1 timings.
// - pageTimings: onContentLoad the model's render time, onLoad its load time.
namespace exporting {

nlohmann::json lineHarDocument(const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                               const engine::NetworkLine& line,
                               const HarClock& clock = HarClock::now(),
                               const engine::BrowserCost& cost = {});

// Writes lineHarDocument to `path` as writeHar does. False with `error` set on failure.
bool writeLineHar(const std::string& path,
                  const std::vector<std::shared_ptr<engine::PageEntry>>& pages,
                  const engine::NetworkLine& line, std::string& error,
                  const HarClock& clock = HarClock::now(), const engine::BrowserCost& cost = {});

}  // namespace exporting
