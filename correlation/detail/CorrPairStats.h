#pragma once
// CorrPairStats: the data pass of the correlation analysis. For every pair of the k analysed variables
// it gathers the weighted number of cases N and the centred sums of squares and cross-products Sxx, Syy,
// Sxy, and for every variable the sum of the weights of its non-missing values.
// Listwise, a record counts for every pair when none of the k values is missing. Pairwise, a record counts
// for each pair whose two values are present. Both share one k-variable accumulator of the complete
// records; pairwise, the records with some missing value also go to an accumulator of each pair whose two
// values they hold, merged with the pair's part of the complete one at the end. A pass over complete data
// thus costs one k x k update per record, whatever the scope.
// Pair statistics: a pair with N < 2 has few cases, one with Sxx = 0 or Syy = 0 is constant; otherwise
// r = Sxy / sqrt(Sxx Syy), and |r| = 1 is a perfect correlation. Each kind adds one warning
// (BSN_FEW_VALID_CASES_CORR, BSN_CONSTANT_CORR_PAIRS, BSN_PERFECT_CORR_PAIRS, in that order).
// Accuracy: tests/correlation/BSNPearsonCorrelation_test.cpp compares r and N with R's cor().

#include <memory>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQMeansXProdData.h"
#include "companion/KQStatus.h"
#include "companion/KQWarnings.h"
#include "companion/Record.h"
#include "correlation/detail/CorrPairResults.h"
#include "frame/RecordPass.h"

namespace KQBSN_850::detail {

class CorrPairStats {
 public:
  /// Pairs (i, j), i < j, of the analysed variables `vars`, in the order i = 0 .. k-2, j = i+1 .. k-1.
  CorrPairStats(std::vector<int> vars, bool pairwise);

  /// The pass over the records: OK or the pass's cancelled status.
  KQCommon_850::KQStatus Accumulate(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter);
  /// Fills the pairs, N, r, ln Sxx + ln Syy and the per-variable sums of weights; adds the pair warnings.
  /// Asks for cancellation before each pair (cancelled status).
  KQCommon_850::KQStatus ComputePairs(KQCommon_850::KQCancelInfo& cancel, KQCommon_850::KQWarnings& warnings,
                                      CorrPairResults& results) const;

 private:
  void AddRecord(const std::vector<double>& values, double weight);

  std::vector<int> vars_;
  bool pairwise_;
  std::vector<std::pair<int, int>> positions_;  // the pairs as positions in vars_
  KQMath_850::KQMeansXProdData complete_;
  std::vector<std::unique_ptr<KQMath_850::KQMeansXProdData>> partial_;  // per pair, created on first use
  std::vector<double> varN_;
  std::vector<double> values_;  // one record's k values, kept to avoid allocation
  std::vector<int> present_;    // positions of its present values
};

}  // namespace KQBSN_850::detail
