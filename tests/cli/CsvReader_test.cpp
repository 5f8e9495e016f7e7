#include "cli/CsvReader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>

#include "companion/KQMV.h"

using namespace kqcli;
using KQCommon_850::KQMV;

namespace {

Result<CsvTable> Read(std::string_view text, std::vector<bool> textColumns = {}) {
  CsvOptions options;
  if (!textColumns.empty())
    options.onHeader = [textColumns](const std::vector<std::string>&) -> Result<std::vector<bool>> {
      return textColumns;
    };
  return ReadCsvText(text, "data.csv", options);
}

std::string ErrorOf(std::string_view text, std::vector<bool> textColumns = {}) {
  Result<CsvTable> table = Read(text, std::move(textColumns));
  return table.IsOK() ? std::string("(no error)") : table.Error().message;
}

}  // namespace

TEST(ParseCell, NumbersMissingTokensAndText) {
  for (auto [text, value] : {std::pair{"1.5", 1.5}, {"  -2e3\t", -2000.0}, {"+.25", 0.25}, {"7.", 7.0}}) {
    EXPECT_EQ(ParseCell(text).kind, CellKind::Number) << text;
    EXPECT_EQ(ParseCell(text).value, value) << text;
  }
  for (std::string_view missing : {"", "   ", "NA", ".", "NaN", " NA ", "nan"}) {
    EXPECT_EQ(ParseCell(missing).kind, CellKind::Missing) << missing;
    EXPECT_TRUE(KQMV::IsMissing(ParseCell(missing).value)) << missing;
  }
  for (std::string_view text : {"abc", "1.5x", "1,5", "0x10", "+", "+-1", "--1", "1 2", "N/A", "na"})
    EXPECT_EQ(ParseCell(text).kind, CellKind::Text) << text;
  for (std::string_view text : {"inf", "-Infinity", "INF"})
    EXPECT_EQ(ParseCell(text).kind, CellKind::Infinite) << text;
  for (std::string_view text : {"1e400", "-1e999", "1e-400"})
    EXPECT_EQ(ParseCell(text).kind, CellKind::OutOfRange) << text;
}

TEST(ParseCell, EveryDoubleWrittenWith17DigitsReadsBackToTheSameBits) {
  std::mt19937_64 bits(20240611);
  for (int i = 0; i < 20000; ++i) {
    const double x = std::bit_cast<double>(bits());
    if (!std::isfinite(x) || KQMV::IsMissing(x)) continue;
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", x);
    const Cell cell = ParseCell(text);
    ASSERT_EQ(cell.kind, CellKind::Number) << text;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(cell.value), std::bit_cast<std::uint64_t>(x)) << text;
  }
}

TEST(CsvReader, ReadsQuotesLineEndsByteOrderMarkBlanksAndBlankLines) {
  Result<CsvTable> table = Read(
      "\xEF\xBB\xBF\"first name\", b ,c\r\n"
      "1, \"2.5\" ,NA\r\n"
      "\r\n"
      "  \n"
      "\" 3 \",.,-4\n"
      "5,\"\",\"6\"");  // no line end after the last record
  ASSERT_TRUE(table.IsOK()) << table.Error().message;
  const CsvTable& t = table.Value();
  EXPECT_EQ(t.names, (std::vector<std::string>{"first name", "b", "c"}));
  ASSERT_EQ(t.GetNRows(), 3u);
  EXPECT_EQ(t.columns[0], (std::vector<double>{1.0, 3.0, 5.0}));
  EXPECT_EQ(t.columns[1][0], 2.5);
  EXPECT_TRUE(KQMV::IsMissing(t.columns[1][1]) && KQMV::IsMissing(t.columns[1][2]));
  EXPECT_TRUE(KQMV::IsMissing(t.columns[2][0]));
  EXPECT_EQ(t.columns[2][2], 6.0);
  // Lines 3 and 4 are blank; the records start on lines 2, 5 and 6.
  EXPECT_EQ(t.rowLines, (std::vector<std::size_t>{2, 5, 6}));
}

TEST(CsvReader, LineNumbersCountLineEndsInsideQuotedFields) {
  const std::string message = ErrorOf("a,b\n\"x\ny\",1\n2,oops\n", {true, false});
  EXPECT_NE(message.find("line 4 (data row 2)"), std::string::npos) << message;
}

