#pragma once
// Pieces that the binomial and the Poisson one-sample analyses share: the weighted sums of one pass
// over the records, the per-variable prior lists, and the build steps around their two calculators.
//
// Both analyses count a value for its variable when it is present and not negative; each variable
// has its own valid cases. A record whose rounded frequency weight is 0 is skipped entirely and does
// not count toward progress. Cancellation is asked once, after the computation; a cancelled build
// ends with the error BSN_STATUS_CANCELLED and no result record, keeping the warnings it listed.

#include <cstddef>
#include <memory>
#include <vector>

#include "frame/BSNAlgorithm.h"
#include "frame/BayesEstimation.h"
#include "frame/RecordPass.h"
#include "frame/detail/FactorStore.h"
#include "frame/detail/SummaryLists.h"

namespace KQBSN_850::detail {

/// Sums of one test variable over the records in which its value counts.
struct CountSums {
  double nRecords = 0.0;          ///< records counted, each once whatever its weight
  double weightSum = 0.0;         ///< n: the sum of the case weights
  double valueSum = 0.0;          ///< the sum of the values, unweighted
  double weightedValueSum = 0.0;  ///< s (successes) or S (total count): the sum of weight times value
  double zeroWeightSum = 0.0;     ///< the sum of the case weights of the values equal to 0
  double smallest = -1.0;         ///< the smallest value counted; -1 until one is
  double largest = -1.0;          ///< the largest value counted; -1 until one is

  void Add(double value, double weight) noexcept;
};

/// Whether a value counts for its variable: present, not NaN and not negative.
inline bool IsCountedValue(double x) noexcept { return !KQCommon_850::KQMV::IsMissingOrNaN(x) && x >= 0.0; }

/// How a counted value enters the sums: as it is, or rounded down to a whole count.
enum class CountRounding { AsIs, Floor };

/// One pass over the records adding, for each record with a positive frequency weight w, every
/// counted value of the test variables `vars` with weight w to its entry of `sums` (resized to
/// vars.size() and zeroed first). Returns the pass's error status, else BSN_NO_VALID_CASES when no
/// variable reached a weight sum of 1 (also when there is no variable), else OK.
KQCommon_850::KQStatus ReadCountSums(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter,
                                     const std::vector<int>& vars, CountRounding rounding,
                                     std::vector<CountSums>& sums);

/// Entry i of a per-variable prior list; missing past the end of a list the host left short.
double PriorEntry(const std::vector<double>& list, std::size_t i) noexcept;

/// Entry i of a null prior list, 2.0 where it is missing.
double NullPriorEntry(const std::vector<double>& list, std::size_t i) noexcept;

/// OK when the posterior can be computed: a conjugate prior with both parameters present. Otherwise
/// the error BSN_PRIOR_NOT_SUPPORTED or BSN_BAD_PARAMETER.
KQCommon_850::KQStatus CheckConjugatePrior(const BSNSettings& settings);

/// The build of a count analysis:
/// 1. an iterator without any record ends the build with BSN_NO_VALID_CASES;
/// 2. Bayes Factor or Both: the Bayes-factor calculator reads the records and computes; a warning it
///    returns is listed; for Both, a posterior calculator then computes from the same sums;
/// 3. any other analysis type: the posterior calculator reads the records and computes;
/// 4. a returned warning is listed; without an error, and unless the host cancelled, the result
///    record is made.
class OneSampleCountAnalysis : public BSNAlgorithm {
 public:
  using BSNAlgorithm::BSNAlgorithm;
  KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter) final;

 protected:
  /// Null records are skipped; cancellation is asked after the computation, not per record.
  static constexpr PassOptions kPassOptions{.pollCancelPerRecord = false, .nullRecordEndsPass = false};

  /// A pass over the records with the options above.
  RecordPass MakeCountPass() { return MakePass(kPassOptions); }

  virtual KQCommon_850::KQStatus RunBayesFactor(KQCommon_850::MultiPassRecordIter& iter) = 0;
  /// Makes the posterior calculator from the Bayes-factor sums and computes.
  virtual KQCommon_850::KQStatus RunPosteriorOnBayesFactorSums() = 0;
  virtual KQCommon_850::KQStatus RunPosterior(KQCommon_850::MultiPassRecordIter& iter) = 0;
  virtual std::unique_ptr<BSNOutputStats> MakeOutputStats() = 0;
  /// The sums the calculators read; null when none did.
  virtual const std::vector<CountSums>* GetCountSums() const noexcept = 0;

 private:
  /// One BSN_COUNT_TOO_LARGE warning for each variable whose count does not fit the record's int fields.
  void WarnAboutLargeCounts();
};

}  // namespace KQBSN_850::detail
