#pragma once
// RecordPass: the one loop over the records that every analysis runs. It starts a pass, hands
// each record's values to the analysis (read once per record), counts the records the analysis
// says it used, reports progress every GetProgressFrequency() of them and once more at the end,
// and polls cancellation before each record.

#include <vector>

#include "companion/KQCancel.h"
#include "companion/Progress.h"
#include "companion/Record.h"
#include "frame/BSNReporter.h"
#include "frame/BSNSettings.h"
#include "frame/BSNStatusCodes.h"

namespace KQBSN_850 {

/// Where analyses differ in their passes.
struct PassOptions {
  /// Ask the host about cancellation before each record; off for analyses that look only after the
  /// computation.
  bool pollCancelPerRecord = true;
  /// A null record ends the pass; otherwise it is skipped and the pass goes on.
  bool nullRecordEndsPass = true;
};

/// Reports the count of used records to a listener every `frequency` records, and once more at the
/// end when records were counted since the last report. Without a listener it only counts.
class ProgressCountdown {
 public:
  ProgressCountdown(KQCommon_850::ProgressListener* listener, int frequency) noexcept
      : listener_(listener), frequency_(frequency > 0 ? frequency : 1), countdown_(frequency_) {}
  void Count() {
    ++nUsed_;
    if (--countdown_ == 0) {
      Report();
      countdown_ = frequency_;
    }
  }
  void Finish() {
    if (countdown_ < frequency_) Report();
    countdown_ = frequency_;
  }
  /// Starts counting again from 0.
  void Restart() noexcept {
    nUsed_ = 0;
    countdown_ = frequency_;
  }
  int GetNUsed() const noexcept { return nUsed_; }

 private:
  void Report() {
    if (listener_ == nullptr) return;
    reporter_.SetNRecords(nUsed_);
    listener_->ReportProgress(reporter_);
  }

  KQCommon_850::ProgressListener* listener_;
  int frequency_;
  int countdown_;
  int nUsed_ = 0;
  BSNReporter reporter_;
};

/// True when the data set holds a record; rewinds the iterator first, so that an iterator another
/// reader left at its end still counts its records.
inline bool HasAnyRecord(KQCommon_850::MultiPassRecordIter& iter) {
  iter.StartPass();
  return iter.HasNext();
}

class RecordPass {
 public:
  RecordPass(const BSNSettings& settings, KQCommon_850::KQCancelInfo& cancel,
             KQCommon_850::ProgressListener* listener, PassOptions options = {}) noexcept
      : cancel_(cancel), progress_(listener, settings.GetProgressFrequency()), options_(options) {}

  /// Runs one pass: visit(const std::vector<double>& values) returns true when the record counts as
  /// used. Returns OK, or the cancelled status (code 1) when the host asked to stop; in that case
  /// no final progress report is made.
  template <class Visit>
  KQCommon_850::KQStatus Run(KQCommon_850::MultiPassRecordIter& iter, Visit&& visit) {
    progress_.Restart();
    iter.StartPass();
    while (iter.HasNext()) {
      if (options_.pollCancelPerRecord && cancel_.IsCancel())
        return KQCommon_850::KQStatus(BSN_STATUS_CANCELLED, false);
      const KQCommon_850::Record* record = iter.NextRecord();
      if (record == nullptr) {
        if (options_.nullRecordEndsPass) break;
        continue;
      }
      if (visit(record->GetAll())) progress_.Count();
    }
    progress_.Finish();
    return KQCommon_850::KQStatus();
  }

  /// Records counted as used in the last pass.
  int GetNUsed() const noexcept { return progress_.GetNUsed(); }

 private:
  KQCommon_850::KQCancelInfo& cancel_;
  ProgressCountdown progress_;
  PassOptions options_;
};

}  // namespace KQBSN_850
