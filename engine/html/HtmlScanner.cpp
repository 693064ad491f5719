#include "engine/html/HtmlScanner.h"

#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/base/AsciiText.h"
#include "engine/base/ContentKind.h"
#include "engine/html/HtmlParser.h"
#include "engine/url/AcceptPattern.h"

namespace engine {
namespace {

// "mailto" links are no place to crawl to; a bare "mailto" is an ordinary relative address.
bool isMailLink(std::string_view href) {
    return href.size() > 6 && equalIgnoringCase(href.substr(0, 6), "mailto");
}

// The first "src" or "background" attribute with a value: what any tag makes a browser fetch.
const HtmlAttribute* elementAttribute(const HtmlNode& node) {
    for (const HtmlAttribute& a : node.attributes()) {
        if (!a.value.empty() &&
            (equalIgnoringCase(a.name, "src") || equalIgnoringCase(a.name, "background"))) {
            return &a;
        }
    }
    return nullptr;
}

// Collects the references of one tree, each node after its children.
class Collector {
public:
    Collector(const ParsedUrl& address, ScanFlags flags, std::string title)
        : address_(address), flags_(flags) {
        result_.title = std::move(title);
        result_.base = address;
    }

    void visit(const HtmlNode& node) {
        switch (node.tag()) {
            case HtmlTag::kBase:
                return takeBase(node);
            case HtmlTag::kLink:
                if (wants(kScanElements)) return takeStyleSheet(node);
                break;
            case HtmlTag::kTitle:
                if (wants(kScanTitle)) return takeTitle(node);
                break;
            case HtmlTag::kA:
                if (wants(kScanAnchors)) return takeAnchor(node);
                break;
            default:
                break;
        }
        if (!wants(kScanElements)) return;
        if (const HtmlAttribute* a = elementAttribute(node)) {
            add(result_.elements, *a, node, acceptPatternForTag(node.name()));
        }
    }

    // The references are resolved against the base only now, so a BASE applies also to the
    // references written before it.
    ScanResult finish() && {
        if (wants(kScanAnchors)) resolveAndDeduplicate(result_.anchors);
        if (wants(kScanElements)) resolveAndDeduplicate(result_.elements);
        result_.flags = flags_;
        return std::move(result_);
    }

private:
    bool wants(ScanFlags flag) const { return (flags_ & flag) != 0; }

    // A relative BASE is taken relative to the document's own address, as browsers take it; one
    // that makes no address at all is ignored.
    void takeBase(const HtmlNode& node) {
        const HtmlAttribute* href = node.nonEmptyAttribute("href");
        if (href == nullptr) return;
        ParsedUrl base = ParsedUrl::resolve(address_, href->value);
        if (!base.urlText.empty()) result_.base = std::move(base);
    }

    void takeStyleSheet(const HtmlNode& node) {
        const HtmlAttribute* rel = node.attribute("rel");
        if (rel == nullptr || !equalIgnoringCase(rel->value, "stylesheet")) return;
        if (const HtmlAttribute* href = node.nonEmptyAttribute("href")) {
            add(result_.elements, *href, node, kAcceptStyleSheet);
        }
    }

    void takeTitle(const HtmlNode& node) {
        if (const HtmlNode* text = node.firstTextChild()) result_.title = std::string(text->text());
    }

    void takeAnchor(const HtmlNode& node) {
        const HtmlAttribute* href = node.attribute("href");
        if (href != nullptr && !isMailLink(href->value)) {
            add(result_.anchors, *href, node, kAcceptAny);
        }
    }

    static void add(std::vector<LinkRef>& list, const HtmlAttribute& attribute,
                    const HtmlNode& node, std::string_view pattern) {
        list.push_back({std::string(attribute.value), node.start(), std::string(pattern), {}});
    }

    // Keeps the first reference of every address; addresses compare in lower case. A text
    // written again resolves to an address already seen, so it is dropped unresolved: pages
    // repeat their spacers and icons many times.
    void resolveAndDeduplicate(std::vector<LinkRef>& list) const {
        std::unordered_set<std::string> seenTexts;
        std::unordered_set<std::string> seenUrls;
        std::vector<LinkRef> kept;
        kept.reserve(list.size());
        for (LinkRef& ref : list) {
            if (!seenTexts.insert(ref.urlText).second) continue;
            ref.url = ParsedUrl::resolve(result_.base, ref.urlText);
            if (seenUrls.insert(toLower(ref.url.urlText)).second) kept.push_back(std::move(ref));
        }
        list = std::move(kept);
    }

    const ParsedUrl& address_;
    const ScanFlags flags_;
    ScanResult result_;
};

}  // namespace

std::string_view acceptPatternForTag(std::string_view upperTagName) {
    if (upperTagName == "IMG") return kAcceptImage;
    if (upperTagName == "SCRIPT" || upperTagName == "OBJECT" || upperTagName == "EMBED") {
        return kAcceptApplication;
    }
    return kAcceptAny;
}

ScanResult scanDocument(std::string_view body, const ParsedUrl& address, ScanFlags flags,
                        std::string title) {
    const HtmlDocument document = HtmlParser::parse(body);
    Collector collector(address, flags, std::move(title));
    document.root().visitChildrenFirst([&](const HtmlNode& node) { collector.visit(node); });
    return std::move(collector).finish();
}

bool scan(WebItem& item, ScanFlags flags) {
    const std::shared_ptr<const ScanResult> previous = item.scanResult();
    if (item.contentKind() != ContentKind::Html) {
        ScanResult cleared;
        cleared.title = previous->title;
        cleared.base = previous->base;
        item.setScanResult(std::move(cleared));
        return false;
    }
    // The body is shared and immutable; the parser reads it through a bounded view.
    const std::shared_ptr<const std::string> body = item.body();
    item.setScanResult(scanDocument(*body, item.address(), flags, previous->title));
    return true;
}

}  // namespace engine
