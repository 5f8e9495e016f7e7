#include "cli/CsvReader.h"

// The parser is written for speed on files of numbers: a cell that is a plain decimal ("-12.345678")
// is converted while it is scanned, with no copy and no search for its end; every other cell (quoted,
// with an exponent, text, blanks around it) takes the general path, which finds the end of the field
// and hands its text to ParseCell.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "companion/KQMV.h"

namespace kqcli {
namespace {

using KQCommon_850::KQMV;

constexpr std::size_t kPipeBlockBytes = std::size_t{1} << 20;
constexpr std::size_t kDefaultChunkBytes = std::size_t{1} << 20;
/// A reading on one thread asks whether to stop after about this many bytes.
constexpr std::size_t kStopPollBytes = std::size_t{4} << 20;
/// The bytes whose line ends estimate the number of rows, so that the columns are allocated once.
constexpr std::size_t kSampleBytes = std::size_t{1} << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kMalformedQuotes =
    ": malformed quotes (a quote inside an unquoted field, or text after a closing quote)";

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t'; }
bool IsFieldEnd(char c) noexcept { return c == ',' || c == '\n' || c == '\r'; }

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

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

std::uint64_t LoadEightBytes(const char* p) noexcept {
  std::uint64_t word = 0;
  std::memcpy(&word, p, sizeof word);
  return word;
}

/// How many of the eight bytes of word (the first in the lowest byte) lead with decimal digits. A
/// byte is a digit when its high nibble is 3 and adding 6 keeps it so; a carry out of a byte of 0xFA
/// or more only disturbs the bytes after it.
std::size_t CountLeadingDigits(std::uint64_t word) noexcept {
  constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0;
  constexpr std::uint64_t kThrees = 0x3030303030303030;
  const std::uint64_t notDigits =
      ((word & kHighNibbles) ^ kThrees) | (((word + 0x0606060606060606) & kHighNibbles) ^ kThrees);
  return notDigits == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(notDigits)) / 8;
}

/// The value of the first nDigits (at most 7) digits of word. Shifting them to the top of the word
/// drops the bytes after them and puts zeros, that is leading zero digits, before them; the three
/// multiply-and-add steps then combine pairs, quadruples and the two halves.
std::uint64_t EightDigitsValue(std::uint64_t word, std::size_t nDigits) noexcept {
  if (nDigits == 0) return 0;
  std::uint64_t digits = (word - 0x3030303030303030) << (8 * (8 - nDigits));
  digits = digits * 10 + (digits >> 8);
  constexpr std::uint64_t kMask = 0x000000FF000000FF;
  constexpr std::uint64_t kHundredAndMillion = 100 + (std::uint64_t{1000000} << 32);
  constexpr std::uint64_t kOneAndTenThousand = 1 + (std::uint64_t{10000} << 32);
  return (((digits & kMask) * kHundredAndMillion) + (((digits >> 16) & kMask) * kOneAndTenThousand)) >> 32;
}

constexpr std::uint64_t kIntegerPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};

