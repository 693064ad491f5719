#include "query/ElementTable.h"

#include <gtest/gtest.h>

#include "query/ElementTableCache.h"
#include "query/NumericValue.h"
#include "query/QueryEngine.h"
#include "query/QueryError.h"
#include "query/StringValue.h"
#include "tests/engine/SiteFixture.h"

namespace {

using query::QueryTable;

class ElementTableTest : public enginetest::SiteFixture {
protected:
    // A document of 1000 bytes referring to two images of 3000 and 6000 bytes.
    std::shared_ptr<engine::PageEntry> loadPage() {
        std::string html = "<html><img src=a.gif><img src=b.gif></html>";
        html.resize(1000, ' ');
        page("/", html);
        image("/a.gif", 3000);
        image("/b.gif", 6000);
        return load(url("/"));
    }
    void image(const std::string& path, std::size_t size) {
        server_.get(path, [size](const httplib::Request&, httplib::Response& response) {
            response.set_content(std::string(size, 'g'), "image/gif");
        });
    }
    static double percent(const QueryTable& table, std::size_t row, std::size_t column) {
        return static_cast<const query::PercentValue*>(table.row(row).cell(column))->number();
    }
    template <typename Value = query::IntegerValue>
    static std::int32_t number(const QueryTable& table, std::size_t row, std::size_t column) {
        return dynamic_cast<const Value&>(*table.row(row).cell(column)).number();
    }
    static std::string text(const QueryTable& table, std::size_t row, std::size_t column) {
        return table.row(row).cell(column)->toText();
    }
};

TEST_F(ElementTableTest, OneRowPerItemPageFirst) {
    const auto entry = loadPage();
    const auto table = query::buildElementTable(*entry, 0);
    ASSERT_EQ(table->columnCount(), 19u);
    EXPECT_EQ(table->columnName(18), "ReceiveTime");
    ASSERT_EQ(table->rowCount(), 3u);
    for (std::size_t r = 0; r < 3; ++r) EXPECT_EQ(number(*table, r, 0), std::int32_t(r + 1));
    EXPECT_EQ(text(*table, 0, 1), url("/"));
    EXPECT_EQ(text(*table, 0, 3), "/");
    EXPECT_EQ(text(*table, 0, 4), "HTTP");
    EXPECT_EQ(text(*table, 0, 5), "text/html");
    EXPECT_EQ(text(*table, 1, 3), "a.gif");
    EXPECT_EQ(text(*table, 0, 15), url("/"));
    EXPECT_EQ(text(*table, 1, 15), url("/a.gif"));  // an element's base is its own address
}

TEST_F(ElementTableTest, SharesAndSubtreeSums) {
    const auto entry = loadPage();
    const auto table = query::buildElementTable(*entry, 0);
    EXPECT_DOUBLE_EQ(percent(*table, 0, 11), 0.1);
    EXPECT_DOUBLE_EQ(percent(*table, 1, 11), 0.3);
    EXPECT_DOUBLE_EQ(percent(*table, 2, 11), 0.6);
    EXPECT_EQ(text(*table, 0, 9), query::SizeValue(10000).toText());
    EXPECT_DOUBLE_EQ(percent(*table, 0, 13), 1.0);
}

TEST_F(ElementTableTest, AnotherConnectionChangesTimesNotSizes) {
    const auto entry = loadPage();
    const auto actual = query::buildElementTable(*entry, 0);
    const auto modem = query::buildElementTable(*entry, 7);  // "56K": 200 ms latency
    for (std::size_t r = 0; r < 3; ++r) {
        EXPECT_EQ(text(*actual, r, 7), text(*modem, r, 7));
        EXPECT_EQ(number<query::TimeValue>(*modem, r, 16), 200);  // connect time is the latency
    }
    // 3000 bytes on 56K: 200 + 3000 * 40000 / 56000 ms to receive, twice the latency in all.
    EXPECT_EQ(number<query::TimeValue>(*modem, 1, 18), 200 + 2142);
    EXPECT_EQ(number<query::TimeValue>(*modem, 1, 6), 400 + 2142);
}

TEST_F(ElementTableTest, CacheRebuildsOnlyWhenNeeded) {
    const auto entry = loadPage();
    query::ElementTableCache cache;
    const auto first = cache.table(entry, 0);
    EXPECT_EQ(cache.table(entry, 0), first);
    EXPECT_NE(cache.table(entry, 3), first);
    const auto third = cache.table(entry, 3);
    cache.invalidate();
    EXPECT_NE(cache.table(entry, 3), third);
    EXPECT_EQ(cache.table(nullptr, 3), nullptr);
}

TEST_F(ElementTableTest, TypeErrorsNeedTwoRows) {
    EXPECT_FALSE(query::validateQuery("select SUM(Host)"));
    const auto entry = loadPage();
    const auto table = query::buildElementTable(*entry, 0);
    EXPECT_THROW(query::runQuery("select SUM(Host)", *table), query::QueryError);
}

TEST(ValidateQuery, ReportsTheStatementAndTheMessage) {
    EXPECT_EQ(query::validateQuery("select Name where ID = 1"),
              "Query Error.\n\nQuery: \n'select Name where ID = 1'.\n\nDescription:\nColumn Name "
              "is invalid: 'name'.");
    EXPECT_FALSE(query::validateQuery("select URL, Size where Size > 1000 order by Size desc"));
    EXPECT_EQ(query::testTable().rowCount(), 1u);
}

}  // namespace
