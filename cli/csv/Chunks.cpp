#include "cli/csv/Chunks.h"

#include "cli/csv/Memory.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace kqcli::csv {
namespace {

/// Bytes of a run counted into byte-wide counters: such a loop becomes byte-wide vector compares and
/// adds, several times faster than counting into a wider type. The most a byte counter holds, 255,
/// rounded down to a whole number of 16- and 32-byte vectors, so that no run ends in a byte-by-byte
/// tail.
constexpr std::ptrdiff_t kRun = 240;

/// The first line feed outside quotes at or after p, where inQuotes tells whether p is inside quotes;
/// past that line feed, or end when there is none.
const char* FindRecordEnd(const char* p, const char* end, bool inQuotes) noexcept {
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

std::size_t CountLineFeeds(const char* p, const char* end) noexcept {
  return static_cast<std::size_t>(std::count(p, end, '\n'));
}

}  // namespace

ByteCounts CountQuotesAndLineFeeds(const char* p, const char* end) noexcept {
  ByteCounts counts;
  for (; end - p >= kRun; p += kRun) {
    unsigned char nQuotes = 0;
    unsigned char nLineFeeds = 0;
    for (std::ptrdiff_t i = 0; i < kRun; ++i) {
      nQuotes = static_cast<unsigned char>(nQuotes + (p[i] == '"' ? 1 : 0));
      nLineFeeds = static_cast<unsigned char>(nLineFeeds + (p[i] == '\n' ? 1 : 0));
    }
    counts.nQuotes += nQuotes;
    counts.nLineFeeds += nLineFeeds;
  }
  for (; p < end; ++p) {
    counts.nQuotes += *p == '"' ? 1 : 0;
    counts.nLineFeeds += *p == '\n' ? 1 : 0;
  }
  return counts;
}

std::size_t CountLineEndBytes(const char* p, const char* end) noexcept {
  std::size_t n = 0;
  for (; p < end; ++p) n += (*p == '\n' || *p == '\r') ? 1 : 0;
  return n;
}

std::vector<Chunk> CutIntoChunks(const char* begin, const char* end, std::size_t chunkBytes,
                                 std::size_t firstLine, int nThreads, bool releaseCounted) {
  const auto nBytes = static_cast<std::size_t>(end - begin);
  const std::size_t nBlocks = std::max<std::size_t>((nBytes + chunkBytes - 1) / chunkBytes, 1);
  const auto blockStart = [&](std::size_t block) { return begin + std::min(block * chunkBytes, nBytes); };

  // The counts of each block; threads take runs of blocks.
  std::vector<ByteCounts> blocks(nBlocks);
  const auto countBlocks = [&](std::size_t first, std::size_t last) {
    for (std::size_t block = first; block < last; ++block) {
      blocks[block] = CountQuotesAndLineFeeds(blockStart(block), blockStart(block + 1));
      if (releaseCounted) ReleasePagesWithin(blockStart(block), blockStart(block + 1));
    }
  };
  const auto nWorkers = std::min<std::size_t>(static_cast<std::size_t>(std::max(nThreads, 1)), nBlocks);
  {
    std::vector<std::jthread> helpers;
    helpers.reserve(nWorkers - 1);
    for (std::size_t w = 1; w < nWorkers; ++w)
      helpers.emplace_back(countBlocks, nBlocks * w / nWorkers, nBlocks * (w + 1) / nWorkers);
    countBlocks(0, nBlocks / nWorkers);
  }

  // Walks the block boundaries with the quotes and line feeds before each; a boundary that an earlier
  // chunk has passed (a long record or quoted field) is skipped.
  std::vector<Chunk> chunks;
  chunks.reserve(nBlocks);
  const char* chunkBegin = begin;
  std::size_t lineFeedsBeforeChunk = 0;
  std::size_t slotsBefore = 0;
  std::size_t quotesBeforeBlock = 0;
  std::size_t lineFeedsBeforeBlock = 0;
  const auto addChunk = [&](const char* chunkEnd, std::size_t lineFeedsBeforeEnd) {
    const std::size_t nLineFeeds = lineFeedsBeforeEnd - lineFeedsBeforeChunk;
    const std::size_t nSlots = nLineFeeds + (chunkEnd == end ? 1 : 0);
    chunks.push_back(
        {chunkBegin, chunkEnd, slotsBefore, nSlots, nLineFeeds, firstLine + lineFeedsBeforeChunk});
    slotsBefore += nSlots;
    chunkBegin = chunkEnd;
    lineFeedsBeforeChunk = lineFeedsBeforeEnd;
  };
  for (std::size_t block = 0; block < nBlocks; ++block) {
    const char* const target = blockStart(block + 1);
    quotesBeforeBlock += blocks[block].nQuotes;
    lineFeedsBeforeBlock += blocks[block].nLineFeeds;
    if (target <= chunkBegin) continue;
    if (target == end) break;
    const char* const chunkEnd = FindRecordEnd(target, end, quotesBeforeBlock % 2 != 0);
    if (chunkEnd == end) break;
    // The line feeds before chunkEnd: those before the block after target's, plus those from the
    // start of the block that holds chunkEnd.
    const auto endBlock = static_cast<std::size_t>(chunkEnd - begin) / chunkBytes;
    std::size_t lineFeedsBeforeEnd = lineFeedsBeforeBlock;
    for (std::size_t b = block + 1; b < endBlock; ++b) lineFeedsBeforeEnd += blocks[b].nLineFeeds;
    lineFeedsBeforeEnd += CountLineFeeds(blockStart(std::max(endBlock, block + 1)), chunkEnd);
    addChunk(chunkEnd, lineFeedsBeforeEnd);
  }
  std::size_t lineFeedsBeforeEnd = 0;
  for (const ByteCounts& counts : blocks) lineFeedsBeforeEnd += counts.nLineFeeds;
  if (chunkBegin < end || chunks.empty()) addChunk(end, lineFeedsBeforeEnd);
  return chunks;
}

Chunk WholeChunk(const char* begin, const char* end, std::size_t firstLine) noexcept {
  return {begin, end, 0, CountLineEndBytes(begin, end) + 1, CountLineFeeds(begin, end), firstLine};
}

const char* FindLastRecordEnd(const char* begin, const char* end) noexcept {
  const bool oddTotal = CountQuotesAndLineFeeds(begin, end).nQuotes % 2 != 0;
  bool oddAfter = false;
  for (const char* p = end; p > begin; --p) {
    if (p[-1] == '"') oddAfter = !oddAfter;
    if (p[-1] == '\n' && oddTotal == oddAfter) return p;
  }
  return begin;
}

}  // namespace kqcli::csv
