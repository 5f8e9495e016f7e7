#include "cli/CsvReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

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

namespace {

/// A file that exercises the syntax: a byte-order mark, CRLF and LF line ends, blank lines, quoted
/// fields with line ends, doubled quotes and blanks around them, missing cells of every spelling, and
/// a categorical column. Row i has x = i / 4 and y = -i * 1.5 (or a missing cell every seventh row).
std::string SyntaxTortureText(int nRows) {
  std::string text = "\xEF\xBB\xBF\"x\",label, y \r\n";
  for (int i = 0; i < nRows; ++i) {
    const std::string x = std::to_string(i / 4.0);
    std::string label = i % 3 == 0 ? "\"a \"\"quoted\"\"\nlabel\"" : (i % 3 == 1 ? " plain " : "NA");
    std::string y = i % 7 == 0 ? (i % 2 == 0 ? "" : " . ") : std::to_string(-i * 1.5);
    if (i % 5 == 0) y = "\"" + y + "\"";
    text += (i % 2 == 0 ? x : " \"" + x + "\" ") + "," + label + "," + y + (i % 4 == 0 ? "\r\n" : "\n");
    if (i % 11 == 0) text += i % 2 == 0 ? "\r\n" : "  \n";
  }
  return text;
}

Result<CsvTable> ReadInChunks(std::string_view text, int threads, std::size_t chunkBytes) {
  CsvOptions options;
  options.onHeader = [](const std::vector<std::string>& names) -> Result<std::vector<ColumnUse>> {
    std::vector<ColumnUse> uses(names.size(), ColumnUse::Numbers);
    if (uses.size() > 1) uses[1] = ColumnUse::Categories;
    return uses;
  };
  options.threads = threads;
  options.chunkBytes = chunkBytes;
  return ReadCsvText(text, "data.csv", options);
}

void ExpectSameTable(const CsvTable& actual, const CsvTable& expected, const std::string& context) {
  EXPECT_EQ(actual.names, expected.names) << context;
  EXPECT_EQ(actual.columns, expected.columns) << context;
  EXPECT_EQ(actual.categories, expected.categories) << context;
  EXPECT_EQ(actual.rowLines, expected.rowLines) << context;
}

}  // namespace

TEST(CsvReaderInChunks, GivesTheTableOfOneThread) {
  constexpr int kRows = 300;
  const std::string text = SyntaxTortureText(kRows);
  Result<CsvTable> one = ReadInChunks(text, 1, 0);
  ASSERT_TRUE(one.IsOK()) << one.Error().message;
  // The table of one thread, checked against the generator: rows, values, categories, lines.
  const CsvTable& expected = one.Value();
  ASSERT_EQ(expected.GetNRows(), static_cast<std::size_t>(kRows));
  EXPECT_EQ(expected.names, (std::vector<std::string>{"x", "label", "y"}));
  EXPECT_EQ(expected.categories[1], (std::vector<std::string>{"a \"quoted\"\nlabel", "plain"}));
  std::size_t line = 2;
  for (int i = 0; i < kRows; ++i) {
    const auto row = static_cast<std::size_t>(i);
    ASSERT_EQ(expected.columns[0][row], i / 4.0) << i;
    ASSERT_EQ(expected.columns[1][row], i % 3 == 2 ? kMissing : i % 3) << i;
    ASSERT_EQ(expected.columns[2][row], i % 7 == 0 ? kMissing : -i * 1.5) << i;
    ASSERT_EQ(expected.rowLines[row], line) << i;
    line += (i % 3 == 0 ? 2 : 1) + (i % 11 == 0 ? 1 : 0);
  }
  // Chunks of one byte end at every record; larger ones at every place within records.
  for (int threads : {2, 3})
    for (std::size_t chunkBytes : {1, 2, 3, 5, 8, 13, 21, 34, 55, 89, 144, 1000}) {
      Result<CsvTable> chunked = ReadInChunks(text, threads, chunkBytes);
      const std::string context =
          std::to_string(threads) + " threads, chunks of " + std::to_string(chunkBytes);
      ASSERT_TRUE(chunked.IsOK()) << context << ": " << chunked.Error().message;
      ExpectSameTable(chunked.Value(), expected, context);
    }
}

