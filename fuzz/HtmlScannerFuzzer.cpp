// Parses and scans arbitrary bytes as a downloaded document. The first byte picks the scan
// flags; the rest is the body. Checks what the rest of the engine relies on: the body is the
// same after the scan, every node lies inside the document and inside its parent, siblings come
// in document order, and every reference points at a tag of the document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/html/HtmlParser.h"
#include "engine/html/HtmlScanner.h"
#include "engine/items/WebItem.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void checkTree(const engine::HtmlDocument& document) {
    const std::uint32_t size = static_cast<std::uint32_t>(document.source().size());
    const engine::HtmlNode& root = document.root();
    check(root.start() == 0 && root.end() == size);
    root.visitChildrenFirst([&](const engine::HtmlNode& node) {
        check(node.start() <= node.end() && node.end() <= size);
        std::uint32_t previous = node.start();
        for (const engine::HtmlNode& child : node.children()) {
            check(child.start() >= previous && child.end() <= node.end());
            previous = child.start();
        }
    });
}

void checkReferences(const std::vector<engine::LinkRef>& list, const std::string& body) {
    for (const engine::LinkRef& ref : list) {
        check(ref.position < body.size() && body[ref.position] == '<');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const engine::ScanFlags flags = data[0] & engine::kScanAll;
    const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);

    checkTree(engine::HtmlParser::parse(body));

    auto item = std::make_shared<engine::WebItem>(
        engine::ParsedUrl::parse("http://fuzz.example/dir/page.html"));
    item->beginTransfer(item->address());
    engine::TransferOutcome outcome;
    outcome.statusCode = 200;
    outcome.contentType = "text/html";
    outcome.contentKind = engine::ContentKind::Html;
    outcome.received = body.size();
    outcome.body = body;
    item->endTransfer(std::move(outcome));

    check(engine::scan(*item, flags));
    check(*item->body() == body);
    const auto result = item->scanResult();
    check(result->flags == flags);
    checkReferences(result->elements, body);
    checkReferences(result->anchors, body);
    return 0;
}
