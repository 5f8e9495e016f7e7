#pragma once
// BSN2SampleRelated: the analysis of two related (paired) samples. Pair j joins entry j of the
// settings' Covariates (x) with entry j of 2ndRelatedList (y), and the pair is analysed through its
// differences d = x - y as a one-sample normal problem.
//
// One pass over the records accumulates, per pair, the frequency-weighted count n, the mean and the
// variance s^2 of the differences d = x - y, each taken within its record, over the records where both
// values are present (pairwise deletion). Differencing each record first keeps the spread of d when x
// and y are large and close (timestamps, say), where x and y's own moments would cancel. As AnalysType
// asks: the paired t test t = (dbar - mu0)/(s/sqrt(n)) with n - 1 degrees of freedom and a Bayes factor
// BF01 per pair (JZS, fixed g or known variance, see NormalMeanFactors.h), the posterior of the mean
// difference (BSNNormalInference), or both, Bayes factor first. The result record is a
// BSN2SampleRelatedOutputStats.
// Input: two non-empty pair lists of equal length without negative indices (else BSN_BAD_PARAMETER),
// and at least one record (else BSN_NO_VALID_CASES). A record whose rounded frequency weight is 0 is
// skipped for every pair and not counted toward progress. A pair with n < 2 gets
// BSN_FEW_VALID_CASES_PAIR, one whose differences are constant BSN_CONSTANT_PAIR_NORMAL (its position
// as datum 0); neither gets a t, a factor or a posterior. NullValues shorter than the pair list, Simple
// without a g per pair, and known variances without a g per pair stop the build with
// BSN_BAD_PARAMETER. A cancellation noticed during the pass or between the steps ends the build with
// code 1 and no result record.
// Accuracy: tests/twosample/BSN2SampleRelated_test.cpp compares with R's paired t.test and
// BayesFactor's paired ttestBF on Student's sleep data (tests/reference/related_sleep.R).

#include <cstddef>
#include <memory>
#include <ostream>
#include <vector>

#include "companion/KQContStats.h"
#include "frame/BSNAlgorithm.h"
#include "onesample/detail/NormalPosteriorLists.h"

namespace KQBSN_850 {

class BSNNormalInference;

class BSN2SampleRelated final : public BSNAlgorithm {
 public:
  BSN2SampleRelated(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSN2SampleRelated() override;

  KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter) override;
  void Display(std::ostream& os) const override;

 private:
  using DoubleList = std::vector<double>;
  friend class BSN2SampleRelatedOutputStats;  // copies the result lists

  KQCommon_850::KQStatus Initialise();
  KQCommon_850::KQStatus AccumulatePairs(KQCommon_850::MultiPassRecordIter& iter);
  void SummarisePair(std::size_t j);
  KQCommon_850::KQStatus RunAnalyses();
  KQCommon_850::KQStatus ComputeBayesFactors();
  /// Per pair: the weighted moments of its differences, and the largest |x| or |y| met, which sets
  /// the rounding noise of the differences.
  std::vector<KQMath_850::KQContStats> differences_;
  std::vector<double> largestMagnitudes_;
  DoubleList meanDiffs_, stdDevs_, stdErrors_, dfs_, weights_;
  DoubleList bayesFactors_, tValues_, sigs_;  // empty unless a Bayes factor is asked for
  detail::NormalPosteriorLists posterior_;    // empty unless a posterior is asked for
  std::unique_ptr<BSNNormalInference> inference_;
};

}  // namespace KQBSN_850
