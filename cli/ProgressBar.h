#pragma once
// ProgressBar: a ProgressListener that draws, on one line of a terminal, how many records the
// analysis has read, the share of the data that is, and the rate. It redraws at most every
// minInterval so that a fast analysis does not spend its time on the terminal, and notices a new
// pass over the records when the count falls. Finish() clears the line.

#include <chrono>
#include <cstddef>
#include <ostream>

#include "companion/Progress.h"

namespace kqcli {

class ProgressBar final : public KQCommon_850::ProgressListener {
 public:
  ProgressBar(std::ostream& os, std::size_t nRecords,
              std::chrono::milliseconds minInterval = std::chrono::milliseconds(100));

  void ReportProgress(const KQCommon_850::ProgressReport& report) override;
  /// Clears the bar's line, if anything was drawn.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;
  void Draw(long nRead, Clock::time_point now);

  std::ostream& os_;
  std::size_t nRecords_;
  std::chrono::milliseconds minInterval_;
  Clock::time_point passStart_;
  Clock::time_point lastDraw_;
  long lastCount_ = 0;
  int pass_ = 1;
  bool drawn_ = false;
};

}  // namespace kqcli
