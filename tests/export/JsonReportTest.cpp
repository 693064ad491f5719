#include "export/JsonReport.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "engine/figures/ConnectionSpeed.h"
#include "engine/schedule/PageState.h"
#include "tests/export/LoadedSite.h"

namespace {

using nlohmann::json;

class JsonReportTest : public exporttest::LoadedSite {
protected:
    static const json& itemAt(const json& page, const std::string& url) {
        for (const json& item : page.at("items"))
            if (item.at("url") == url) return item;
        throw std::out_of_range("no item " + url);
    }
};

TEST_F(JsonReportTest, PagesCarryTreeStateAndEveryConnectionsTimes) {
    const auto pages = loadSite();
    constexpr int kCable = 3;
    // The text, parsed again, is the document.
    const json doc = json::parse(exporting::jsonText(exporting::jsonReport(pages, kCable)));

    EXPECT_EQ(doc.at("connection").at("index"), kCable);
    EXPECT_EQ(doc.at("connection").at("name"), "512K Cable/DSL");
    ASSERT_EQ(doc.at("pages").size(), 2u);

    const json& root = doc["pages"][0];
    EXPECT_EQ(root.at("address"), url("/"));
    EXPECT_EQ(root.at("depth"), 0);
    EXPECT_TRUE(root.at("parent").is_null());
    EXPECT_EQ(root.at("title"), "Home");
    // The image that answers 404 fails the page's child.
    EXPECT_EQ(root.at("stateValue"), static_cast<int>(engine::PageState::ChildError));
    EXPECT_EQ(root.at("state"), "Child Error");
    EXPECT_EQ(root.at("elements"), 4);  // document, style sheet, image, the 404
    EXPECT_EQ(root.at("size"), pages[0]->pageSize());

    const json& child = doc["pages"][1];
    EXPECT_EQ(child.at("depth"), 1);
    EXPECT_EQ(child.at("parent"), url("/"));
    EXPECT_EQ(child.at("title"), "Child");
    EXPECT_EQ(child.at("state"), "Finished");

    for (const json& page : doc["pages"]) {
        const json& times = page.at("times");
        ASSERT_EQ(times.size(), 11u);
        for (int k = 0; k < engine::kConnectionCount; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(times[k].at("index"), k);
            EXPECT_EQ(times[k].at("name"), engine::kConnectionSpeeds[k].name);
        }
    }
    // The slow connections take longer than the LAN for the same bytes.
    for (const char* field : {"page", "download", "browse"}) {
        EXPECT_LT(root["times"][1].at(field).get<int>(), root["times"][10].at(field).get<int>())
            << field;
    }
    EXPECT_EQ(root["times"][10].at("download"), pages[0]->figures(10).downloadTime);
}

TEST_F(JsonReportTest, ItemsHoldTheChosenConnectionsFigures) {
    const auto pages = loadSite();
    constexpr int kModem = 10;  // 1800 bytes/s, 300 ms latency
    const json doc = json::parse(exporting::jsonText(exporting::jsonReport(pages, kModem)));
    const json& root = doc["pages"][0];
    ASSERT_EQ(root.at("items").size(), 4u);

    const json& document = root["items"][0];
    EXPECT_EQ(document.at("url"), url("/"));
    EXPECT_TRUE(document.at("parent").is_null());
    EXPECT_EQ(document.at("depth"), 0);
    EXPECT_EQ(document.at("position"), 0);
    EXPECT_EQ(document.at("kind"), "Document");
    EXPECT_EQ(document.at("contentType"), "text/html");

    const json& image = itemAt(root, url("/a.gif"));
    EXPECT_EQ(image.at("parent"), url("/"));
    EXPECT_EQ(image.at("depth"), 1);
    EXPECT_EQ(image.at("phase"), "Completed");
    EXPECT_EQ(image.at("phaseValue"), 5);
    EXPECT_EQ(image.at("status"), 200);
    EXPECT_EQ(image.at("result"), 0);
    EXPECT_EQ(image.at("error"), "");
    EXPECT_EQ(image.at("kind"), "Image");
    EXPECT_EQ(image.at("size"), std::string(kGif).size());
    // Restated for the modem: connect is its latency, no send or wait, and the total adds up.
    EXPECT_EQ(image.at("connect"), 300);
    EXPECT_EQ(image.at("send"), 0);
    EXPECT_EQ(image.at("wait"), 0);
    EXPECT_EQ(image.at("total").get<int>(),
              image["connect"].get<int>() + image["receive"].get<int>());

    const json& missing = itemAt(root, url("/missing.gif"));
    EXPECT_EQ(missing.at("status"), 404);
    EXPECT_EQ(missing.at("result"), -1);
    EXPECT_EQ(missing.at("phase"), "Error");
    EXPECT_NE(missing.at("error"), "");

    std::set<std::uint32_t> ids;
    int position = 0;
    for (const json& item : root["items"]) {
        EXPECT_EQ(item.at("position"), position++);
        EXPECT_TRUE(ids.insert(item.at("id").get<std::uint32_t>()).second);
    }
}

TEST_F(JsonReportTest, TextFromServersThatIsNotUtf8IsReplacedNotFatal) {
    page("/latin1.html", "<html><head><title>Caf\xE9 \xFF</title></head><body></body></html>");
    const auto entry = load(url("/latin1.html"));
    std::string text;
    ASSERT_NO_THROW(text = exporting::jsonText(exporting::jsonReport({entry}, 0), -1));
    const json doc = json::parse(text);
    EXPECT_EQ(doc["pages"][0].at("title"), "Caf\xEF\xBF\xBD \xEF\xBF\xBD");
}

TEST(JsonReport, RejectsAConnectionOutsideTheTable) {
    EXPECT_THROW(exporting::jsonReport({}, 11), std::out_of_range);
    EXPECT_THROW(exporting::jsonReport({}, -1), std::out_of_range);
    const json empty = exporting::jsonReport({}, 0);
    EXPECT_TRUE(empty.at("pages").is_array());
    EXPECT_TRUE(empty.at("pages").empty());
}

}  // namespace