TEST(CsvReader, CodesTextInCategoricalColumnsByFirstAppearance) {
  // The last column is categorical but holds numbers only: it stays numeric.
  Result<CsvTable> table =
      Read("group,x,label,g\nb,1,u,2\na,2,NA,0\nb,3,2,5\n,4,u,1\n", {true, false, true, true});
  ASSERT_TRUE(table.IsOK()) << table.Error().message;
  const CsvTable& t = table.Value();
  EXPECT_EQ(t.categories[0], (std::vector<std::string>{"b", "a"}));
  EXPECT_EQ(std::vector<double>(t.columns[0].begin(), t.columns[0].begin() + 3),
            (std::vector<double>{0, 1, 0}));
  EXPECT_TRUE(KQMV::IsMissing(t.columns[0][3]));
  EXPECT_TRUE(t.categories[1].empty());
  EXPECT_TRUE(t.categories[3].empty());
  EXPECT_EQ(t.columns[3], (std::vector<double>{2.0, 0.0, 5.0, 1.0}));
  // Once a column holds text, its numbers are categories too: "2" is a label here, not the number 2.
  EXPECT_EQ(t.categories[2], (std::vector<std::string>{"u", "2"}));
  EXPECT_EQ(t.columns[2][2], 1.0);
  EXPECT_TRUE(KQMV::IsMissing(t.columns[2][1]));
}

TEST(CsvReader, MalformedFilesGiveOneLineNamingTheFileRowAndColumn) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"", "data.csv: the file is empty (no header row)"},
      {"\n\n", "data.csv: the file is empty (no header row)"},
      {"a,b\n", "data.csv: the file has a header but no data rows"},
      {"a,b\n1,2\n3\n", "data.csv: line 3 (data row 2) has 1 field, the header 2"},
      {"a,b\n1,2,3\n", "data.csv: line 2 (data row 1) has more fields than the header's 2"},
      {"a,b\n1,2\n3,\"4\n", "data.csv: line 3: a quoted field is not closed before the end of the file"},
      {"a,b\n1,x\"y\"\n", "data.csv: line 2, column 2: malformed quotes"},
      {"a,b\n1,2\n3,abc\n", "data.csv: line 3 (data row 2), column \"b\" (index 1): \"abc\" is not a number"},
      {"a,b\n1,2\n3,-inf\n", "data.csv: line 3 (data row 2), column \"b\" (index 1): \"-inf\" is infinite"},
      {"a,\n1,1e999\n",
       "data.csv: line 2 (data row 1), column index 1: \"1e999\" is outside the range of a double"},
  };
  for (const Case& c : cases) {
    const std::string message = ErrorOf(c.text);
    EXPECT_TRUE(message.starts_with(c.expected)) << "input: " << c.text << "\nmessage: " << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
  }
}

TEST(CsvReader, RefusesAMillionColumns) {
  std::string header;
  for (int j = 0; j < 1000000; ++j) header += j == 0 ? "v" : ",v";
  const std::string message = ErrorOf(header + "\n" + header + "\n");
  EXPECT_EQ(message, "data.csv: the header has more than 100000 columns");
}

TEST(CsvReader, HeaderHookOrStopRequestEndsTheReading) {
  CsvOptions options;
  int calls = 0;
  options.onHeader = [&calls](const std::vector<std::string>& names) -> Result<std::vector<bool>> {
    ++calls;
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    return InputError{"settings.json: key \"Covariates\": no column of the data is named \"c\""};
  };
  Result<CsvTable> table = ReadCsvText("a,b\n1,2\nnot,numbers\n", "data.csv", options);
  ASSERT_FALSE(table.IsOK());
  EXPECT_EQ(table.Error().message, "settings.json: key \"Covariates\": no column of the data is named \"c\"");
  EXPECT_EQ(calls, 1);
  CsvOptions stop;
  stop.shouldStop = [] { return true; };
  EXPECT_EQ(ReadCsvText("a\n1\n", "data.csv", stop).Error().message, "data.csv: reading was interrupted");
}

TEST(CsvReader, ReadsFilesLargerThanOneBlock) {
  // Blocks of 1 MiB: records and quoted fields that straddle a block boundary must survive.
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("kqcli_csv_" + std::to_string(::getpid()) + ".csv");
  constexpr int kRows = 150000;
  {
    std::ofstream out(path, std::ios::binary);
    out << "\xEF\xBB\xBFi,\"half\"\r\n";
    for (int i = 0; i < kRows; ++i) out << i << ",\"" << i * 0.5 << "\"\r\n";
  }
  Result<CsvTable> table = ReadCsvFile(path.string());
  std::filesystem::remove(path);
  EXPECT_EQ(ReadCsvFile("/nonexistent/data.csv").Error().message,
            "/nonexistent/data.csv: cannot open: No such file or directory");
  ASSERT_TRUE(table.IsOK()) << table.Error().message;
  ASSERT_EQ(table.Value().GetNRows(), static_cast<std::size_t>(kRows));
  for (int i = 0; i < kRows; ++i) {
    ASSERT_EQ(table.Value().columns[0][static_cast<std::size_t>(i)], i);
    ASSERT_EQ(table.Value().columns[1][static_cast<std::size_t>(i)], i * 0.5);
    ASSERT_EQ(table.Value().rowLines[static_cast<std::size_t>(i)], static_cast<std::size_t>(i + 2));
  }
}
