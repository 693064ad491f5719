#include "platform/RegistryText.h"

#include <charconv>
#include <cstdint>
#include <vector>

namespace platform {
namespace {

bool isControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

void appendHexEscape(std::string& out, unsigned char c) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    while (!text.empty()) {
        const auto c = static_cast<unsigned char>(text.front());
        std::size_t used = 1;
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                used = isControl(c) ? 0 : utf8SequenceLength(text);
                if (used == 0) {
                    appendHexEscape(out, c);
                    used = 1;
                } else {
                    out.append(text.substr(0, used));
                }
        }
        text.remove_prefix(used);
    }
    out += '"';
}

void appendValue(std::string& out, const RegistryData& data) {
    appendQuoted(out, data.name);
    out += '=';
    if (data.type == RegistryType::Int) {
        out += "int:" + std::to_string(data.number);
    } else {
        appendQuoted(out, data.text);
    }
    out += '\n';
}

// path holds the node's key path on entry and is restored on return, so deep trees cost no
// copies of it.
void appendKey(std::string& out, const RegistryNode& node, std::string& path, bool isRoot) {
    if (node.valueCount() > 0 || (!isRoot && node.childCount() == 0)) {
        out += "\n[" + path + "]\n";
        node.forEachValue([&](const RegistryData& data) { appendValue(out, data); });
    }
    node.forEachChild([&](const RegistryNode& child) {
        const auto length = path.size();
        if (!isRoot) path += '\\';
        path += child.name();
        appendKey(out, child, path, false);
        path.resize(length);
    });
}

// Raw control bytes are allowed only as a tab or as the line end ("\n" or "\r\n").
bool hasStrayControlBytes(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!isControl(c) || c == '\t' || c == '\n') continue;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        return true;
    }
    return false;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Reads a quoted text starting at line[pos]; on success pos is just past the closing quote.
bool parseQuoted(std::string_view line, std::size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size()) return false;
        switch (line[pos]) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x': {
                if (pos + 2 >= line.size()) return false;
                const int high = hexDigit(line[pos + 1]), low = hexDigit(line[pos + 2]);
                if (high < 0 || low < 0) return false;
                out += static_cast<char>(high * 16 + low);
                pos += 2;
                break;
            }
            default:
                return false;
        }
    }
    return false;
}

bool parseNumber(std::string_view digits, std::int32_t& number) {
    if (digits.empty() || digits.front() == '+') return false;
    const auto* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, number);
    return error == std::errc() && stop == end;
}

bool parseValueLine(std::string_view line, RegistryData& data) {
    std::size_t pos = 0;
    if (!parseQuoted(line, pos, data.name)) return false;
    if (data.name.size() > RegistryNode::kMaxValueNameLength) return false;
    if (pos >= line.size() || line[pos++] != '=') return false;
    const auto rest = line.substr(pos);
    if (rest.starts_with("int:")) {
        data.type = RegistryType::Int;
        return parseNumber(rest.substr(4), data.number);
    }
    data.type = RegistryType::String;
    return parseQuoted(line, pos, data.text) && pos == line.size();
}

// Splits off the next line without its end; false once the text is used up.
bool nextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) return false;
    const auto end = text.find('\n');
    line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    return true;
}

}  // namespace

std::string formatRegistryText(const RegistryNode& root) {
    std::string out(kFirstLine);
    out += '\n';
    std::string path;
    appendKey(out, root, path, true);
    out += '\n';
    out += kLastLine;
    out += '\n';
    return out;
}

std::optional<RegistryNode> parseRegistryText(std::string_view text) {
    if (hasStrayControlBytes(text) || !isValidUtf8(text)) return std::nullopt;
    std::string_view line;
    if (!nextLine(text, line) || line != kFirstLine) return std::nullopt;

    RegistryNode root;
    RegistryNode* key = nullptr;  // values before the first key line belong nowhere
    std::vector<std::string> names;
    bool ended = false;
    while (nextLine(text, line)) {
        if (line.empty()) continue;
        if (ended) return std::nullopt;  // only blank lines may follow the last line
        if (line == kLastLine) {
            ended = true;
        } else if (line.front() == ';') {
            continue;
        } else if (line.front() == '[' && line.size() >= 2 && line.back() == ']') {
            if (splitKeyPath(line.substr(1, line.size() - 2), names) != RegistryStatus::Success)
                return std::nullopt;
            key = &root.create(names);
        } else {
            RegistryData data;
            if (!key || !parseValueLine(line, data)) return std::nullopt;
            key->setValue(std::move(data));
        }
    }
    if (!ended) return std::nullopt;
    return root;
}

}  // namespace platform