TEST(CsvReaderInChunks, ErrorsNameTheRowAndColumnOfOneThread) {
  // Rows "i,t,i/2" with a categorical middle column; the row before the bad one has a quoted line end
  // there, so that the bad row's line is its data row + 2. Every chunk size from 1 to 60 bytes, with
  // rows of about 14 bytes, puts a chunk boundary just before the bad row for some size.
  const auto makeText = [](int badRow, const std::string& badLine, const std::string& laterError) {
    std::string text = "a,label,b\n";
    for (int i = 1; i < badRow; ++i)
      text.append(std::to_string(i))
          .append(i == badRow - 1 ? ",\"two\nlines\"," : ",t,")
          .append(std::to_string(i / 2.0))
          .append("\n");
    text += badLine + "\n";
    for (int i = badRow + 1; i < badRow + 40; ++i)
      text += i == badRow + 20 ? laterError + "\n" : std::to_string(i) + ",t,1\n";
    return text;
  };
  // Row 30 starts on line 32: the header, 29 rows, one of which spans two lines.
  for (const auto& [badLine, expected] : std::vector<std::pair<std::string, std::string>>{
           {"30,t,oops", "data.csv: line 32 (data row 30), column \"b\" (index 2): \"oops\" is not a number"},
           {"30,t", "data.csv: line 32 (data row 30) has 2 fields, the header 3"},
           {"30,t,1,2", "data.csv: line 32 (data row 30) has more fields than the header's 3"},
           {"30,t,1\"2\"", "data.csv: line 32, column 3: malformed quotes"},
           {"\"30\"x,t,1", "data.csv: line 32, column 1: malformed quotes"}}) {
    const std::string text = makeText(30, badLine, "1,t,later");
    for (const int threads : {1, 2})
      for (std::size_t chunkBytes = 1; chunkBytes <= 60; ++chunkBytes) {
        Result<CsvTable> table = ReadInChunks(text, threads, chunkBytes);
        ASSERT_FALSE(table.IsOK()) << badLine;
        ASSERT_TRUE(table.Error().message.starts_with(expected))
            << threads << " threads, chunks of " << chunkBytes << ": " << table.Error().message;
      }
  }
  // A quote opened in the last rows and never closed: the last chunk runs to the end of the file.
  const std::string unclosed = makeText(30, "30,t,1", "50,t,1") + "70,t,\"3\n71,t,4\n";
  for (std::size_t chunkBytes : {1, 7, 50})
    EXPECT_EQ(ReadInChunks(unclosed, 2, chunkBytes).Error().message,
              "data.csv: line 72: a quoted field is not closed before the end of the file");
}

TEST(CsvReader, PlainDecimalsConvertAsFromChars) {
  // Numbers written as data exports write them, and ones that must leave the eight-digit path:
  // 8 or more digits on a side, 2^53 + 1 (not a double), 17-19 digits, an exponent, a '+'.
  std::vector<std::string> texts = {"0",
                                    "-0",
                                    "-0.000000",
                                    "7.",
                                    ".25",
                                    "-.5",
                                    "00012.50",
                                    "1234567.7654321",
                                    "12345678.1",
                                    "1.12345678",
                                    "9007199254740992",
                                    "9007199254740993",
                                    "900719925474099.35",
                                    "1234567890123456789",
                                    "12345678901234567890",
                                    "0.1000000000000000055511151231257827",
                                    "1e5",
                                    "+3.5",
                                    "2.5E-3"};
  std::mt19937_64 random(2024);
  for (int i = 0; i < 20000; ++i) {
    std::string text = random() % 2 == 0 ? "-" : "";
    const auto nIntegerDigits = static_cast<int>(random() % 10);
    const auto nDecimals = static_cast<int>(random() % 12);
    for (int d = 0; d < nIntegerDigits; ++d) text += static_cast<char>('0' + random() % 10);
    if (nDecimals > 0 || random() % 2 == 0) text += '.';
    for (int d = 0; d < nDecimals; ++d) text += static_cast<char>('0' + random() % 10);
    if (nIntegerDigits + nDecimals > 0) texts.push_back(text);
  }
  // Three columns, so that each number is read before a comma and before a line end, bare and in
  // quotes, and the last rows near the end of the input, where fewer than eight bytes follow.
  std::string csv = "a,b,c\n";
  for (const std::string& text : texts)
    csv.append(text).append(",\"").append(text).append("\",").append(text + "\n");
  Result<CsvTable> table = ReadCsvText(csv, "data.csv");
  ASSERT_TRUE(table.IsOK()) << table.Error().message;
  ASSERT_EQ(table.Value().GetNRows(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::string_view text = texts[i];
    if (text.starts_with('+')) text.remove_prefix(1);
    double expected = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    for (std::size_t j = 0; j < 3; ++j)
      ASSERT_EQ(std::bit_cast<std::uint64_t>(table.Value().columns[j][i]),
                std::bit_cast<std::uint64_t>(expected))
          << texts[i];
  }
}

TEST(CsvReaderInChunks, FilesAndPipesGiveTheTableOfText) {
  // Over 1 MiB, so that a pipe is read in several blocks and records straddle them.
  const std::string text = SyntaxTortureText(40000);
  ASSERT_GT(text.size(), std::size_t{1} << 20);
  Result<CsvTable> expected = ReadInChunks(text, 1, 0);
  ASSERT_TRUE(expected.IsOK()) << expected.Error().message;

  const std::filesystem::path directory = std::filesystem::temp_directory_path();
  const std::string stem = "kqcli_csv_" + std::to_string(::getpid());
  const std::filesystem::path path = directory / (stem + ".csv");
  std::ofstream(path, std::ios::binary) << text;
  const std::filesystem::path fifo = directory / (stem + ".fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  CsvOptions options;
  options.onHeader = [](const std::vector<std::string>&) -> Result<std::vector<ColumnUse>> {
    return std::vector<ColumnUse>{ColumnUse::Numbers, ColumnUse::Categories, ColumnUse::Numbers};
  };
  for (int threads : {1, 2}) {
    options.threads = threads;
    options.chunkBytes = 4096;
    Result<CsvTable> mapped = ReadCsvFile(path.string(), options);
    ASSERT_TRUE(mapped.IsOK()) << mapped.Error().message;
    ExpectSameTable(mapped.Value(), expected.Value(), "file, " + std::to_string(threads) + " threads");

    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << text; });
    Result<CsvTable> piped = ReadCsvFile(fifo.string(), options);
    writer.join();
    ASSERT_TRUE(piped.IsOK()) << piped.Error().message;
    ExpectSameTable(piped.Value(), expected.Value(), "pipe, " + std::to_string(threads) + " threads");
  }
  std::filesystem::remove(path);
  std::filesystem::remove(fifo);
}

