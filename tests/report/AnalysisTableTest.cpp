#include "report/AnalysisTable.h"

#include <gtest/gtest.h>

namespace {

using report::AnalysisTable;

TEST(AnalysisTable, VerticalTableBytes) {
    AnalysisTable table(AnalysisTable::Mode::Vertical);
    table.headerCell("Connection Type");
    table.headerCell("Download Time");
    table.newRow();
    table.cell("URL:");
    table.cell("http://a/");
    EXPECT_EQ(table.write(),
              "<TABLE class=\"lmtable\">\r\n"
              " <TR class=\"v_row\">\r\n"
              "  <TD class=\"v_header_odd_row_col2\">\r\n"
              "   Connection Type\r\n"
              "  </TD>\r\n"
              "  <TD class=\"v_header_odd_row_col2\">\r\n"
              "   Download Time\r\n"
              "  </TD>\r\n"
              " </TR>\r\n"
              " <TR class=\"v_row\">\r\n"
              "  <TD class=\"v_header_even_row_col\">\r\n"
              "   URL:\r\n"
              "  </TD>\r\n"
              "  <TD class=\"v_even_row_col\">\r\n"
              "   http://a/\r\n"
              "  </TD>\r\n"
              " </TR>\r\n"
              "</TABLE>\r\n");
}

TEST(AnalysisTable, HorizontalRowsAlternateFromOdd) {
    AnalysisTable table(AnalysisTable::Mode::Horizontal);
    table.headerCell("URL");
    table.newRow();
    table.cell("a");
    table.newRow();
    table.cell("");
    EXPECT_EQ(table.write(),
              "<TABLE class=\"lmtable\">\r\n"
              " <TR class=\"h_header_row\">\r\n"
              "  <TD class=\"h_col\">\r\n"
              "   URL\r\n"
              "  </TD>\r\n"
              " </TR>\r\n"
              " <TR class=\"h_odd_row\">\r\n"
              "  <TD class=\"h_col\">\r\n"
              "   a\r\n"
              "  </TD>\r\n"
              " </TR>\r\n"
              " <TR class=\"h_even_row\">\r\n"
              "  <TD class=\"h_col\">\r\n"
              "   \r\n"
              "  </TD>\r\n"
              " </TR>\r\n"
              "</TABLE>\r\n");
}

}  // namespace