/// Converts a plain decimal at p: an optional '-', digits, an optional '.' and digits, at least one
/// digit in all. It succeeds only when the digits, read as an integer m with k of them after the
/// point, satisfy m <= 2^53 and k <= 22: then m and 10^k are exact doubles and one correctly rounded
/// division gives the correctly rounded value of m / 10^k, the same double std::from_chars returns.
/// Anything else (more digits, an exponent, a '+') is left to std::from_chars. Where 18 bytes can be
/// read, numbers of up to 7 digits on either side of the point are read eight bytes at a time.
bool ParsePlainDecimal(const char* p, const char* end, double& value, const char*& after) noexcept {
  const bool negative = p < end && *p == '-';
  p += negative ? 1 : 0;
  std::uint64_t mantissa = 0;
  std::size_t nDigits = 0;
  std::size_t nDecimals = 0;
  bool done = false;
  if constexpr (std::endian::native == std::endian::little) {
    if (end - p >= 17) {
      const std::uint64_t integerWord = LoadEightBytes(p);
      const std::size_t nIntegerDigits = CountLeadingDigits(integerWord);
      const char* q = p + nIntegerDigits;
      if (nIntegerDigits < 8) {
        mantissa = EightDigitsValue(integerWord, nIntegerDigits);
        if (*q == '.') {
          const std::uint64_t decimalWord = LoadEightBytes(++q);
          nDecimals = CountLeadingDigits(decimalWord);
          if (nDecimals < 8) {
            mantissa = mantissa * kIntegerPowersOfTen[nDecimals] + EightDigitsValue(decimalWord, nDecimals);
            q += nDecimals;
            done = true;
          }
        } else {
          done = true;
        }
      }
      if (done) {
        nDigits = nIntegerDigits + nDecimals;
        p = q;
      } else {
        mantissa = 0;
        nDecimals = 0;
      }
    }
  }
  if (!done) {
    // One digit at a time; past 19 digits the value may wrap, but such a number is refused below.
    const auto isDigit = [end](const char* c) {
      return c < end && static_cast<unsigned char>(*c - '0') < 10;
    };
    const char* const digitsStart = p;
    for (; isDigit(p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    const bool hasPoint = p < end && *p == '.';
    if (hasPoint) {
      const char* const decimalsStart = ++p;
      for (; isDigit(p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
      nDecimals = static_cast<std::size_t>(p - decimalsStart);
    }
    nDigits = static_cast<std::size_t>(p - digitsStart) - (hasPoint ? 1 : 0);
  }
  if (nDigits == 0 || nDigits > 19 || nDecimals > 22 || mantissa > (std::uint64_t{1} << 53)) return false;
  // The sign is set as a bit: a branch on it would be mispredicted on half of the cells of data
  // centred on zero.
  const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[nDecimals];
  value = std::bit_cast<double>(std::bit_cast<std::uint64_t>(magnitude) | (std::uint64_t{negative} << 63));
  after = p;
  return true;
}

/// Converts a field that is a plain decimal, bare or in quotes with nothing else between them;
/// after is then the ',' or line end that follows, or the end of the input.
bool IsPlainDecimalField(const char* p, const char* end, double& value, const char*& after) noexcept {
  if (ParsePlainDecimal(p, end, value, after)) return after == end || IsFieldEnd(*after);
  if (p == end || *p != '"' || !ParsePlainDecimal(p + 1, end, value, after) || after == end || *after != '"')
    return false;
  ++after;
  return after == end || IsFieldEnd(*after);
}

enum class FieldProblem { None, MalformedQuotes, Unclosed };

struct Field {
  std::string_view text;  ///< the cell, quotes removed and doubled quotes undone
  const char* next;       ///< the ',' or line end after the field, or the end of the input
  std::size_t nLineEnds;  ///< line feeds inside quotes
  FieldProblem problem;
};

/// Reads the field that starts at p. A quoted field may have blanks around its quotes; a quote
/// anywhere else is malformed. Doubled quotes are undone in scratch.
Field ScanField(const char* p, const char* end, std::string& scratch) {
  const char* open = p;
  while (open < end && IsBlank(*open)) ++open;
  if (open == end || *open != '"') {
    const char* q = p;
    for (; q < end && !IsFieldEnd(*q); ++q)
      if (*q == '"') return {{}, q, 0, FieldProblem::MalformedQuotes};
    return {std::string_view(p, static_cast<std::size_t>(q - p)), q, 0, FieldProblem::None};
  }
  const char* const contentStart = open + 1;
  const char* close = contentStart;
  bool doubled = false;
  for (;;) {
    close = static_cast<const char*>(std::memchr(close, '"', static_cast<std::size_t>(end - close)));
    if (close == nullptr) return {{}, end, 0, FieldProblem::Unclosed};
    if (close + 1 < end && close[1] == '"') {
      doubled = true;
      close += 2;
      continue;
    }
    break;
  }
  std::string_view text(contentStart, static_cast<std::size_t>(close - contentStart));
  const auto nLineEnds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  if (doubled) {
    // Inside the quotes every quote is the first of a pair.
    scratch.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
      scratch += text[i];
      if (text[i] == '"') ++i;
    }
    text = scratch;
  }
  const char* next = close + 1;
  while (next < end && IsBlank(*next)) ++next;
  if (next < end && !IsFieldEnd(*next)) return {text, next, nLineEnds, FieldProblem::MalformedQuotes};
  return {text, next, nLineEnds, FieldProblem::None};
}

/// The header's names and what to do with each column.
struct Layout {
  std::vector<std::string> names;
  std::vector<ColumnUse> uses;
};

/// The cells one parser fills: the table's own on one thread, a thread's buffer for a chunk.
struct Cells {
  std::vector<std::vector<double>> values;
  std::vector<std::vector<std::string>> texts;  ///< per categorical column, each cell's text ("" if missing)
  std::vector<char> hasText;                    ///< per column: some cell is not a number
  std::vector<std::size_t> rowLines;

  void Reset(std::size_t nColumns) {
    values.resize(nColumns);
    texts.resize(nColumns);
    hasText.assign(nColumns, 0);
    for (std::vector<double>& column : values) column.clear();
    for (std::vector<std::string>& column : texts) column.clear();
    rowLines.clear();
  }
};

/// A problem found by a parser. Lines count from the line the parser started on and rows from its
/// first row, so that a chunk's problem is placed in the file once the chunks before it are counted.
struct ParseError {
  std::size_t line;
  std::optional<std::size_t> row;  ///< data rows before the one at fault, when the message names the row
  std::string rest;                ///< what follows "line L (data row R)"
};

/// Parses data rows into Cells.
class Parser {
 public:
  Parser(const Layout& layout, Cells& cells, std::size_t firstLine)
      : layout_(layout), cells_(cells), line_(firstLine) {}

  /// Parses records from p until one ends at or after stop, taking end for the end of the input.
  /// Returns where the next record starts, or nullptr after an error.
  const char* Parse(const char* p, const char* stop, const char* end);
  std::size_t GetLine() const noexcept { return line_; }
  const ParseError& GetError() const { return *error_; }

 private:
  bool ReadRecord(const char*& p, const char* end);
  bool StoreCell(std::size_t column, std::string_view text);
  void Fail(std::size_t line, bool withRow, std::string rest) {
    error_ =
        ParseError{line, withRow ? std::optional(cells_.rowLines.size()) : std::nullopt, std::move(rest)};
  }

  const Layout& layout_;
  Cells& cells_;
  std::size_t line_;
  std::string scratch_;
  std::optional<ParseError> error_;
};

const char* Parser::Parse(const char* p, const char* stop, const char* end) {
  while (p < stop) {
    const char* q = p;
    while (q < end && IsBlank(*q)) ++q;
    if (q == end) return end;
    if (*q == '\n' || *q == '\r') {  // a blank line
      ++line_;
      p = q + 1;
      if (*q == '\r' && p < end && *p == '\n') ++p;
      continue;
    }
    if (!ReadRecord(p, end)) return nullptr;
  }
  return p;
}

bool Parser::ReadRecord(const char*& p, const char* end) {
  const std::size_t recordLine = line_;
  const std::size_t nColumns = layout_.names.size();
  std::size_t column = 0;
  for (;; ++column) {
    if (column == nColumns) {
      Fail(recordLine, true, " has more fields than the header's " + std::to_string(nColumns));
      return false;
    }
    double value = 0.0;
    const char* after = nullptr;
    if (layout_.uses[column] == ColumnUse::Numbers && IsPlainDecimalField(p, end, value, after)) {
      cells_.values[column].push_back(value);
      p = after;
    } else {
      const Field field = ScanField(p, end, scratch_);
      if (field.problem == FieldProblem::MalformedQuotes) {
        Fail(line_, false, ", column " + std::to_string(column + 1) + std::string(kMalformedQuotes));
        return false;
      }
      if (field.problem == FieldProblem::Unclosed) {
        Fail(recordLine, false, ": a quoted field is not closed before the end of the file");
        return false;
      }
      if (!StoreCell(column, field.text)) return false;
      line_ += field.nLineEnds;
      p = field.next;
    }
    if (p == end) break;
    const char c = *p++;
    if (c == ',') continue;
    ++line_;
    if (c == '\r' && p < end && *p == '\n') ++p;
    break;
  }
  if (++column < nColumns) {
    Fail(recordLine, true,
         " has " + std::to_string(column) + (column == 1 ? " field" : " fields") + ", the header " +
             std::to_string(nColumns));
    return false;
  }
  cells_.rowLines.push_back(recordLine);
  return true;
}

bool Parser::StoreCell(std::size_t column, std::string_view text) {
  const ColumnUse use = layout_.uses[column];
  if (use == ColumnUse::Skipped) {
    cells_.values[column].push_back(KQMV::Missing());
    return true;
  }
  const Cell cell = ParseCell(text);
  if (use == ColumnUse::Categories) {
    // Values that are not plain numbers are coded as categories at the end.
    if (cell.kind != CellKind::Number && cell.kind != CellKind::Missing) cells_.hasText[column] = 1;
    cells_.texts[column].emplace_back(cell.kind == CellKind::Missing ? std::string_view{} : Trim(text));
    cells_.values[column].push_back(cell.value);
    return true;
  }
  std::string_view problem;
  switch (cell.kind) {
    case CellKind::Number:
    case CellKind::Missing:
      cells_.values[column].push_back(cell.value);
      return true;
    case CellKind::Text:
      problem = "is not a number";
      break;
    case CellKind::Infinite:
      problem = "is infinite";
      break;
    case CellKind::OutOfRange:
      problem = "is outside the range of a double";
      break;
  }
  Fail(line_, true,
       ", " + ColumnText(layout_.names, column) + ": " + Quote(Trim(text)) + " " + std::string(problem));
  return false;
}

/// Whether [p, end) holds an odd number of quotes. The bytes are counted in runs of 255 into a byte
/// counter, a loop the compiler turns into byte-wide vector compares; a count into a wider type is
/// several times slower.
bool HasOddQuotes(const char* p, const char* end) noexcept {
  constexpr std::ptrdiff_t kRun = 255;
  std::size_t nQuotes = 0;
  for (; end - p >= kRun; p += kRun) {
    unsigned char nInRun = 0;
    for (std::ptrdiff_t i = 0; i < kRun; ++i)
      nInRun = static_cast<unsigned char>(nInRun + (p[i] == '"' ? 1 : 0));
    nQuotes += nInRun;
  }
  for (; p < end; ++p) nQuotes += *p == '"' ? 1 : 0;
  return nQuotes % 2 != 0;
}

/// The end of the chunk that starts at begin (outside quotes) and should end near target: the first
/// line feed at or after target with an even number of quotes before it. In a file whose quoting is
/// well formed that is a record end; where it is not, the chunk that holds the first bad quote
/// reports it, and what follows is never used.
const char* FindChunkEnd(const char* begin, const char* target, const char* end) {
  bool inQuotes = HasOddQuotes(begin, target);
  const char* p = target;
  for (;;) {
    if (inQuotes) {
      p = static_cast<const char*>(std::memchr(p, '"', static_cast<std::size_t>(end - p)));
      if (p == nullptr) return end;
      ++p;
      inQuotes = false;
      continue;
    }
    const auto* lineEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    if (lineEnd == nullptr) return end;
    const auto* quote = static_cast<const char*>(std::memchr(p, '"', static_cast<std::size_t>(lineEnd - p)));
    if (quote == nullptr) return lineEnd + 1;
    p = quote + 1;
    inQuotes = true;
  }
}

/// After the last line feed outside quotes in [begin, end), begin reading outside quotes; begin when
/// there is none.
const char* FindLastRecordEnd(const char* begin, const char* end) {
  const bool oddTotal = HasOddQuotes(begin, end);
  bool oddAfter = false;
  for (const char* p = end; p > begin; --p) {
    if (p[-1] == '"') oddAfter = !oddAfter;
    if (p[-1] == '\n' && oddTotal == oddAfter) return p;
  }
  return begin;
}

/// Asks for the columns in huge pages where the system leaves that to the program: a column of a large
/// file then costs a few hundred page faults instead of one per 4 KiB.
void AdviseHugePages(void* data, std::size_t nBytes) noexcept {
  static const auto kPageBytes = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto start = (reinterpret_cast<std::uintptr_t>(data) + kPageBytes - 1) / kPageBytes * kPageBytes;
  const auto stop = (reinterpret_cast<std::uintptr_t>(data) + nBytes) / kPageBytes * kPageBytes;
  if (stop > start) ::madvise(reinterpret_cast<void*>(start), stop - start, MADV_HUGEPAGE);
}

/// Reads the header, then the data rows on one or more threads, and builds the table.
class TableReader {
 public:
  TableReader(std::string fileName, const CsvOptions& options)
      : fileName_(std::move(fileName)), options_(options) {}

  /// Reads an input held in memory (a string or a mapped file). The pages of a mapped file are given
  /// back as the records on them are parsed, so that they do not add to the reader's resident memory.
  Result<CsvTable> ReadAll(std::string_view text, bool isMapped = false);
  /// Reads a pipe block by block, holding the unfinished record of each block.
  Result<CsvTable> ReadStream(int fd);

 private:
  enum class HeaderState { Done, Incomplete, Failed };
  /// Reads the header at p; when it needs bytes past end and eof is false, answers Incomplete.
  HeaderState ReadHeader(const char*& p, const char* end, bool eof);
  bool StartColumns();
  void ReserveRows(const char* p, const char* end);
  void ReadSequential(const char* p, const char* end);
  void ReadParallel(const char* p, const char* end);
  void Append(Cells& chunk, std::size_t nLines);
  void ReleasePagesBefore(const char* p);
  bool ShouldStop() const { return options_.shouldStop && options_.shouldStop(); }
  void Fail(std::string message) {
    if (!error_) error_ = InputError{fileName_ + ": " + std::move(message)};
  }
  void Fail(const ParseError& error, std::size_t lineBase, std::size_t rowBase) {
    std::string message = "line " + std::to_string(lineBase + error.line);
    if (error.row) message += " (data row " + std::to_string(rowBase + *error.row + 1) + ")";
    Fail(message + error.rest);
  }
  void CodeTextColumns(CsvTable& table);
  Result<CsvTable> Finish();

  std::string fileName_;
  const CsvOptions& options_;
  std::optional<InputError> error_;
  bool hasHeader_ = false;
  Layout layout_;
  Cells cells_;
  std::size_t line_ = 1;            ///< the line after the ones parsed so far
  const char* mapping_ = nullptr;   ///< the start of a mapped file, page aligned
  const char* released_ = nullptr;  ///< the mapped pages before this one are given back
};

TableReader::HeaderState TableReader::ReadHeader(const char*& p, const char* end, bool eof) {
  std::size_t line = 1;
  const char* q = p;
  for (;;) {  // blank lines before the header
    const char* r = q;
    while (r < end && IsBlank(*r)) ++r;
    if (r == end) return eof ? HeaderState::Done : HeaderState::Incomplete;
    if (*r != '\n' && *r != '\r') break;
    if (*r == '\r' && r + 1 == end && !eof) return HeaderState::Incomplete;
    ++line;
    q = r + 1;
    if (*r == '\r' && q < end && *q == '\n') ++q;
  }
  const std::size_t recordLine = line;
  std::vector<std::string> names;
  std::string scratch;
  for (;;) {
    if (names.size() == kMaxColumns) {
      Fail("the header has more than " + std::to_string(kMaxColumns) + " columns");
      return HeaderState::Failed;
    }
    const Field field = ScanField(q, end, scratch);
    if (field.problem == FieldProblem::Unclosed) {
      if (!eof) return HeaderState::Incomplete;
      Fail("line " + std::to_string(recordLine) +
           ": a quoted field is not closed before the end of the file");
      return HeaderState::Failed;
    }
    if (field.problem == FieldProblem::MalformedQuotes) {
      Fail("line " + std::to_string(line) + ", column " + std::to_string(names.size() + 1) +
           std::string(kMalformedQuotes));
      return HeaderState::Failed;
    }
    names.emplace_back(Trim(field.text));
    line += field.nLineEnds;
    q = field.next;
    if (q == end) {
      if (!eof) return HeaderState::Incomplete;
      break;
    }
    const char c = *q++;
    if (c == ',') continue;
    if (c == '\r') {
      if (q == end && !eof) return HeaderState::Incomplete;  // the line feed of a CRLF may follow
      if (q < end && *q == '\n') ++q;
    }
    ++line;
    break;
  }
  layout_.names = std::move(names);
  hasHeader_ = true;
  line_ = line;
  p = q;
  return HeaderState::Done;
}

bool TableReader::StartColumns() {
  const std::size_t nColumns = layout_.names.size();
  layout_.uses.assign(nColumns, ColumnUse::Numbers);
  if (options_.onHeader) {
    Result<std::vector<ColumnUse>> uses = options_.onHeader(layout_.names);
    if (!uses.IsOK()) {
      error_ = uses.Error();
      return false;
    }
    for (std::size_t j = 0; j < nColumns && j < uses.Value().size(); ++j) layout_.uses[j] = uses.Value()[j];
  }
  cells_.Reset(nColumns);
  return true;
}

void TableReader::ReserveRows(const char* p, const char* end) {
  // Growing a column by doubling copies it again and again and touches twice its memory; the line
  // ends of the first megabyte give the number of rows, with 5 % to spare.
  const auto nBytes = static_cast<std::size_t>(end - p);
  const std::size_t nSample = std::min(nBytes, kSampleBytes);
  const auto nSampleLines = static_cast<std::size_t>(std::count(p, p + nSample, '\n')) + 1;
  // A record holds at least one byte per column (its commas and its line end), which bounds the guess.
  const std::size_t mostRows = nBytes / std::max<std::size_t>(layout_.names.size(), 1) + 16;
  const auto nRows =
      std::min(mostRows, static_cast<std::size_t>(1.05 * static_cast<double>(nSampleLines) *
                                                  static_cast<double>(nBytes) /
                                                  static_cast<double>(std::max<std::size_t>(nSample, 1))) +
                             16);
  for (std::vector<double>& column : cells_.values) {
    column.reserve(nRows);
    AdviseHugePages(column.data(), nRows * sizeof(double));
  }
  cells_.rowLines.reserve(nRows);
  AdviseHugePages(cells_.rowLines.data(), nRows * sizeof(std::size_t));
}

void TableReader::ReadSequential(const char* p, const char* end) {
  Parser parser(layout_, cells_, line_);
  while (p < end) {
    if (ShouldStop()) {
      Fail("reading was interrupted");
      return;
    }
    const char* stop = static_cast<std::size_t>(end - p) > kStopPollBytes ? p + kStopPollBytes : end;
    p = parser.Parse(p, stop, end);
    if (p == nullptr) {
      Fail(parser.GetError(), 0, 0);
      return;
    }
    ReleasePagesBefore(p);
  }
  line_ = parser.GetLine();
}

void TableReader::Append(Cells& chunk, std::size_t nLines) {
  for (std::size_t j = 0; j < chunk.values.size(); ++j) {
    cells_.values[j].insert(cells_.values[j].end(), chunk.values[j].begin(), chunk.values[j].end());
    std::vector<std::string>& texts = chunk.texts[j];
    cells_.texts[j].insert(cells_.texts[j].end(), std::make_move_iterator(texts.begin()),
                           std::make_move_iterator(texts.end()));
    cells_.hasText[j] = static_cast<char>(cells_.hasText[j] | chunk.hasText[j]);
  }
  for (const std::size_t line : chunk.rowLines) cells_.rowLines.push_back(line_ + line);
  line_ += nLines;
}

void TableReader::ReleasePagesBefore(const char* p) {
  if (mapping_ == nullptr) return;
  static const auto kPageBytes = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const char* const pageStart = mapping_ + static_cast<std::size_t>(p - mapping_) / kPageBytes * kPageBytes;
  if (pageStart <= released_) return;
  // The pages stay in the page cache; the mapping would read them again if touched.
  ::madvise(const_cast<char*>(released_), static_cast<std::size_t>(pageStart - released_), MADV_DONTNEED);
  released_ = pageStart;
}

void TableReader::ReadParallel(const char* p, const char* end) {
  const std::size_t chunkBytes = options_.chunkBytes > 0 ? options_.chunkBytes : kDefaultChunkBytes;
  // Chunks are claimed in file order under claimMutex, parsed concurrently into each thread's buffer
  // and appended in file order under appendMutex: the thread holding chunk i waits until chunk i - 1
  // is in. The first problem in file order wins; later chunks are then skipped.
  std::mutex claimMutex;
  const char* next = p;
  std::size_t nClaimed = 0;
  bool interrupted = false;
  std::atomic<bool> stopped{false};
  std::mutex appendMutex;
  std::condition_variable appended;
  std::size_t nAppended = 0;

  const auto work = [&] {
    Cells chunk;
    chunk.Reset(layout_.names.size());
    for (;;) {
      const char* begin = nullptr;
      const char* chunkEnd = nullptr;
      std::size_t index = 0;
      {
        const std::lock_guard lock(claimMutex);
        if (stopped || next == end) return;
        if (ShouldStop()) {
          interrupted = true;
          stopped = true;
          return;
        }
        begin = next;
        chunkEnd = FindChunkEnd(
            begin, static_cast<std::size_t>(end - begin) > chunkBytes ? begin + chunkBytes : end, end);
        next = chunkEnd;
        index = nClaimed++;
      }
      chunk.Reset(layout_.names.size());
      Parser parser(layout_, chunk, 0);
      const bool parsed = parser.Parse(begin, chunkEnd, chunkEnd) != nullptr;
      std::unique_lock lock(appendMutex);
      appended.wait(lock, [&] { return nAppended == index; });
      if (!error_) {
        if (parsed) {
          Append(chunk, parser.GetLine());
          ReleasePagesBefore(chunkEnd);
        } else {
          Fail(parser.GetError(), line_, cells_.rowLines.size());
          stopped = true;
        }
      }
      ++nAppended;
      lock.unlock();
      appended.notify_all();
    }
  };
  const auto nThreads = static_cast<std::size_t>(options_.threads);
  std::vector<std::jthread> helpers;
  helpers.reserve(nThreads - 1);
  for (std::size_t i = 1; i < nThreads; ++i) helpers.emplace_back(work);
  work();
  for (std::jthread& helper : helpers) helper.join();
  if (interrupted) Fail("reading was interrupted");
}

Result<CsvTable> TableReader::ReadAll(std::string_view text, bool isMapped) {
  if (isMapped) mapping_ = released_ = text.data();
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  const char* p = text.data();
  const char* const end = p + text.size();
  if (ReadHeader(p, end, true) != HeaderState::Done || !hasHeader_ || !StartColumns()) return Finish();
  ReserveRows(p, end);
  const std::size_t chunkBytes = options_.chunkBytes > 0 ? options_.chunkBytes : kDefaultChunkBytes;
  if (options_.threads > 1 && static_cast<std::size_t>(end - p) > chunkBytes)
    ReadParallel(p, end);
  else
    ReadSequential(p, end);
  return Finish();
}

Result<CsvTable> TableReader::ReadStream(int fd) {
  std::vector<char> buffer(kPipeBlockBytes);
  std::size_t nFilled = 0;
  std::size_t nUsed = 0;
  bool eof = false;
  // Reads once more after the bytes held, doubling the buffer when a record fills it; false on an error.
  const auto readMore = [&] {
    if (ShouldStop()) {
      Fail("reading was interrupted");
      return false;
    }
    if (nFilled == buffer.size()) buffer.resize(2 * buffer.size());
    for (;;) {
      const ssize_t n = ::read(fd, buffer.data() + nFilled, buffer.size() - nFilled);
      if (n >= 0) {
        eof = n == 0;
        nFilled += static_cast<std::size_t>(n);
        return true;
      }
      if (errno != EINTR) {
        Fail(std::string("cannot read: ") + std::strerror(errno));
        return false;
      }
      if (ShouldStop()) {  // the signal may have been the user's interrupt
        Fail("reading was interrupted");
        return false;
      }
    }
  };
  for (;;) {
    if (!readMore()) return Finish();
    if (!eof && nFilled < kByteOrderMark.size()) continue;
    const std::string_view start(buffer.data(), nFilled);
    const char* p = buffer.data() + (start.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0);
    const HeaderState state = ReadHeader(p, buffer.data() + nFilled, eof);
    if (state == HeaderState::Incomplete) continue;
    if (state == HeaderState::Failed || !hasHeader_ || !StartColumns()) return Finish();
    nUsed = static_cast<std::size_t>(p - buffer.data());
    break;
  }
  Parser parser(layout_, cells_, line_);
  for (;;) {
    const char* const data = buffer.data() + nUsed;
    const char* const dataEnd = buffer.data() + nFilled;
    const char* const recordsEnd = eof ? dataEnd : FindLastRecordEnd(data, dataEnd);
    if (parser.Parse(data, recordsEnd, recordsEnd) == nullptr) {
      Fail(parser.GetError(), 0, 0);
      return Finish();
    }
    if (eof) break;
    nUsed = static_cast<std::size_t>(recordsEnd - buffer.data());
    std::memmove(buffer.data(), buffer.data() + nUsed, nFilled - nUsed);
    nFilled -= nUsed;
    nUsed = 0;
    if (!readMore()) return Finish();
  }
  return Finish();
}

void TableReader::CodeTextColumns(CsvTable& table) {
  for (std::size_t j = 0; j < table.columns.size(); ++j) {
    if (cells_.hasText[j] == 0) continue;
    std::unordered_map<std::string, int> codes;
    std::vector<std::string>& categories = table.categories[j];
    std::vector<double>& column = table.columns[j];
    for (std::size_t i = 0; i < column.size(); ++i) {
      std::string& text = cells_.texts[j][i];
      if (text.empty()) continue;  // missing stays missing
      auto [it, added] = codes.try_emplace(text, static_cast<int>(categories.size()));
      if (added) categories.push_back(text);
      column[i] = it->second;
    }
  }
}

Result<CsvTable> TableReader::Finish() {
  if (error_) return *error_;
  if (!hasHeader_) return InputError{fileName_ + ": the file is empty (no header row)"};
  if (cells_.rowLines.empty()) return InputError{fileName_ + ": the file has a header but no data rows"};
  CsvTable table;
  table.names = std::move(layout_.names);
  table.columns = std::move(cells_.values);
  table.categories.resize(table.names.size());
  table.rowLines = std::move(cells_.rowLines);
  CodeTextColumns(table);
  return table;
}

/// A file mapped into memory for reading; unmapped when destroyed.
class MappedFile {
 public:
  MappedFile(int fd, std::size_t size) : size_(size) {
    void* address = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (address == MAP_FAILED) return;
    address_ = address;
    ::madvise(address, size, MADV_SEQUENTIAL);
  }
  ~MappedFile() {
    if (address_ != nullptr) ::munmap(address_, size_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  bool IsMapped() const noexcept { return address_ != nullptr; }
  std::string_view Text() const noexcept { return {static_cast<const char*>(address_), size_}; }

 private:
  void* address_ = nullptr;
  std::size_t size_;
};

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
  return TableReader(displayName, options).ReadAll(text);
}

Result<CsvTable> ReadCsvFile(const std::string& path, const CsvOptions& options) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return InputError{path + ": cannot open: " + std::strerror(errno)};
  TableReader reader(path, options);
  std::optional<Result<CsvTable>> table;
  if (struct stat info{}; ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    if (info.st_size == 0) {
      table = reader.ReadAll({});
    } else if (const MappedFile file(fd, static_cast<std::size_t>(info.st_size)); file.IsMapped()) {
      table = reader.ReadAll(file.Text(), true);
    }
  }
  if (!table) table = reader.ReadStream(fd);
  ::close(fd);
  return std::move(*table);
}

}  // namespace kqcli
