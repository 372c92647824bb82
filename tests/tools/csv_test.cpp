#include <gtest/gtest.h>

#include "tools/common/csv_reader.h"
#include "tools/common/csv_writer.h"

namespace lumio::tools {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows CellsOf(const CsvDocument& doc) {
  Rows rows;
  for (const CsvRow& row : doc.rows)
    rows.push_back(row.cells);
  return rows;
}

TEST(CsvReader, ReadsWellFormedText) {
  struct Case {
    const char* name;
    std::string_view bytes;
    Rows rows;
  } const cases[] = {
      {"plain, CR LF", "a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
      {"LF line ends", "a,b\nc,d\n", {{"a", "b"}, {"c", "d"}}},
      {"no final line end", "a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}},
      {"byte order mark",
       "\xEF\xBB\xBF"
       "a,b\r\n",
       {{"a", "b"}}},
      {"mark only at the start",
       "x\r\n\xEF\xBB\xBF"
       "y\r\n",
       {{"x"}, {"\xEF\xBB\xBFy"}}},
      {"empty cells", ",\r\na,,\r\n", {{"", ""}, {"a", "", ""}}},
      {"quoted comma", "\"a,b\",c\r\n", {{"a,b", "c"}}},
      {"doubled quotes", "\"say \"\"hi\"\"\",\"\"\"\"\r\n", {{"say \"hi\"", "\""}}},
      {"CR LF inside quotes", "\"two\r\nlines\",x\r\n", {{"two\r\nlines", "x"}}},
      {"lone CR inside quotes", "\"a\rb\"\r\n", {{"a\rb"}}},
      {"quoted empty cell", "\"\"\r\n", {{""}}},
      {"empty lines are not rows", "\r\na\r\n\r\n\nb\r\n\r\n", {{"a"}, {"b"}}},
      {"empty text", "", {}},
  };
  for (const Case& c : cases) {
    const CsvDocument doc = ParseCsv(c.bytes);
    EXPECT_FALSE(doc.error) << c.name << ": " << doc.error->message;
    EXPECT_EQ(CellsOf(doc), c.rows) << c.name;
  }
}

TEST(CsvReader, NumbersRowsByTheLineTheyStartOn) {
  const CsvDocument doc = ParseCsv("h\r\n\"1\r\n2\n3\"\r\n\r\nx\r\n");
  ASSERT_FALSE(doc.error);
  ASSERT_EQ(doc.rows.size(), 3u);
  EXPECT_EQ(doc.rows[0].line, 1u);
  EXPECT_EQ(doc.rows[1].line, 2u);
  EXPECT_EQ(doc.rows[2].line, 6u);
}

TEST(CsvReader, RefusesBadQuotingAtItsLine) {
  struct Case {
    std::string_view bytes;
    size_t line;
    std::string_view message;
  } const cases[] = {
      {"a,b\r\nc,d\"e\r\n", 2, "a quote inside a cell that does not start with a quote"},
      {"a\r\n\"b\"c\r\n", 2, "text after the closing quote of a cell"},
      {"a\r\n\"b\" \r\n", 2, "text after the closing quote of a cell"},
      {"a\r\nb\r\n\"never\r\nclosed\r\n", 3, "a quoted cell is never closed"},
      {"\"a\r\n\"\"b\"\"", 1, "a quoted cell is never closed"},
      {"a\rb\r\n", 1, "carriage return without a line feed outside quotes"},
      {"a\r\n\"x\r\ny\"z\r\n", 3, "text after the closing quote of a cell"},
  };
  for (const Case& c : cases) {
    const CsvDocument doc = ParseCsv(c.bytes);
    ASSERT_TRUE(doc.error) << c.bytes;
    EXPECT_EQ(doc.error->line, c.line) << c.bytes;
    EXPECT_EQ(doc.error->message, c.message) << c.bytes;
  }
}

TEST(CsvWriter, WhatItWritesReadsBackCellForCell) {
  const Rows rows = {
      {"\xEF\xBB\xBF", "a", "\"", ",", "\r\n", "\r", "\n", " "}, {""}, {"\"\""}, {"x,\"y\""}};
  std::string text;
  for (const auto& row : rows)
    AppendCsvRow(text, {row.begin(), row.end()});
  const CsvDocument doc = ParseCsv(text);
  ASSERT_FALSE(doc.error);
  EXPECT_EQ(CellsOf(doc), rows);
}

}  // namespace
}  // namespace lumio::tools
