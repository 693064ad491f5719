#include "engine/html/HtmlParser.h"

#include <array>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/base/AsciiText.h"

namespace engine {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The separators of a tag's own text: CR, LF and space. Tabs are ordinary characters there.
bool isSeparator(char c) {
    return c == ' ' || c == '\n' || c == '\r';
}

std::string_view trimmedSeparators(std::string_view s) {
    while (!s.empty() && isSeparator(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSeparator(s.back())) s.remove_suffix(1);
    return s;
}

// One run of the parser over one document. Open elements are kept on an explicit stack, so the
// nesting depth of the document costs heap, never call stack.
class ParseRun {
public:
    // Parses a copy of `source` kept in the resulting document.
    explicit ParseRun(std::string_view source) : tree_(source), doc_(tree_.source()) {
        open_.push_back({&tree_.root(), nullptr});
    }

    HtmlDocument run() {
        while (pos_ < doc_.size() && step()) {
        }
        closeDownTo(1, size32(doc_.size()));
        return std::move(tree_);
    }

private:
    struct OpenElement {
        HtmlNode* node;
        HtmlNode* parent;  // where the node stands in the tree (not always the element below)
    };

    enum class ValueEnd { kStored, kDocumentEnd, kRanIntoSlashClose };

    static std::uint32_t size32(std::size_t n) { return static_cast<std::uint32_t>(n); }

    // Reads the text up to the next tag and that tag. False when the parse ends.
    bool step() {
        const std::size_t lt = doc_.find('<', pos_);
        addText(pos_, lt == npos ? doc_.size() : lt);
        if (lt == npos) return false;
        if (doc_.substr(lt, 4) == "<!--") return comment(lt);
        if (lt + 1 < doc_.size() && doc_[lt + 1] == '/') return closingTag(lt);
        return openingTag(lt);
    }

    // A comment is no markup: a browser fetches nothing it names. It ends at the first "-->",
    // also the one that overlaps its opening ("<!-->", "<!--->"), as in a browser; without one
    // it runs to the end of the document. It leaves no node, so everything else keeps its place.
    bool comment(std::size_t lt) {
        const std::size_t close = doc_.find("-->", lt + 2);
        if (close == npos) return false;
        pos_ = close + 3;
        return true;
    }

    // A run that holds more than separators becomes a text node, each run of two or more
    // separators in it turned into one space.
    void addText(std::size_t from, std::size_t to) {
        std::size_t i = from;
        while (i < to && isSeparator(doc_[i])) ++i;
        if (i == to) return;
        HtmlNode& node = tree_.newNode(HtmlTag::kBodyText, htmlTagName(HtmlTag::kBodyText),
                                       size32(from), size32(to));
        current().appendChild(node);
        node.setText(hasSeparatorRun(from, to) ? collapsed(from, to)
                                               : doc_.substr(from, to - from));
    }

    bool hasSeparatorRun(std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i + 1 < to; ++i) {
            if (isSeparator(doc_[i]) && isSeparator(doc_[i + 1])) return true;
        }
        return false;
    }

    std::string_view collapsed(std::size_t from, std::size_t to) {
        char* text = tree_.allocateText(to - from);
        std::size_t length = 0;
        for (std::size_t i = from; i < to;) {
            if (!isSeparator(doc_[i])) {
                text[length++] = doc_[i++];
                continue;
            }
            std::size_t j = i + 1;
            while (j < to && isSeparator(doc_[j])) ++j;
            text[length++] = j - i == 1 ? doc_[i] : ' ';
            i = j;
        }
        return {text, length};
    }

    // "</name>": closes the nearest open element of that name and every element opened inside
    // it; when no open element has that name the tag is skipped.
    bool closingTag(std::size_t lt) {
        const std::size_t gt = doc_.find('>', lt + 2);
        if (gt == npos) return false;
        pos_ = gt + 1;
        const std::string_view name = upperCased(doc_.substr(lt + 2, gt - lt - 2));
        if (openCount(name) == 0) return true;
        std::size_t level = open_.size() - 1;
        while (open_[level].node->name() != name) --level;
        closeDownTo(level + 1, size32(lt));
        closeTop(size32(gt + 1));
        return true;
    }

    bool openingTag(std::size_t lt) {
        std::size_t p = lt + 1;
        while (p < doc_.size() && doc_[p] != '>' && doc_[p] != '/' && !isSeparator(doc_[p])) ++p;
        if (p >= doc_.size()) return false;  // no ">": the tag is dropped and the parse ends
        const std::string_view upperName = upperCased(doc_.substr(lt + 1, p - lt - 1));
        const HtmlTag tag = htmlTagOf(upperName);

        while (p < doc_.size() && isSeparator(doc_[p])) ++p;
        bool closedInItself = false;
        std::size_t gt = npos;
        attributes_.clear();
        if (p < doc_.size() && doc_[p] == '/') {
            gt = doc_.find('>', p);
            closedInItself = gt != npos && doc_[gt - 1] == '/';
        } else {
            gt = readAttributes(p, closedInItself);
        }
        if (gt == npos) return false;
        pos_ = gt + 1;

        const std::string_view name =
            tag == HtmlTag::kUnknown ? tree_.store(upperName) : htmlTagName(tag);
        HtmlNode& node = tree_.newNode(tag, name, size32(lt), size32(gt + 1));
        node.setAttributes(tree_.store(std::span<const HtmlAttribute>(attributes_)));
        if (closedInItself || !htmlTagHasContent(tag)) {
            place(node);
            return true;
        }
        if (tag == HtmlTag::kScript) return scriptContent(node);
        place(node);
        open_.push_back({&node, lastParent_});
        ++openCountSlot(node.tag(), node.name());
        return true;
    }

    // Reads attributes from `p` up to the tag's ">" and returns its offset, or npos when the
    // document ends first. `closedInItself` tells whether the tag ended in "/>".
    std::size_t readAttributes(std::size_t p, bool& closedInItself) {
        const std::size_t n = doc_.size();
        const auto atSlashClose = [&](std::size_t i) {
            return doc_[i] == '/' && i + 1 < n && doc_[i + 1] == '>';
        };
        for (;;) {
            while (p < n && (isSeparator(doc_[p]) || doc_[p] == '=')) ++p;
            if (p >= n) return npos;
            if (doc_[p] == '>') return p;
            if (atSlashClose(p)) {
                closedInItself = true;
                return p + 1;
            }
            const std::size_t nameStart = p;
            while (p < n && !isSeparator(doc_[p]) && doc_[p] != '>' && doc_[p] != '=' &&
                   !atSlashClose(p)) {
                ++p;
            }
            const std::string_view name = doc_.substr(nameStart, p - nameStart);
            std::string_view value;
            std::size_t q = p;
            while (q < n && doc_[q] == ' ') ++q;
            if (q < n && doc_[q] == '=') {
                p = q;
                while (p < n && (doc_[p] == ' ' || doc_[p] == '=')) ++p;
                const ValueEnd end = readValue(p, value);
                if (end == ValueEnd::kDocumentEnd) return npos;
                if (end == ValueEnd::kRanIntoSlashClose) {
                    closedInItself = true;
                    return p;
                }
            }
            // A name of spaces alone (any of the six) is no attribute.
            if (!trimmed(name).empty()) attributes_.push_back({name, value});
        }
    }

    // Reads the value at `p` and moves `p` past it.
    ValueEnd readValue(std::size_t& p, std::string_view& value) const {
        const std::size_t n = doc_.size();
        if (p >= n) return ValueEnd::kDocumentEnd;
        const bool escaped =
            doc_[p] == '\\' && p + 1 < n && (doc_[p + 1] == '"' || doc_[p + 1] == '\'');
        if (escaped || doc_[p] == '"' || doc_[p] == '\'') {
            const char quote = escaped ? doc_[p + 1] : doc_[p];
            const std::size_t from = p + (escaped ? 2 : 1);
            const std::size_t close = doc_.find(quote, from);
            if (close == npos) return ValueEnd::kDocumentEnd;
            std::size_t to = close;
            // A value written as \"...\" loses the backslash of its closing quote too.
            if (escaped && to > from && doc_[to - 1] == '\\') --to;
            value = doc_.substr(from, to - from);
            p = close + 1;
            return ValueEnd::kStored;
        }
        const std::size_t from = p;
        while (p < n && !isSeparator(doc_[p]) && doc_[p] != '>') ++p;
        if (p >= n) return ValueEnd::kDocumentEnd;
        // An unquoted value cannot tell its last "/" from the tag's "/>": the attribute is lost.
        if (doc_[p] == '>' && p > from && doc_[p - 1] == '/') return ValueEnd::kRanIntoSlashClose;
        value = doc_.substr(from, p - from);
        return ValueEnd::kStored;
    }

    // The content of a SCRIPT is raw text up to "</script>"; without one the parse ends.
    bool scriptContent(HtmlNode& node) {
        const std::size_t contentStart = pos_;
        std::size_t close = contentStart;
        while ((close = doc_.find("</", close)) != npos && !isScriptClose(close)) close += 2;
        const std::size_t contentEnd = close == npos ? doc_.size() : close;
        node.setText(trimmedSeparators(doc_.substr(contentStart, contentEnd - contentStart)));
        pos_ = close == npos ? doc_.size() : close + 9;
        node.setEnd(size32(pos_));
        place(node);
        return close != npos;
    }

    bool isScriptClose(std::size_t at) const {
        constexpr std::string_view kName = "SCRIPT";
        if (doc_.size() - at < 9 || doc_[at + 8] != '>') return false;
        for (std::size_t i = 0; i < kName.size(); ++i) {
            if (toUpper(doc_[at + 2 + i]) != kName[i]) return false;
        }
        return true;
    }

    // An upper-case copy in a buffer reused from tag to tag; valid until the next call.
    std::string_view upperCased(std::string_view s) {
        scratch_.assign(s);
        for (char& c : scratch_) c = toUpper(c);
        return scratch_;
    }

    HtmlNode& current() { return *open_.back().node; }

    // Adds a node under the current element. OPTION elements do not nest: an OPTION opened
    // directly inside an OPTION becomes its following sibling, so unclosed options in a row are
    // siblings in document order.
    void place(HtmlNode& node) {
        const OpenElement& top = open_.back();
        HtmlNode* parent = top.node;
        if (node.tag() == HtmlTag::kOption && top.node->tag() == HtmlTag::kOption) {
            parent = top.parent;
        }
        lastParent_ = parent;
        parent->appendChild(node);
    }

    // Closes the open elements above `level` (the root, level 0, is never closed); they end at
    // `end`.
    void closeDownTo(std::size_t level, std::uint32_t end) {
        while (open_.size() > std::max<std::size_t>(level, 1)) closeTop(end);
    }

    void closeTop(std::uint32_t end) {
        HtmlNode& node = *open_.back().node;
        node.setEnd(end);
        --openCountSlot(node.tag(), node.name());
        open_.pop_back();
    }

    // How many open elements bear each name, so that a closing tag that matches nothing costs no
    // walk of the open elements. Known tags are counted by id, unknown ones by name.
    std::uint32_t openCount(std::string_view upperName) const {
        const HtmlTag tag = htmlTagOf(upperName);
        if (tag != HtmlTag::kUnknown) return knownOpen_[static_cast<std::size_t>(tag)];
        const auto it = unknownOpen_.find(std::string(upperName));
        return it == unknownOpen_.end() ? 0 : it->second;
    }

    std::uint32_t& openCountSlot(HtmlTag tag, std::string_view name) {
        if (tag != HtmlTag::kUnknown) return knownOpen_[static_cast<std::size_t>(tag)];
        return unknownOpen_[std::string(name)];
    }

    HtmlDocument tree_;
    std::string_view doc_;
    std::size_t pos_ = 0;
    std::vector<OpenElement> open_;
    HtmlNode* lastParent_ = nullptr;
    std::vector<HtmlAttribute> attributes_;
    std::string scratch_;
    std::array<std::uint32_t, 64> knownOpen_{};
    std::unordered_map<std::string, std::uint32_t> unknownOpen_;
};

}  // namespace

HtmlDocument HtmlParser::parse(std::string_view document) {
    return ParseRun(document).run();
}

}  // namespace engine
