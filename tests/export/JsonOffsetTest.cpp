#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/base/ContentKind.h"
#include "export/JsonReport.h"
#include "tests/export/LoadedSite.h"

// "offset" is where, in the parent's body, the tag that refers to an item starts: the place a
// source view marks. Checked against the bodies themselves, in a frame and for shared items.
namespace {

using nlohmann::json;

class JsonOffset : public exporttest::LoadedSite {
protected:
    JsonOffset() {
        page("/framed.html",
             "<html><head><title>Framed</title></head>\n<body>\n"
             "<!-- <img src=\"/old.gif\"> -->\n<p><img src=\"/a.gif\"></p>\n"
             "<iframe src=\"/frame.html\"></iframe>\n<img src=\"/f.gif\"></body></html>");
        page("/frame.html",
             "<html><body>\n  <img src=\"/f.gif\">  <img  src=\"/b.gif?x=1\"></body></html>");
        page("/again.html",
             "<html><body><iframe src=\"/frame.html\"></iframe>"
             "<IMG SRC=\"/a.gif\"></body></html>");
        serve("/f.gif", kGif, "image/gif");
    }

    // Every item's offset names its own tag in its parent's body; the root's is 0.
    static void expectOffsetsInBodies(const json& page, engine::PageEntry& entry) {
        std::map<std::string, std::string> bodies;
        for (const auto& item : entry.figures(0).items)
            bodies[item.item->address().urlText] = *item.item->body();
        const json& items = page.at("items");
        ASSERT_GT(items.size(), 1u);
        EXPECT_EQ(items[0].at("offset"), 0);
        for (std::size_t i = 1; i < items.size(); ++i) {
            const json& item = items[i];
            const std::string url = item.at("url");
            SCOPED_TRACE(url);
            const std::string& body = bodies.at(item.at("parent"));
            const std::size_t offset = item.at("offset");
            ASSERT_LT(offset, body.size());
            const std::string tag = body.substr(offset, body.find('>', offset) - offset);
            EXPECT_EQ(tag.front(), '<');
            const std::string path = url.substr(url.find('/', std::string("http://").size()));
            EXPECT_NE(tag.find("\"" + path + "\""), std::string::npos) << tag;
            EXPECT_EQ(
                item.at("contentKind"),
                static_cast<int>(engine::classify(item.at("contentType").get<std::string>())));
        }
    }
};

TEST_F(JsonOffset, OfEveryItemIsItsTagInItsParentsBody) {
    const auto framed = load(url("/framed.html"));
    const auto again = load(url("/again.html"));  // shares the frame and an image
    const json doc = exporting::jsonReport({framed, again}, 0);
    ASSERT_EQ(doc["pages"].size(), 2u);
    // The frame's elements stand below it, the shared ones on both pages.
    EXPECT_EQ(doc["pages"][0]["items"].size(), 6u);
    EXPECT_EQ(doc["pages"][1]["items"].size(), 5u);
    expectOffsetsInBodies(doc["pages"][0], *framed);
    expectOffsetsInBodies(doc["pages"][1], *again);
    // The image the comment names is no item.
    for (const json& item : doc["pages"][0]["items"]) EXPECT_NE(item["url"], url("/old.gif"));
}

}  // namespace
