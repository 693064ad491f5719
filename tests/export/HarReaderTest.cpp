#include "export/HarReader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "tests/export/ImportedPages.h"

namespace {

using nlohmann::json;

json oneEntry() {
    return json::parse(R"({"log": {"version": "1.2", "entries": [{
        "startedDateTime": "2024-05-01T09:30:12.000Z",
        "request": {"url": "http://x.example/"},
        "response": {"status": 200, "bodySize": 1, "content": {"size": 1, "mimeType": "text/html"}},
        "timings": {"send": 0, "wait": 1, "receive": 1}}]}})");
}

exporting::HarReadResult read(const std::string& text,
                              std::uintmax_t limit = exporting::kHarFileLimit) {
    std::istringstream in(text);
    return exporting::readHar(in, limit);
}

TEST(HarReader, AFileLargerThanTheLimitIsRefusedUnread) {
    exporttest::TempFolder folder;
    const std::string path = folder.file("huge.har");
    // 500 MB that take no room: the reader must refuse it by its size alone.
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{500} << 20), 0);
    ::close(fd);
    const exporting::HarReadResult result = exporting::readHarFile(path);
    EXPECT_FALSE(result.log);
    EXPECT_EQ(result.error, "the file has 500 MB; HAR files are read up to 256 MB");
}

TEST(HarReader, AStreamIsReadNoFurtherThanTheLimit) {
    constexpr std::uintmax_t kLimit = 1 << 20;
    std::string text = oneEntry().dump();
    text.resize(kLimit, ' ');
    EXPECT_TRUE(read(text, kLimit).log) << read(text, kLimit).error;
    text += ' ';  // one byte over: a pipe or a growing file is cut there
    const exporting::HarReadResult result = read(text, kLimit);
    EXPECT_FALSE(result.log);
    EXPECT_EQ(result.error, "larger than 1 MB: HAR files are read up to 1 MB");
}

TEST(HarReader, AFolderOrAMissingFileIsNamed) {
    exporttest::TempFolder folder;
    EXPECT_EQ(exporting::readHarFile(folder.file("")).error, "is a folder");
    EXPECT_EQ(exporting::readHarFile(folder.file("none.har")).error, "No such file or directory");
}

TEST(HarReader, BrowserFieldsOfAnotherShapeAndDeepNestingArePassedOver) {
    json har = oneEntry();
    json& shaped = har["log"]["entries"][0];
    shaped["_initiator"] = "parser";
    shaped["_fromCache"] = true;
    shaped["_offset"] = "12";
    std::string deep(100000, '[');
    deep += std::string(100000, ']');
    std::string text = har.dump();
    text.insert(text.find("\"timings\""), "\"_trace\": " + deep + ", ");
    const exporting::HarReadResult result = read(text);
    ASSERT_TRUE(result.log) << result.error;
    const exporting::HarEntry& entry = result.log->entries.at(0);
    EXPECT_TRUE(entry.initiatorUrls.empty());
    EXPECT_EQ(entry.fromCache, "");
    EXPECT_FALSE(entry.offset);
    EXPECT_EQ(entry.timings->wait, 1.0);
}

TEST(HarReader, ACallStackKeepsNoMoreAddressesThanTheBound) {
    json har = oneEntry();
    json frames = json::array();
    for (int i = 0; i < 1000; ++i)
        frames.push_back({{"url", "https://x.example/" + std::to_string(i) + ".js"}});
    har["log"]["entries"][0]["_initiator"] = {{"type", "script"},
                                              {"stack", {{"callFrames", frames}}}};
    const exporting::HarReadResult result = read(har.dump());
    ASSERT_TRUE(result.log) << result.error;
    const exporting::HarEntry& entry = result.log->entries.at(0);
    EXPECT_EQ(entry.initiatorType, "script");
    ASSERT_EQ(entry.initiatorUrls.size(), exporting::HarLimits::kMaxInitiatorUrls);
    EXPECT_EQ(entry.initiatorUrls.front(), "https://x.example/0.js");  // innermost first
}

}  // namespace
