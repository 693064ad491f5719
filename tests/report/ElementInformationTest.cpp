#include "report/ElementInformation.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "tests/engine/SiteFixture.h"

namespace {

using report::ElementRowsTitle;
using report::InformationRow;

// A page of its document and three images: one served, one answered 404 with no body, one on a
// port nobody listens on. The image is as long as the document, so each holds half the bytes.
constexpr const char* kDocument = R"(<html><body><img src="/ok.gif"><img src="/missing.gif">)"
                                  R"(<img src="http://127.0.0.1:1/refused.gif"></body></html>)";

std::vector<std::string> groups(const std::vector<InformationRow>& rows) {
    std::vector<std::string> captions;
    for (const auto& row : rows)
        if (row.group) captions.push_back(row.property);
    return captions;
}

std::map<std::string, std::string> values(const std::vector<InformationRow>& rows) {
    std::map<std::string, std::string> byProperty;
    for (const auto& row : rows)
        if (!row.group) byProperty[row.property] = row.value;
    return byProperty;
}

class ElementInformationTest : public enginetest::SiteFixture {
protected:
    void SetUp() override {
        page("/p.html", kDocument);
        server_.get("/ok.gif", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(std::string(kDocument).size(), 'g'), "image/gif");
        });
        server_.get("/missing.gif", [](const httplib::Request&, httplib::Response& response) {
            response.status = 404;
        });
        loaded_ = load(url("/p.html"));
    }

    std::shared_ptr<engine::WebItem> item(const std::string& address) {
        for (const auto& f : loaded_->figures(0).items)
            if (f.item->address().urlText == address) return f.item;
        ADD_FAILURE() << "no item " << address;
        return nullptr;
    }

    std::shared_ptr<engine::PageEntry> loaded_;
};

struct ElementCase {
    const char* name;
    std::string address;  // a path on the test server, or a whole address
    std::vector<std::string> groups;
    std::map<std::string, std::string> expected;  // a subset of the property rows
};

// Each state of an element in one table: the page's document, a completed element, one failed
// with an HTTP status and one that never reached its server.
TEST_F(ElementInformationTest, RowsFollowTheElementsState) {
    const std::string document = url("/p.html");
    const std::vector<ElementCase> cases = {
        {"document",
         "/p.html",
         {"Element Information:", "Statistics (Actual Speed):"},
         {{"Host", "127.0.0.1"},
          {"Element", "p.html"},
          {"Status", "Completed"},
          {"Protocol", "HTTP"},
          {"% of Size", "50.00%"}}},
        {"completed",
         "/ok.gif",
         {"Element Information:", "Statistics (Actual Speed):", "Parent Element:"},
         {{"Element", "ok.gif"},
          {"Status", "Completed"},
          {"Size", std::to_string(std::string(kDocument).size()) + " b"},
          {"% of Size", "50.00%"},
          {"Address", document}}},
        {"http status",
         "/missing.gif",
         {"Element Information:", "Error Information:", "Statistics (Actual Speed):",
          "Parent Element:"},
         {{"Status", "Error"},
          {"Error", "404"},
          {"Description",
           "The server has not found anything matching the requested URI (Uniform Resource "
           "Identifier)."},
          {"Type", "HTTP Error"},
          {"Size", "0 b"},
          {"% of Size", "0.00%"},
          {"Address", document}}},
        {"no connection",
         "http://127.0.0.1:1/refused.gif",
         {"Element Information:", "Error Information:", "Statistics (Actual Speed):",
          "Parent Element:"},
         {{"Host", "127.0.0.1"},
          {"Element", "refused.gif"},
          {"Status", "Error"},
          {"Error", "12029"},
          {"Description", "The attempt to connect to the server failed."},
          {"Type", "Connection Error"},
          {"Time", "0:00.000"},
          {"Address", document}}},
    };
    for (const ElementCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string address = c.address.front() == '/' ? url(c.address) : c.address;
        const auto shown = item(address);
        ASSERT_TRUE(shown);
        const auto rows = report::elementInformation(*loaded_, *shown, 0, ElementRowsTitle::Dialog);
        EXPECT_EQ(groups(rows), c.groups);
        EXPECT_EQ(rows.front().property, "Element Information:");
        const auto got = values(rows);
        for (const auto& [property, value] : c.expected) {
            ASSERT_TRUE(got.count(property)) << property;
            EXPECT_EQ(got.at(property), value) << property;
        }
    }
}

// The side list opens with "General:"; the figures are the chosen connection's, the measured
// one for an index outside the table.
TEST_F(ElementInformationTest, TitleAndConnectionChooseTheCaptions) {
    const auto image = item(url("/ok.gif"));
    ASSERT_TRUE(image);
    const auto slow = report::elementInformation(*loaded_, *image, 10, ElementRowsTitle::SideList);
    EXPECT_EQ(groups(slow),
              (std::vector<std::string>{"General:", "Statistics (14.4K):", "Parent Element:"}));
    // 14.4K restates every element with at least its 300 ms latency.
    EXPECT_GE(values(slow).at("Time"), "0:00.300");
    const auto outside = report::elementInformation(*loaded_, *image, 11, ElementRowsTitle::Dialog);
    EXPECT_EQ(groups(outside)[1], "Statistics (Actual Speed):");
    EXPECT_EQ(groups(outside)[0], "Element Information:");
    const auto status = report::elementInformation(*loaded_, *image, 0, ElementRowsTitle::Status);
    EXPECT_EQ(groups(status)[0], "Web Item Information:");
}

// An item of another page, or of this page's previous load, shows nothing.
TEST_F(ElementInformationTest, AnItemOutsideThePageHasNoRows) {
    page("/other.html", "<html><body>other</body></html>");
    auto other = load(url("/other.html"));
    EXPECT_TRUE(
        report::elementInformation(*loaded_, *other->rootItem(), 0, ElementRowsTitle::Dialog)
            .empty());
}

// An element whose response has not arrived yet stands as its phase, without an error.
TEST_F(ElementInformationTest, ARunningElementShowsItsPhase) {
    page("/slow.html",
         R"(<html><body><img src="/content?wait=20000&type=image/gif"></body></html>)");
    auto entry = engine::PageEntry::create(*manager_, url("/slow.html"));
    manager_->enqueuePage(entry, engine::kScanAll);
    std::shared_ptr<engine::WebItem> running;
    for (int tries = 0; tries < 500 && !running; ++tries) {
        for (const auto& f : entry->figures(0).items)
            if (f.parent >= 0 && f.item->phase() == engine::LoadPhase::Receiving) running = f.item;
        if (!running) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(running) << "the element never started receiving";
    const auto rows = report::elementInformation(*entry, *running, 0, ElementRowsTitle::Dialog);
    EXPECT_EQ(groups(rows),
              (std::vector<std::string>{
                  "Element Information:", "Statistics (Actual Speed):", "Parent Element:"}));
    EXPECT_EQ(values(rows).at("Status"), "Receiving...");
    EXPECT_EQ(values(rows).at("Element"), "content?wait=20000&type=image/gif");
    entry->abort();
    manager_->stop();
}

}  // namespace
