#include "cli/CsvReader.h"

// The reader of a whole input: the header, then the data rows. An input held in memory (a string or a
// mapped file) is cut into chunks whose rows have their places in the columns before any is parsed,
// and the chunks are parsed on the threads asked for; a pipe is parsed block by block on one thread.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <cstring>
#include <optional>

#include "cli/csv/ChunkParsing.h"
#include "cli/csv/Chunks.h"
#include "cli/csv/Columns.h"
#include "cli/csv/Fields.h"
#include "cli/csv/Memory.h"
#include "cli/csv/Parser.h"

namespace kqcli {
namespace {

using csv::Chunk;
using csv::ChunkResult;
using csv::ChunkState;
using csv::Field;
using csv::FieldProblem;
using csv::ParseError;
using csv::ParseOutcome;
using csv::Parser;

constexpr std::size_t kPipeBlockBytes = std::size_t{1} << 20;
constexpr std::size_t kDefaultChunkBytes = std::size_t{1} << 20;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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
  /// Parses the chunks into the columns and closes up the rows; false, with no rows, when a chunk
  /// has more records than slots.
  bool ReadChunks(const std::vector<Chunk>& chunks, int nThreads, csv::PageReleaser& releaser);
  /// Parses the records of one block of a pipe after the rows read so far; false after a problem.
  bool ReadBlock(const char* p, const char* end, std::vector<char>& hasText);
  bool ShouldStop() const { return options_.shouldStop && options_.shouldStop(); }
  void Fail(std::string message) {
    if (!error_) error_ = InputError{fileName_ + ": " + std::move(message)};
  }
  /// A parser's problem, its line moved by lineShift and its row counted after rowBase rows.
  void Fail(const ParseError& error, std::ptrdiff_t lineShift, std::size_t rowBase) {
    std::string message = "line " + std::to_string(static_cast<std::ptrdiff_t>(error.line) + lineShift);
    if (error.row) message += " (data row " + std::to_string(rowBase + *error.row + 1) + ")";
    Fail(message + error.rest);
  }
  Result<CsvTable> Finish();

