#include "engine/HtmlParser.h"

#include <array>
#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace engine {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The separators of the tag's own text: CR, LF and space. Tabs are ordinary characters.
bool isSeparator(char c) {
    return c == ' ' || c == '\n' || c == '\r';
}

bool isWhiteSpace(char c) {
    return isSeparator(c) || c == '\t' || c == '\f' || c == '\v';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string upperCased(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = upper(c);
    return out;
}

// Text between tags keeps single separators but turns every run of two or more into one space.
std::string collapsedText(std::string_view run) {
    std::string out;
    out.reserve(run.size());
    for (std::size_t i = 0; i < run.size();) {
        if (!isSeparator(run[i])) {
            out.push_back(run[i++]);
            continue;
        }
        std::size_t j = i;
        while (j < run.size() && isSeparator(run[j])) ++j;
        out.push_back(j - i == 1 ? run[i] : ' ');
        i = j;
    }
    return out;
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
    explicit ParseRun(std::string_view doc)
        : doc_(doc), root_(HtmlTag::kDocument, "DOCUMENT", 0, size32(doc.size())) {
        open_.push_back({&root_, nullptr});
    }

    HtmlNode run() {
        while (pos_ < doc_.size() && step()) {
        }
        closeDownTo(1, size32(doc_.size()));
        return std::move(root_);
    }

private:
    struct OpenElement {
        HtmlNode* node;
        HtmlNode* parent;  // where the node stands in the tree (not always the element below it)
    };

    static std::uint32_t size32(std::size_t n) { return static_cast<std::uint32_t>(n); }

    // Reads the text up to the next tag and that tag. False when the parse ends.
    bool step() {
        const std::size_t lt = doc_.find('<', pos_);
        addText(pos_, lt == npos ? doc_.size() : lt);
        if (lt == npos) return false;
        if (lt + 1 < doc_.size() && doc_[lt + 1] == '/') return closingTag(lt);
        return openingTag(lt);
    }

    void addText(std::size_t from, std::size_t to) {
        const std::string_view run = doc_.substr(from, to - from);
        bool onlySeparators = true;
        for (char c : run) {
            if (!isSeparator(c)) {
                onlySeparators = false;
                break;
            }
        }
        if (onlySeparators) return;
        auto node =
            std::make_unique<HtmlNode>(HtmlTag::kBodyText, "BODYTEXT", size32(from), size32(to));
        node->setText(collapsedText(run));
        current().appendChild(std::move(node));
    }

    // "</name>": closes the nearest open element of that name and every element opened inside it.
    bool closingTag(std::size_t lt) {
        const std::size_t gt = doc_.find('>', lt + 2);
        if (gt == npos) return false;
        pos_ = gt + 1;
        const std::string name = upperCased(doc_.substr(lt + 2, gt - lt - 2));
        const auto count = openCount_.find(name);
        if (count == openCount_.end()) return true;  // matches no open element: skipped
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
        std::string name = upperCased(doc_.substr(lt + 1, p - lt - 1));
        const HtmlTag tag = htmlTagOf(name);
        auto node = std::make_unique<HtmlNode>(tag, std::move(name), size32(lt));

        while (p < doc_.size() && isSeparator(doc_[p])) ++p;
        bool closedInItself = false;
        std::size_t gt = npos;
        if (p < doc_.size() && doc_[p] == '/') {
            gt = doc_.find('>', p);
            closedInItself = gt != npos && doc_[gt - 1] == '/';
        } else {
            gt = readAttributes(p, *node, closedInItself);
        }
        if (gt == npos) return false;
        pos_ = gt + 1;

        if (closedInItself || !htmlTagHasContent(tag)) {
            node->setEnd(size32(gt + 1));
            placeNew(std::move(node));
            return true;
        }
        if (tag == HtmlTag::kScript) return scriptContent(std::move(node));
        HtmlNode& placed = placeNew(std::move(node));
        open_.push_back({&placed, lastParent_});
        ++openCount_[placed.name()];
        return true;
    }

    // Reads attributes from `p` up to the tag's ">"; returns its offset, or npos at the end of the
    // document. `closedInItself` tells whether the tag ended in "/>".
    std::size_t readAttributes(std::size_t p, HtmlNode& node, bool& closedInItself) {
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
            HtmlAttribute attribute{std::string(doc_.substr(nameStart, p - nameStart)), {}};
            std::size_t q = p;
            while (q < n && doc_[q] == ' ') ++q;
            if (q < n && doc_[q] == '=') {
                p = q;
                while (p < n && (doc_[p] == ' ' || doc_[p] == '=')) ++p;
                const ValueEnd end = readValue(p, attribute.value);
                if (end == ValueEnd::kDocumentEnd) return npos;
                if (end == ValueEnd::kRanIntoSlashClose) {
                    closedInItself = true;
                    return p;
                }
            }
            addUnlessBlankName(node, std::move(attribute));
        }
    }

    enum class ValueEnd { kStored, kDocumentEnd, kRanIntoSlashClose };

    // Reads the value at `p` into `value` and moves `p` past it.
    ValueEnd readValue(std::size_t& p, std::string& value) {
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
            value.assign(doc_.substr(from, to - from));
            p = close + 1;
            return ValueEnd::kStored;
        }
        const std::size_t from = p;
        while (p < n && !isSeparator(doc_[p]) && doc_[p] != '>') ++p;
        if (p >= n) return ValueEnd::kDocumentEnd;
        // An unquoted value cannot tell its last "/" from the tag's "/>": the attribute is lost.
        if (doc_[p] == '>' && p > from && doc_[p - 1] == '/') return ValueEnd::kRanIntoSlashClose;
        value.assign(doc_.substr(from, p - from));
        return ValueEnd::kStored;
    }

    static void addUnlessBlankName(HtmlNode& node, HtmlAttribute attribute) {
        for (char c : attribute.name) {
            if (!isWhiteSpace(c)) {
                node.addAttribute(std::move(attribute));
                return;
            }
        }
    }

    // The content of a SCRIPT is raw text up to "</script>"; without one the parse ends.
    bool scriptContent(std::unique_ptr<HtmlNode> node) {
        const std::size_t contentStart = pos_;
        std::size_t close = contentStart;
        while ((close = doc_.find("</", close)) != npos && !isScriptClose(close)) close += 2;
        const std::size_t contentEnd = close == npos ? doc_.size() : close;
        node->setText(
            std::string(trimmedSeparators(doc_.substr(contentStart, contentEnd - contentStart))));
        pos_ = close == npos ? doc_.size() : close + 9;
        node->setEnd(size32(pos_));
        placeNew(std::move(node));
        return close != npos;
    }

    bool isScriptClose(std::size_t at) const {
        constexpr std::string_view kName = "SCRIPT";
        if (doc_.size() - at < 9 || doc_[at + 8] != '>') return false;
        for (std::size_t i = 0; i < kName.size(); ++i) {
            if (upper(doc_[at + 2 + i]) != kName[i]) return false;
        }
        return true;
    }

    HtmlNode& current() { return *open_.back().node; }

    // Adds a new node under the current element. OPTION elements do not nest: an OPTION opened
    // inside an OPTION becomes its following sibling, so a list of unclosed options is a list of
    // siblings in document order.
    HtmlNode& placeNew(std::unique_ptr<HtmlNode> node) {
        const OpenElement& top = open_.back();
        HtmlNode* parent = top.node;
        if (node->tag() == HtmlTag::kOption && top.node->tag() == HtmlTag::kOption) {
            parent = top.parent;
        }
        lastParent_ = parent;
        return parent->appendChild(std::move(node));
    }

    // Closes the open elements above `level` (the root is level 0 and never closed), all ending
    // at `end`.
    void closeDownTo(std::size_t level, std::uint32_t end) {
        while (open_.size() > level && open_.size() > 1) closeTop(end);
    }

    void closeTop(std::uint32_t end) {
        HtmlNode* node = open_.back().node;
        node->setEnd(end);
        const auto count = openCount_.find(node->name());
        if (--count->second == 0) openCount_.erase(count);
        open_.pop_back();
    }

    std::string_view doc_;
    std::size_t pos_ = 0;
    HtmlNode root_;
    std::vector<OpenElement> open_;
    HtmlNode* lastParent_ = nullptr;
    // How many open elements bear each name, so that a closing tag that matches nothing is
    // rejected without walking the whole stack.
    std::unordered_map<std::string_view, std::uint32_t> openCount_;
};

}  // namespace

HtmlNode HtmlParser::parse(std::string_view document) {
    constexpr std::size_t kMaxSize = std::numeric_limits<std::uint32_t>::max();
    if (document.size() > kMaxSize) document = document.substr(0, kMaxSize);
    return ParseRun(document).run();
}

}  // namespace engine
