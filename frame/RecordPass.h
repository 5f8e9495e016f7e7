#pragma once
// RecordPass: the one loop over the records that every analysis runs. It starts a pass, reads each
// record's values once, decides the case weight and the missing-value screening, hands the usable
// records to the analysis, reports progress every GetProgressFrequency() counted records and once more
// at the end, and polls cancellation before each record.

#include <utility>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQMV.h"
#include "companion/Progress.h"
#include "companion/Record.h"
#include "frame/BSNConst.h"
#include "frame/BSNReporter.h"
#include "frame/BSNSettings.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "frame/RecordValues.h"

namespace KQBSN_850 {

/// Which records count toward progress.
enum class ProgressCount {
  UsedRecords,  ///< only the records handed to the analysis
  EveryRecord,  ///< every record read, whatever its weight or missing values
};

/// Where analyses differ in their passes.
struct PassOptions {
  /// Ask the host about cancellation before each record; off for analyses that look only after the
  /// computation.
  bool pollCancelPerRecord = true;
  /// A null record ends the pass; otherwise it is skipped and the pass goes on.
  bool nullRecordEndsPass = true;
  /// The weights read from each record; a record whose weight is not usable is not handed on.
  WeightRule weights = WeightRule::Frequency;
  ProgressCount progress = ProgressCount::UsedRecords;
  /// MissingListwise: a record with a missing or NaN value on any screened variable is not handed on.
  /// MissingAnalysis: every record is handed on, and the analysis skips missing values per variable
  /// (or per pair).
  BSNConst::MissScope missScope = BSNConst::MissScope::MissingAnalysis;
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

/// The one loop over the records. It decides each record's case weight (frequency, or frequency and
/// regression, from the settings' weight variables), screens missing values listwise over a list of
/// variables when asked, hands each usable record's values and weight to the analysis, reports progress
/// to the listener it was given, and polls cancellation.
class RecordPass {
 public:
  /// A pass with the settings' weight variables and progress frequency; `screenedVars` are the
  /// variables a listwise pass screens (ignored otherwise).
  RecordPass(const BSNSettings& settings, KQCommon_850::KQCancelInfo& cancel,
             KQCommon_850::ProgressListener* listener, PassOptions options = {},
             std::vector<int> screenedVars = {})
      : cancel_(cancel),
        progress_(listener, settings.GetProgressFrequency()),
        options_(options),
        weigh_(options.weights, settings.GetFrequencyWeightVar(), settings.GetRegrWeightVar()),
        screenedVars_(options.missScope == BSNConst::MissScope::MissingListwise ? std::move(screenedVars)
                                                                                : std::vector<int>{}) {}

  /// Runs one pass: visit(const std::vector<double>& values, const CaseWeight& weight) is called for
  /// each non-null record whose weight is usable and which passes the screening. Returns OK, or the
  /// cancelled status (code 1) when the host asked to stop; in that case no final progress report is
  /// made.
  template <class Visit>
  KQCommon_850::KQStatus Run(KQCommon_850::MultiPassRecordIter& iter, Visit&& visit) {
    progress_.Restart();
    iter.StartPass();
    // The options and the weigher as local copies: the calls to the host's iterator could otherwise
    // change them as far as the compiler knows, and their fields would be read again for every record.
    const PassOptions options = options_;
    const CaseWeigher weigh = weigh_;
    const bool screens = !screenedVars_.empty();
    while (iter.HasNext()) {
      if (options.pollCancelPerRecord && cancel_.IsCancel())
        return KQCommon_850::KQStatus(BSN_STATUS_CANCELLED, false);
      const KQCommon_850::Record* record = iter.NextRecord();
      if (record == nullptr) {
        if (options.nullRecordEndsPass) break;
        continue;
      }
      const std::vector<double>& values = record->GetAll();
      const CaseWeight weight = weigh(values);
      const bool used = weight.IsUsable() && (!screens || PassesScreen(values));
      if (used) visit(values, weight);
      if (used || options.progress == ProgressCount::EveryRecord) progress_.Count();
    }
    progress_.Finish();
    return KQCommon_850::KQStatus();
  }

 private:
  bool PassesScreen(const std::vector<double>& values) const noexcept {
    for (int var : screenedVars_)
      if (KQCommon_850::KQMV::IsMissingOrNaN(detail::ValueAt(values, var))) return false;
    return true;
  }

  KQCommon_850::KQCancelInfo& cancel_;
  ProgressCountdown progress_;
  PassOptions options_;
  CaseWeigher weigh_;
  std::vector<int> screenedVars_;
};

}  // namespace KQBSN_850
