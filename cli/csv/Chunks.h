#pragma once
// Cutting the data rows of a file held in memory into chunks of whole records that threads parse
// independently. One counting pass over the bytes gives, per block of the requested size, its quotes
// and line feeds; a chunk ends at the first line feed outside quotes after a block boundary, and the
// line feeds before it give each chunk the first row slot and line number it starts at, so that a
// thread writes its rows straight to their place in the columns.

#include <cstddef>
#include <vector>

namespace kqcli::csv {

struct ByteCounts {
  std::size_t nQuotes = 0;
  std::size_t nLineFeeds = 0;
};

/// The quotes and line feeds in [p, end).
ByteCounts CountQuotesAndLineFeeds(const char* p, const char* end) noexcept;

/// Line feeds plus carriage returns in [p, end): at least the number of records there, whatever the
/// line ends.
std::size_t CountLineEndBytes(const char* p, const char* end) noexcept;

/// A run of whole records and the row slots it may fill.
struct Chunk {
  const char* begin;
  const char* end;
  std::size_t firstSlot;   ///< the row slot of its first record
  std::size_t nSlots;      ///< its line feeds, and one more for the last chunk
  std::size_t nLineFeeds;  ///< its line feeds, which are its lines unless it has lone carriage returns
  std::size_t firstLine;   ///< the line it starts on, counting line feeds only
};

/// Cuts [begin, end), which starts outside quotes on line firstLine, into chunks of about chunkBytes,
/// counting on up to nThreads threads. Every record ends with a line feed, a carriage return or the
/// end of the input, so a chunk's slots hold its records unless it has lone carriage returns; a reader
/// that runs out of slots must read the input as one chunk of WholeChunk. In a file whose quoting is
/// well formed every chunk ends at a record end; where it is not, the chunk that holds the first bad
/// quote reports it, and what follows is never used.
/// With releaseCounted, [begin, end) is a mapped file whose pages are given back once counted, so that
/// the counting does not make the whole file resident ahead of the parsing.
std::vector<Chunk> CutIntoChunks(const char* begin, const char* end, std::size_t chunkBytes,
                                 std::size_t firstLine, int nThreads, bool releaseCounted = false);

/// The whole of [begin, end) as one chunk with a slot for every line feed and carriage return.
Chunk WholeChunk(const char* begin, const char* end, std::size_t firstLine) noexcept;

/// After the last line feed outside quotes in [begin, end), begin reading outside quotes; begin when
/// there is none.
const char* FindLastRecordEnd(const char* begin, const char* end) noexcept;

}  // namespace kqcli::csv