  std::string fileName_;
  const CsvOptions& options_;
  std::optional<InputError> error_;
  bool hasHeader_ = false;
  csv::Layout layout_;
  csv::ColumnStore store_;
  std::size_t line_ = 1;  ///< the line after the header
};

TableReader::HeaderState TableReader::ReadHeader(const char*& p, const char* end, bool eof) {
  std::size_t line = 1;
  const char* q = p;
  for (;;) {  // blank lines before the header
    const char* r = q;
    while (r < end && csv::IsBlank(*r)) ++r;
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
    const Field field = csv::ScanField(q, end, scratch);
    if (field.problem == FieldProblem::Unclosed) {
      if (!eof) return HeaderState::Incomplete;
      Fail("line " + std::to_string(recordLine) +
           ": a quoted field is not closed before the end of the file");
      return HeaderState::Failed;
    }
    if (field.problem == FieldProblem::MalformedQuotes) {
      Fail("line " + std::to_string(line) + ", column " + std::to_string(names.size() + 1) +
           std::string(csv::kMalformedQuotes));
      return HeaderState::Failed;
    }
    names.emplace_back(csv::Trim(field.text));
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
  store_.Start(layout_.uses);
  return true;
}

bool TableReader::ReadChunks(const std::vector<Chunk>& chunks, int nThreads, csv::PageReleaser& releaser) {
  store_.Resize(chunks.back().firstSlot + chunks.back().nSlots, nThreads);
  const csv::ChunkCallbacks callbacks{[this] { return ShouldStop(); },
                                      [&releaser](const char* p) { releaser.ReleaseBefore(p); }};
  const std::vector<ChunkResult> results = csv::ParseChunks(chunks, layout_, store_, nThreads, callbacks);
  // The first chunk that is not parsed decides; before it, each chunk's rows move down to follow the
  // rows before them (they fill fewer slots than there are line feeds when there are blank lines or
  // line feeds in quotes), and its lines move by the lone carriage returns of the chunks before it.
  std::size_t nRows = 0;
  std::ptrdiff_t lineShift = 0;
  for (std::size_t k = 0; k < chunks.size(); ++k) {
    const Chunk& chunk = chunks[k];
    const ChunkResult& result = results[k];
    switch (result.state) {
      case ChunkState::Parsed:
        break;
      case ChunkState::Failed:
        Fail(*result.error, lineShift, nRows);
        return true;
      case ChunkState::OutOfSlots:
        store_.Start(layout_.uses);
        return false;
      case ChunkState::Interrupted:
      case ChunkState::Pending:
        Fail("reading was interrupted");
        return true;
    }
    if (lineShift != 0) store_.ShiftLines(chunk.firstSlot, result.nRows, lineShift);
    store_.MoveRows(chunk.firstSlot, result.nRows, nRows);
    nRows += result.nRows;
    lineShift += static_cast<std::ptrdiff_t>(result.nLines) - static_cast<std::ptrdiff_t>(chunk.nLineFeeds);
  }
  store_.Resize(nRows, 1);
  return true;
}

Result<CsvTable> TableReader::ReadAll(std::string_view text, bool isMapped) {
  csv::PageReleaser releaser(isMapped ? text.data() : nullptr);
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  const char* p = text.data();
  const char* const end = p + text.size();
  if (ReadHeader(p, end, true) != HeaderState::Done || !hasHeader_ || !StartColumns()) return Finish();
  const int nThreads = std::max(options_.threads, 1);
  const std::size_t chunkBytes = options_.chunkBytes > 0 ? options_.chunkBytes : kDefaultChunkBytes;
  if (!ReadChunks(csv::CutIntoChunks(p, end, chunkBytes, line_, nThreads, isMapped), nThreads, releaser))
    ReadChunks({csv::WholeChunk(p, end, line_)}, 1, releaser);  // lone carriage returns end records
  return Finish();
}

bool TableReader::ReadBlock(const char* p, const char* end, std::vector<char>& hasText) {
  // The block's records get a slot for every line feed and carriage return in it (at least one per
  // record); the slots they did not fill are dropped again.
  const std::size_t nRows = store_.GetNRows();
  const std::size_t nSlots = csv::CountLineEndBytes(p, end) + 1;
  store_.Resize(nRows + nSlots, 1);
  Parser parser(layout_, store_.Slots(nRows, nSlots), line_, hasText);
  const ParseOutcome outcome = parser.Parse(p, end);
  assert(outcome != ParseOutcome::OutOfSlots);  // each record ends at a counted byte or at the end
  if (outcome == ParseOutcome::Failed) {
    Fail(parser.GetError(), 0, nRows);
    return false;
  }
  line_ = parser.GetLine();
  store_.Resize(nRows + parser.GetNRows(), 1);
  return true;
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
  std::vector<char> hasText(layout_.names.size(), 0);
  for (;;) {
    const char* const data = buffer.data() + nUsed;
    const char* const dataEnd = buffer.data() + nFilled;
    const char* const recordsEnd = eof ? dataEnd : csv::FindLastRecordEnd(data, dataEnd);
    if (!ReadBlock(data, recordsEnd, hasText)) return Finish();
    if (eof) break;
    nUsed = static_cast<std::size_t>(recordsEnd - buffer.data());
    std::memmove(buffer.data(), buffer.data() + nUsed, nFilled - nUsed);
    nFilled -= nUsed;
    nUsed = 0;
    if (!readMore()) return Finish();
  }
  store_.AddHasText(hasText);
  return Finish();
}

Result<CsvTable> TableReader::Finish() {
  if (error_) return *error_;
  if (!hasHeader_) return InputError{fileName_ + ": the file is empty (no header row)"};
  if (store_.GetNRows() == 0) return InputError{fileName_ + ": the file has a header but no data rows"};
  CsvTable table;
  table.names = std::move(layout_.names);
  store_.MoveInto(table);
  return table;
}

}  // namespace

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
    } else if (const csv::MappedFile file(fd, static_cast<std::size_t>(info.st_size)); file.IsMapped()) {
      table = reader.ReadAll(file.Text(), true);
    }
  }
  if (!table) table = reader.ReadStream(fd);
  ::close(fd);
  return std::move(*table);
}

}  // namespace kqcli