TEST(CsvReaderInChunks, LoneCarriageReturnsEndRecordsAndSkippedColumnsStayMissing) {
  // Rows "i,s,i/4" whose line ends mix LF, CRLF and, in the first text, lone CR (the old Mac line
  // end), with blank lines of a lone CR: a chunk then holds more records, or more lines, than line
  // feeds. The middle column holds text and is skipped, so it must read as missing and never be
  // parsed. Lines are counted here as the rows are written.
  constexpr int kRows = 120;
  for (const bool loneCrRecords : {true, false}) {
    std::string text = "i,s,x\n";
    std::vector<std::size_t> lines;
    std::size_t line = 2;
    for (int i = 0; i < kRows; ++i) {
      lines.push_back(line++);
      const char* lineEnd = i % 3 == 0 ? "\r\n" : (loneCrRecords && i % 5 == 0 ? "\r" : "\n");
      text += std::to_string(i) + ",s," + std::to_string(i / 4.0) + lineEnd;
      if (i % 7 == 0) {
        text += "\r";
        ++line;
      }
    }
    const std::string withError = text + "x,s,1\n";
    const std::string expectedError = "data.csv: line " + std::to_string(line) + " (data row " +
                                      std::to_string(kRows + 1) +
                                      "), column \"i\" (index 0): \"x\" is not a number";
    CsvOptions options;
    options.onHeader = [](const std::vector<std::string>&) -> Result<std::vector<ColumnUse>> {
      return std::vector<ColumnUse>{ColumnUse::Numbers, ColumnUse::Skipped, ColumnUse::Numbers};
    };
    for (int threads : {1, 2, 3})
      for (std::size_t chunkBytes = 1; chunkBytes <= 80; chunkBytes += 3) {
        options.threads = threads;
        options.chunkBytes = chunkBytes;
        const std::string context = (loneCrRecords ? "lone CR records, " : "lone CR blank lines, ") +
                                    std::to_string(threads) + " threads, chunks of " +
                                    std::to_string(chunkBytes);
        Result<CsvTable> table = ReadCsvText(text, "data.csv", options);
        ASSERT_TRUE(table.IsOK()) << context << ": " << table.Error().message;
        ASSERT_EQ(table.Value().GetNRows(), static_cast<std::size_t>(kRows)) << context;
        EXPECT_EQ(table.Value().rowLines, lines) << context;
        for (std::size_t i = 0; i < kRows; ++i) {
          ASSERT_EQ(table.Value().columns[0][i], static_cast<double>(i)) << context;
          ASSERT_EQ(table.Value().columns[1][i], kMissing) << context;
          ASSERT_EQ(table.Value().columns[2][i], static_cast<double>(i) / 4.0) << context;
        }
        EXPECT_EQ(ReadCsvText(withError, "data.csv", options).Error().message, expectedError) << context;
      }
  }
}
