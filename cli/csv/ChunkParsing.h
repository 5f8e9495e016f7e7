#pragma once
// Parsing the chunks of an input on several threads. Each thread claims the next chunk in file order
// and writes its rows straight into the chunk's slots of the columns, so that no thread waits for
// another while parsing and no cell is copied afterwards.

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "cli/csv/Chunks.h"
#include "cli/csv/Columns.h"
#include "cli/csv/Parser.h"

namespace kqcli::csv {

enum class ChunkState { Pending, Parsed, Failed, OutOfSlots, Interrupted };

struct ChunkResult {
  ChunkState state = ChunkState::Pending;
  std::size_t nRows = 0;   ///< records written to the chunk's slots
  std::size_t nLines = 0;  ///< lines the chunk spans, as the parser counts them
  std::optional<ParseError> error;
};

struct ChunkCallbacks {
  /// Asked before each chunk is claimed, by one thread at a time; true stops the parsing.
  std::function<bool()> shouldStop;
  /// Called, by one thread at a time, with the end of the chunks from the first that are all parsed.
  std::function<void(const char*)> onParsedUpTo;
};

/// Parses the chunks on nThreads threads, the caller's among them. Once a chunk fails or runs out of
/// slots, or the reading is stopped, the chunks after it are not claimed; every chunk before the
/// first that is not Parsed is Parsed.
std::vector<ChunkResult> ParseChunks(const std::vector<Chunk>& chunks, const Layout& layout,
                                     ColumnStore& store, int nThreads, const ChunkCallbacks& callbacks);

}  // namespace kqcli::csv
