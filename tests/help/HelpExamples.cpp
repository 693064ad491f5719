#include "tests/help/HelpExamples.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace helptest {

std::string decodeEntities(const std::string& html) {
    static const std::vector<std::pair<std::string, std::string>> entities = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
    std::string text;
    for (std::size_t i = 0; i < html.size();) {
        const auto entity = std::find_if(entities.begin(), entities.end(), [&](const auto& e) {
            return html.compare(i, e.first.size(), e.first) == 0;
        });
        if (entity == entities.end()) {
            text += html[i++];
        } else {
            text += entity->second;
            i += entity->first.size();
        }
    }
    return text;
}

std::map<std::string, std::string> attributesOf(const std::string& tag, const std::string& prefix) {
    std::map<std::string, std::string> found;
    for (std::size_t at = tag.find(prefix); at != std::string::npos; at = tag.find(prefix, at)) {
        at += prefix.size();
        const std::size_t equals = tag.find("=\"", at);
        if (equals == std::string::npos) break;
        const std::size_t close = tag.find('"', equals + 2);
        if (close == std::string::npos) break;
        found[tag.substr(at, equals - at)] =
            decodeEntities(tag.substr(equals + 2, close - equals - 2));
        at = close + 1;
    }
    return found;
}

std::vector<Example> examplesOf(const std::string& page, const std::string& html) {
    static const std::string open = "<pre class=\"example\"";
    std::vector<Example> examples;
    for (std::size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
        const std::size_t tagEnd = html.find('>', at);
        const std::size_t close = html.find("</pre>", tagEnd);
        if (tagEnd == std::string::npos || close == std::string::npos) break;
        Example example{page, "", decodeEntities(html.substr(tagEnd + 1, close - tagEnd - 1)),
                        attributesOf(html.substr(at, tagEnd - at), " data-")};
        example.kind = example.data["kind"];
        examples.push_back(std::move(example));
        at = close;
    }
    return examples;
}

std::vector<Example> examplesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> pages;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".html") pages.push_back(entry.path());
    std::sort(pages.begin(), pages.end());
    std::vector<Example> all;
    for (const auto& path : pages) {
        std::ifstream file(path, std::ios::binary);
        const std::string html(std::istreambuf_iterator<char>(file), {});
        for (Example& example : examplesOf(path.filename().string(), html))
            all.push_back(std::move(example));
    }
    return all;
}

std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (const char c : line) {
        if (quote != 0) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\n' || c == '\t') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

}  // namespace helptest
