#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace helptest {

// One <pre class="example"> of a help page: its kind ("query" or "cli"), its text with the
// entities decoded, and its other data- attributes ("expect", "exit", "stdin") likewise.
struct Example {
    std::string page;
    std::string kind;
    std::string text;
    std::map<std::string, std::string> data;
};

std::string decodeEntities(const std::string& html);
// The attributes of one tag whose names begin with `prefix` (" data-", " id="...), by the rest
// of their name, values decoded.
std::map<std::string, std::string> attributesOf(const std::string& tag, const std::string& prefix);
std::vector<Example> examplesOf(const std::string& page, const std::string& html);
// Every example of every page of the folder, pages in name order.
std::vector<Example> examplesIn(const std::filesystem::path& folder);
// A command line cut into words as a shell would: blanks separate, '...' and "..." quote.
std::vector<std::string> splitWords(const std::string& line);

}  // namespace helptest
