#pragma once
// RecordPass: the one loop over the records that every analysis runs. It starts a pass, reads each
// record's values once, decides the case weight and the missing-value screening, hands the usable
// records to the analysis, reports progress every GetProgressFrequency() counted records and once more
// at the end, and asks the host about cancellation before each record.

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

/// Reports a count of used records to a listener; without a listener it does nothing. The pass keeps
/// the count itself, in a local variable, and calls Report every `Frequency()` records.
class PassProgress {
 public:
  PassProgress(KQCommon_850::ProgressListener* listener, int frequency) noexcept
      : listener_(listener), frequency_(frequency > 0 ? frequency : 1) {}
  int Frequency() const noexcept { return frequency_; }
  void Report(int nUsed) {
    if (listener_ == nullptr) return;
    reporter_.SetNRecords(nUsed);
    listener_->ReportProgress(reporter_);
  }

 private:
  KQCommon_850::ProgressListener* listener_;
  int frequency_;
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
    iter.StartPass();
    // The options, the weigher and the counts as locals: the calls to the host's iterator could
    // otherwise change them as far as the compiler knows, and they would be read from memory and
    // written back for every record.
    const PassOptions options = options_;
    const CaseWeigher weigh = weigh_;
    const bool screens = !screenedVars_.empty();
    // The host is asked before each record when it gave a query. Without one, only an answer given
    // before the pass can stop it, and that is looked at once.
    const bool askEach = options.pollCancelPerRecord && cancel_.GetCancelPtr() != nullptr;
    if (options.pollCancelPerRecord && !askEach && cancel_.WillCancel() && iter.HasNext())
      return KQCommon_850::KQStatus(BSN_STATUS_CANCELLED, false);
    int counted = 0, nextReport = progress_.Frequency();
    while (iter.HasNext()) {
      if (askEach && cancel_.IsCancel()) return KQCommon_850::KQStatus(BSN_STATUS_CANCELLED, false);
      const KQCommon_850::Record* record = iter.NextRecord();
      if (record == nullptr) {
        if (options.nullRecordEndsPass) break;
        continue;
      }
      const std::vector<double>& values = record->GetAll();
      const CaseWeight weight = weigh(values);
      const bool used = weight.IsUsable() && (!screens || PassesScreen(values));
      if (used) visit(values, weight);
      if ((used || options.progress == ProgressCount::EveryRecord) && ++counted == nextReport) {
        progress_.Report(counted);
        nextReport += progress_.Frequency();
      }
    }
    // The final report, when records were counted since the last one.
    if (counted > nextReport - progress_.Frequency()) progress_.Report(counted);
    return KQCommon_850::KQStatus();
  }

 private:
  bool PassesScreen(const std::vector<double>& values) const noexcept {
    for (int var : screenedVars_)
      if (KQCommon_850::KQMV::IsMissingOrNaN(detail::ValueAt(values, var))) return false;
    return true;
  }

  KQCommon_850::KQCancelInfo& cancel_;
  PassProgress progress_;
  PassOptions options_;
  CaseWeigher weigh_;
  std::vector<int> screenedVars_;
};

}  // namespace KQBSN_850
