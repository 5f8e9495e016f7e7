#include "cli/CsvReader.h"

// libcsv (Debian's libcsv-dev) does the CSV syntax: it is maintained, small, follows RFC 4180
// (quotes, doubled quotes, embedded line ends; strict mode rejects malformed quoting) and streams,
// handing each field and each record end to a callback, so that a file of any size is read in
// fixed-size blocks without holding its text. Numbers are converted in the field callback.
#include <csv.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "companion/KQMV.h"

namespace kqcli {
namespace {

using KQCommon_850::KQMV;

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) noexcept {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

/// A cell's text as the messages quote it: at most 40 characters.
std::string Quote(std::string_view text) {
  constexpr std::size_t kShown = 40;
  std::string shown(text.substr(0, kShown));
  if (text.size() > kShown) shown += "...";
  return "\"" + shown + "\"";
}

/// Receives libcsv's callbacks and builds the table. After the first error it ignores the rest.
class TableBuilder {
 public:
  TableBuilder(std::string fileName, const CsvOptions& options)
      : fileName_(std::move(fileName)), options_(options) {
    csv_init(&parser_, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL);
  }
  ~TableBuilder() { csv_free(&parser_); }
  TableBuilder(const TableBuilder&) = delete;
  TableBuilder& operator=(const TableBuilder&) = delete;

  /// Parses the next block; false once an error has been found.
  bool Feed(const char* data, std::size_t size);
  /// The size of the whole input when known, so that the columns can be sized once.
  void ExpectBytes(std::size_t nBytes) noexcept { expectedBytes_ = nBytes; }
  /// Ends the input and returns the table or the first error.
  Result<CsvTable> Finish();
  void Fail(std::string message) {
    if (!error_) error_ = InputError{fileName_ + ": " + std::move(message)};
  }

 private:
  static void OnField(void* field, std::size_t size, void* self) {
    static_cast<TableBuilder*>(self)->Field(static_cast<const char*>(field), size);
  }
  static void OnRecordEnd(int terminator, void* self) {
    static_cast<TableBuilder*>(self)->RecordEnd(terminator);
  }

  void Field(const char* field, std::size_t size);
  void RecordEnd(int terminator);
  void EndHeader();
  void FailCell(std::size_t column, std::string_view text, std::string_view problem);
  void CodeTextColumns();
  std::string Where(std::size_t column) const;
  void FeedParser(const char* data, std::size_t size);
  /// Feeds the first bytes, without a byte-order mark.
  void FeedStart();
  void ReserveRows();

  std::string fileName_;
  const CsvOptions& options_;
  csv_parser parser_{};
  std::optional<InputError> error_;
  std::string pendingStart_;  // the first bytes, held until the byte-order mark can be judged
  bool startChecked_ = false;
  std::size_t expectedBytes_ = 0;
  std::size_t bytesFed_ = 0;
  bool reserved_ = false;

  std::size_t line_ = 1;        // the line being read
  std::size_t recordLine_ = 1;  // the line on which the current record started
  bool lastEndWasCR_ = false;
  std::size_t field_ = 0;  // fields of the current record so far
  bool inHeader_ = true;

  CsvTable table_;
  std::size_t nColumns_ = 0;
  std::vector<ColumnUse> uses_;
  std::vector<bool> hasText_;
  std::vector<std::vector<std::string>> texts_;  // raw cells of the columns that may hold text
};

void TableBuilder::ReserveRows() {
  // Growing a column by doubling copies it again and again and touches twice its memory; a file of a
  // known size gives the number of rows from the bytes per row of its first block, with 5 % to spare.
  reserved_ = true;
  const std::size_t nRowsSoFar = table_.GetNRows();
  if (expectedBytes_ == 0) return;
  const double bytesPerRow = static_cast<double>(bytesFed_) / static_cast<double>(nRowsSoFar);
  // A record holds at least one byte per column (its commas and its line end), which bounds the guess.
  const std::size_t mostRows = expectedBytes_ / std::max<std::size_t>(nColumns_, 1) + 16;
  const auto nRows = std::min(
      mostRows, static_cast<std::size_t>(1.05 * static_cast<double>(expectedBytes_) / bytesPerRow) + 16);
  for (std::vector<double>& column : table_.columns) column.reserve(nRows);
  table_.rowLines.reserve(nRows);
}

void TableBuilder::FeedParser(const char* data, std::size_t size) {
  const std::size_t parsed = csv_parse(&parser_, data, size, OnField, OnRecordEnd, this);
  bytesFed_ += parsed;
  if (!reserved_ && !error_ && table_.GetNRows() > 0) ReserveRows();
  if (parsed == size || error_) return;
  switch (csv_error(&parser_)) {
    case CSV_EPARSE:
      Fail("line " + std::to_string(line_) + ", column " + std::to_string(field_ + 1) +
           ": malformed quotes (a quote inside an unquoted field, or text after a closing quote)");
      break;
    case CSV_ENOMEM:
    case CSV_ETOOBIG:
      Fail("line " + std::to_string(line_) + ": a field is too large to hold in memory");
      break;
    default:
      Fail("line " + std::to_string(line_) + ": " + csv_strerror(csv_error(&parser_)));
  }
}

void TableBuilder::FeedStart() {
  startChecked_ = true;
  std::string_view start = pendingStart_;
  if (start.starts_with(kByteOrderMark)) start.remove_prefix(kByteOrderMark.size());
  FeedParser(start.data(), start.size());
  pendingStart_.clear();
}

bool TableBuilder::Feed(const char* data, std::size_t size) {
  if (error_) return false;
  if (!startChecked_) {
    pendingStart_.append(data, size);
    if (pendingStart_.size() >= kByteOrderMark.size()) FeedStart();
    return !error_;
  }
  FeedParser(data, size);
  return !error_;
}

std::string TableBuilder::Where(std::size_t column) const {
  return "line " + std::to_string(line_) + " (data row " + std::to_string(table_.GetNRows() + 1) + "), " +
         ColumnText(table_.names, column);
}

void TableBuilder::FailCell(std::size_t column, std::string_view text, std::string_view problem) {
  Fail(Where(column) + ": " + Quote(Trim(text)) + " " + std::string(problem));
}

void TableBuilder::Field(const char* field, std::size_t size) {
  if (error_) return;
  const std::string_view text(field != nullptr ? field : "", field != nullptr ? size : 0);
  const std::size_t column = field_++;
  if (inHeader_) {
    if (column >= kMaxColumns) {
      Fail("the header has more than " + std::to_string(kMaxColumns) + " columns");
      return;
    }
    table_.names.emplace_back(Trim(text));
  } else if (column >= nColumns_) {
    Fail("line " + std::to_string(recordLine_) + " (data row " + std::to_string(table_.GetNRows() + 1) +
         ") has more fields than the header's " + std::to_string(nColumns_));
    return;
  } else if (uses_[column] == ColumnUse::Skipped) {
    table_.columns[column].push_back(KQMV::Missing());
  } else {
    const Cell cell = ParseCell(text);
    if (uses_[column] == ColumnUse::Categories) {
      // Values that are not plain numbers are coded as categories at the end.
      if (cell.kind != CellKind::Number && cell.kind != CellKind::Missing) hasText_[column] = true;
      texts_[column].emplace_back(cell.kind == CellKind::Missing ? std::string_view{} : Trim(text));
      table_.columns[column].push_back(cell.value);
    } else {
      switch (cell.kind) {
        case CellKind::Number:
        case CellKind::Missing:
          table_.columns[column].push_back(cell.value);
          break;
        case CellKind::Text:
          FailCell(column, text, "is not a number");
          return;
        case CellKind::Infinite:
          FailCell(column, text, "is infinite");
          return;
        case CellKind::OutOfRange:
          FailCell(column, text, "is outside the range of a double");
          return;
      }
    }
  }
  // Only a quoted field can hold a line end; counting them keeps the line numbers right.
  line_ += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

void TableBuilder::RecordEnd(int terminator) {
  if (error_) return;
  // With every line end reported, CRLF arrives as CR (ending the record) and then LF on its own.
  const bool secondHalfOfCRLF = terminator == '\n' && lastEndWasCR_ && field_ == 0;
  lastEndWasCR_ = terminator == '\r';
  if (secondHalfOfCRLF) return;
  if (field_ > 0) {
    if (inHeader_) {
      EndHeader();
    } else if (field_ < nColumns_) {
      Fail("line " + std::to_string(recordLine_) + " (data row " + std::to_string(table_.GetNRows() + 1) +
           ") has " + std::to_string(field_) + (field_ == 1 ? " field" : " fields") + ", the header " +
           std::to_string(nColumns_));
    } else {
      table_.rowLines.push_back(recordLine_);
    }
  }
  field_ = 0;
  if (terminator == '\n' || terminator == '\r') ++line_;
  recordLine_ = line_;
}

void TableBuilder::EndHeader() {
  inHeader_ = false;
  nColumns_ = table_.names.size();
  uses_.assign(nColumns_, ColumnUse::Numbers);
  if (options_.onHeader) {
    Result<std::vector<ColumnUse>> uses = options_.onHeader(table_.names);
    if (!uses.IsOK()) {
      error_ = uses.Error();
      return;
    }
    for (std::size_t j = 0; j < nColumns_ && j < uses.Value().size(); ++j) uses_[j] = uses.Value()[j];
  }
  table_.columns.resize(nColumns_);
  table_.categories.resize(nColumns_);
  hasText_.assign(nColumns_, false);
  texts_.resize(nColumns_);
}

void TableBuilder::CodeTextColumns() {
  for (std::size_t j = 0; j < nColumns_; ++j) {
    if (!hasText_[j]) continue;
    std::unordered_map<std::string, int> codes;
    std::vector<std::string>& categories = table_.categories[j];
    std::vector<double>& column = table_.columns[j];
    for (std::size_t i = 0; i < column.size(); ++i) {
      std::string& text = texts_[j][i];
      if (text.empty()) continue;  // missing stays missing
      auto [it, added] = codes.try_emplace(text, static_cast<int>(categories.size()));
      if (added) categories.push_back(text);
      column[i] = it->second;
    }
  }
}

Result<CsvTable> TableBuilder::Finish() {
  if (!error_ && !startChecked_) FeedStart();
  if (!error_ && csv_fini(&parser_, OnField, OnRecordEnd, this) != 0 && !error_)
    Fail("line " + std::to_string(recordLine_) + ": a quoted field is not closed before the end of the file");
  if (error_) return *error_;
  if (inHeader_) return InputError{fileName_ + ": the file is empty (no header row)"};
  if (table_.GetNRows() == 0) return InputError{fileName_ + ": the file has a header but no data rows"};
  CodeTextColumns();
  return std::move(table_);
}

}  // namespace

std::string ColumnText(const std::vector<std::string>& names, std::size_t column) {
  const std::string index = "index " + std::to_string(column);
  return column < names.size() && !names[column].empty() ? "column \"" + names[column] + "\" (" + index + ")"
                                                         : "column " + index;
}

Cell ParseCell(std::string_view text) noexcept {
  text = Trim(text);
  if (text.empty() || text == "NA" || text == "." || text == "NaN")
    return {CellKind::Missing, KQMV::Missing()};
  const char* first = text.data();
  const char* last = first + text.size();
  if (*first == '+' && text.size() > 1 && *(first + 1) != '-') ++first;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range && end == last) return {CellKind::OutOfRange, KQMV::Missing()};
  if (ec != std::errc{} || end != last) return {CellKind::Text, KQMV::Missing()};
  if (std::isnan(value)) return {CellKind::Missing, KQMV::Missing()};
  if (std::isinf(value)) return {CellKind::Infinite, KQMV::Missing()};
  return {CellKind::Number, value};
}

Result<CsvTable> ReadCsvText(std::string_view text, const std::string& displayName,
                             const CsvOptions& options) {
  TableBuilder builder(displayName, options);
  builder.ExpectBytes(text.size());
  for (std::size_t start = 0; start < text.size(); start += kBlockSize) {
    if (options.shouldStop && options.shouldStop()) builder.Fail("reading was interrupted");
    if (!builder.Feed(text.data() + start, std::min(kBlockSize, text.size() - start))) break;
  }
  return builder.Finish();
}

Result<CsvTable> ReadCsvFile(const std::string& path, const CsvOptions& options) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return InputError{path + ": cannot open: " + std::strerror(errno)};
  TableBuilder builder(path, options);
  if (struct stat info{}; ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
    builder.ExpectBytes(static_cast<std::size_t>(info.st_size));
  std::vector<char> block(kBlockSize);
  for (;;) {
    if (options.shouldStop && options.shouldStop()) {
      builder.Fail("reading was interrupted");
      break;
    }
    const ssize_t n = ::read(fd, block.data(), block.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;  // a signal: the next turn asks shouldStop
      builder.Fail(std::string("cannot read: ") + std::strerror(errno));
      break;
    }
    if (!builder.Feed(block.data(), static_cast<std::size_t>(n))) break;
  }
  ::close(fd);
  return builder.Finish();
}

}  // namespace kqcli
