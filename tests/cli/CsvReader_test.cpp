#include "cli/CsvReader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
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
  for (auto [text, value] : {std::pair{"  -2e3\t", -2000.0}, {"+.25", 0.25}, {"7.", 7.0}})
    EXPECT_EQ(ParseCell(text).value, value) << text;
  for (std::string_view missing : {"", "   ", "NA", ".", "NaN", "nan"})
    EXPECT_TRUE(ParseCell(missing).kind == CellKind::Missing && KQMV::IsMissing(ParseCell(missing).value));
  for (std::string_view text : {"1.5x", "1,5", "0x10", "+", "--1", "1 2", "N/A", "na"})
    EXPECT_EQ(ParseCell(text).kind, CellKind::Text) << text;
  EXPECT_EQ(ParseCell("-Infinity").kind, CellKind::Infinite);
  EXPECT_EQ(ParseCell("1e-400").kind, CellKind::OutOfRange);
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
  EXPECT_EQ(t.columns[0], (std::vector<double>{1.0, 3.0, 5.0}));
  EXPECT_EQ(t.columns[1][0], 2.5);
  EXPECT_TRUE(KQMV::IsMissing(t.columns[1][1]) && KQMV::IsMissing(t.columns[1][2]));
  EXPECT_EQ(t.columns[2][2], 6.0);
  EXPECT_EQ(t.rowLines, (std::vector<std::size_t>{2, 5, 6}));  // lines 3 and 4 are blank
  // Line ends inside a quoted field count as lines.
  EXPECT_NE(ErrorOf("a,b\n\"x\ny\",1\n2,oops\n", {true, false}).find("line 4 (data row 2)"),
            std::string::npos);
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
  EXPECT_TRUE(t.categories[3].empty());
  EXPECT_EQ(t.columns[3], (std::vector<double>{2.0, 0.0, 5.0, 1.0}));
  // Once a column holds text, its numbers are categories too: "2" is a label here, not the number 2.
  EXPECT_EQ(t.categories[2], (std::vector<std::string>{"u", "2"}));
  EXPECT_EQ(t.columns[2][2], 1.0);
}

TEST(CsvReader, MalformedFilesGiveOneLineNamingTheFileRowAndColumn) {
  for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
           {"\n\n", "data.csv: the file is empty (no header row)"},
           {"a,b\n", "data.csv: the file has a header but no data rows"},
           {"a,b\n1,2\n3\n", "data.csv: line 3 (data row 2) has 1 field, the header 2"},
           {"a,b\n1,2,3\n", "data.csv: line 2 (data row 1) has more fields than the header's 2"},
           {"a,b\n1,2\n3,\"4\n", "data.csv: line 3: a quoted field is not closed before the end of the file"},
           {"a,b\n1,x\"y\"\n", "data.csv: line 2, column 2: malformed quotes"},
           {"a,b\n1,2\n3,-inf\n",
            "data.csv: line 3 (data row 2), column \"b\" (index 1): \"-inf\" is infinite"},
           {"a,\n1,1e999\n",
            "data.csv: line 2 (data row 1), column index 1: \"1e999\" is outside the range"}}) {
    const std::string message = ErrorOf(text);
    EXPECT_TRUE(message.starts_with(expected)) << "input: " << text << "\nmessage: " << message;
    EXPECT_EQ(message.find('\n'), std::string::npos) << message;
  }
  std::string header = "v";
  for (int j = 1; j < 1000000; ++j) header += ",v";
  EXPECT_EQ(ErrorOf(header + "\n" + header + "\n"), "data.csv: the header has more than 100000 columns");
}

TEST(CsvReader, HeaderHookOrStopRequestEndsTheReading) {
  CsvOptions options;
  options.onHeader = [](const std::vector<std::string>& names) -> Result<std::vector<bool>> {
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    return InputError{"settings.json: no column of the data is named \"c\""};
  };
  Result<CsvTable> table = ReadCsvText("a,b\n1,2\nnot,numbers\n", "data.csv", options);
  EXPECT_EQ(table.Error().message, "settings.json: no column of the data is named \"c\"");
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
  for (std::size_t i = 0; i < kRows; ++i) {
    ASSERT_EQ(table.Value().columns[0][i], i);
    ASSERT_EQ(table.Value().columns[1][i], i * 0.5);
    ASSERT_EQ(table.Value().rowLines[i], i + 2);
  }
}
