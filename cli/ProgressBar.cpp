#include "cli/ProgressBar.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace kqcli {
namespace {

constexpr int kBarWidth = 30;

/// 950, 12.3k, 4.56M: a rate as a person reads it.
std::string HumanCount(double count) {
  char text[32];
  if (count >= 1e6)
    std::snprintf(text, sizeof text, "%.3gM", count / 1e6);
  else if (count >= 1e3)
    std::snprintf(text, sizeof text, "%.3gk", count / 1e3);
  else
    std::snprintf(text, sizeof text, "%.0f", count);
  return text;
}

}  // namespace

ProgressBar::ProgressBar(std::ostream& os, std::size_t nRecords, std::chrono::milliseconds minInterval)
    : os_(os),
      nRecords_(nRecords),
      minInterval_(minInterval),
      passStart_(Clock::now()),
      lastDraw_(passStart_) {}

void ProgressBar::ReportProgress(const KQCommon_850::ProgressReport& report) {
  const long nRead = report.DiscreteMeasure("records");
  if (nRead < 0) return;
  const Clock::time_point now = Clock::now();
  if (nRead < lastCount_) {  // the analysis started another pass over the records
    ++pass_;
    passStart_ = now;
  }
  lastCount_ = nRead;
  if (drawn_ && now - lastDraw_ < minInterval_) return;
  Draw(nRead, now);
}

void ProgressBar::Draw(long nRead, Clock::time_point now) {
  const double share =
      nRecords_ > 0 ? std::min(1.0, static_cast<double>(nRead) / static_cast<double>(nRecords_)) : 1.0;
  const int filled = static_cast<int>(share * kBarWidth);
  const double seconds = std::chrono::duration<double>(now - passStart_).count();
  std::string line = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                     std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] ";
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, "%3.0f%% %ld/%zu records", share * 100.0, nRead, nRecords_);
  line += numbers;
  if (seconds > 0.0)
    line.append("  ").append(HumanCount(static_cast<double>(nRead) / seconds)).append(" records/s");
  if (pass_ > 1) line.append("  pass ").append(std::to_string(pass_));
  os_ << line << "\033[K" << std::flush;  // erase what a longer earlier line left behind
  drawn_ = true;
  lastDraw_ = now;
}

void ProgressBar::Finish() {
  if (drawn_) os_ << "\r\033[K" << std::flush;
  drawn_ = false;
}

}  // namespace kqcli
