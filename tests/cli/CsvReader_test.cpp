#include "cli/CsvReader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "companion/KQMV.h"

using namespace kqcli;
using KQCommon_850::KQMV;

namespace {

constexpr double kMissing = KQMV::Missing();

Result<CsvTable> Read(std::string_view text, std::vector<bool> textColumns = {}) {
  CsvOptions options;
  if (!textColumns.empty())
    options.onHeader = [textColumns](const std::vector<std::string>&) -> Result<std::vector<ColumnUse>> {
      std::vector<ColumnUse> uses;
      for (bool isText : textColumns) uses.push_back(isText ? ColumnUse::Categories : ColumnUse::Numbers);
      return uses;
    };
  return ReadCsvText(text, "data.csv", options);
}

std::string ErrorOf(std::string_view text, std::vector<bool> textColumns = {}) {
  return Read(text, std::move(textColumns)).Error().message;
}

}  // namespace

TEST(ParseCell, NumbersMissingTokensAndText) {
  for (auto [text, value] : {std::pair{"  -2e3\t", -2000.0}, {"+.25", 0.25}, {"7.", 7.0}, {"NaN", kMissing}})
    EXPECT_EQ(ParseCell(text).value, value) << text;
  for (std::string_view text : {"1.5x", "1,5", "0x10", "+", "--1", "1 2", "N/A", "na"})
    EXPECT_EQ(ParseCell(text).kind, CellKind::Text) << text;
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
  EXPECT_EQ(t.columns,
            (std::vector<std::vector<double>>{{1, 3, 5}, {2.5, kMissing, kMissing}, {kMissing, -4, 6}}));
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
  // Once a column holds text, its numbers are categories too: "2" is a label here, not the number 2.
  EXPECT_EQ(t.categories, (std::vector<std::vector<std::string>>{{"b", "a"}, {}, {"u", "2"}, {}}));
  EXPECT_EQ(t.columns, (std::vector<std::vector<double>>{
                           {0, 1, 0, kMissing}, {1, 2, 3, 4}, {0, kMissing, 1, 0}, {2, 0, 5, 1}}));
}

TEST(CsvReader, MalformedFilesGiveOneLineNamingTheFileRowAndColumn) {
  for (const auto& [text, expected] : std::vector<std::pair<std::string, std::string>>{
           {"a,b\n", "data.csv: the file has a header but no data rows"},
           {"a,b\n1,2\n3\n", "data.csv: line 3 (data row 2) has 1 field, the header 2"},
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
  ASSERT_EQ(table.Value().GetNRows(), static_cast<std::size_t>(kRows));
  for (std::size_t i = 0; i < kRows; ++i) {
    ASSERT_EQ(table.Value().columns[0][i], i);
    ASSERT_EQ(table.Value().columns[1][i], i * 0.5);
    ASSERT_EQ(table.Value().rowLines[i], i + 2);
  }
}
