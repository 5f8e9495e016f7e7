#include "cli/csv/ChunkParsing.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace kqcli::csv {

std::vector<ChunkResult> ParseChunks(const std::vector<Chunk>& chunks, const Layout& layout,
                                     ColumnStore& store, int nThreads, const ChunkCallbacks& callbacks) {
  std::vector<ChunkResult> results(chunks.size());
  // Guards the claims, the results' states and the progress of the parsed prefix; a thread holds it
  // only between chunks.
  std::mutex mutex;
  std::size_t nClaimed = 0;
  std::size_t nParsedPrefix = 0;
  bool stopped = false;

  const auto work = [&] {
    std::vector<char> hasText(layout.names.size(), 0);
    for (;;) {
      std::size_t index = 0;
      {
        const std::lock_guard lock(mutex);
        if (stopped || nClaimed == chunks.size()) break;
        index = nClaimed++;
        if (callbacks.shouldStop && callbacks.shouldStop()) {
          results[index].state = ChunkState::Interrupted;
          stopped = true;
          break;
        }
      }
      const Chunk& chunk = chunks[index];
      Parser parser(layout, store.Slots(chunk.firstSlot, chunk.nSlots), chunk.firstLine, hasText);
      const ParseOutcome outcome = parser.Parse(chunk.begin, chunk.end);
      ChunkResult& result = results[index];
      const std::lock_guard lock(mutex);
      result.nRows = parser.GetNRows();
      result.nLines = parser.GetLine() - chunk.firstLine;
      switch (outcome) {
        case ParseOutcome::Done:
          result.state = ChunkState::Parsed;
          break;
        case ParseOutcome::Failed:
          result.state = ChunkState::Failed;
          result.error = parser.GetError();
          stopped = true;
          break;
        case ParseOutcome::OutOfSlots:
          result.state = ChunkState::OutOfSlots;
          stopped = true;
          break;
      }
      const std::size_t before = nParsedPrefix;
      while (nParsedPrefix < chunks.size() && results[nParsedPrefix].state == ChunkState::Parsed)
        ++nParsedPrefix;
      if (nParsedPrefix > before && callbacks.onParsedUpTo)
        callbacks.onParsedUpTo(chunks[nParsedPrefix - 1].end);
    }
    const std::lock_guard lock(mutex);
    store.AddHasText(hasText);
  };
  const std::size_t nWorkers =
      std::min(static_cast<std::size_t>(std::max(nThreads, 1)), std::max<std::size_t>(chunks.size(), 1));
  std::vector<std::jthread> helpers;
  helpers.reserve(nWorkers - 1);
  for (std::size_t w = 1; w < nWorkers; ++w) helpers.emplace_back(work);
  work();
  for (std::jthread& helper : helpers) helper.join();
  return results;
}

}  // namespace kqcli::csv
