#pragma once
// BSN1SamplePoisnBayesFactor: the Bayes factor BF01 of each Poisson test variable, comparing a Gamma
// prior on the rate under the null with one under the alternative.
//
// The counted values are rounded down to whole counts. With S the weighted sum of the counts and n the
// sum of the case weights, the log marginal likelihood under Gamma(shape a, rate b), without the
// factorials of the counts, which cancel in the ratio, is
//   m(a, b) = a ln b - lnG(a) + lnG(a + S) - (a + S) ln(b + n),
// and log BF01 = m(a0, b0) - m(a1, b1). The factor is stored as exp(log BF01), or as the logarithm
// (flagged) where that would leave the range of normal doubles.
// Input: the settings' Covariates, FrequencyWeightVar and the four prior lists; a missing null prior
// parameter means 2.0. Otherwise: no variable with a case is the error BSN_NO_VALID_CASES; a variable
// without cases or without both alternative parameters keeps a missing factor, the latter returning
// BSN_NO_ALTERNATIVE_PRIOR_PARAMS (datum 0 = position) as the status; when some factor is a logarithm
// the status is the BSN_LOG_FACTOR warning instead. Non-positive prior parameters give a missing factor.
// Accuracy: tests/onesample/BSN1SamplePoisson_test.cpp compares with the same formula in R's lgamma.

#include <vector>

#include "frame/BSNSettings.h"
#include "onesample/detail/OneSampleCounts.h"

namespace KQBSN_850 {

class BSN1SamplePoisnBayesFactor {
 public:
  /// Keeps a reference to the analysis' settings, which must outlive it.
  explicit BSN1SamplePoisnBayesFactor(const BSNSettings& settings);

  /// Reads the records in one pass, then computes every variable's factor.
  KQCommon_850::KQStatus Compute(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter);

  /// log BF01 of a total count S over n weighted cases, null prior Gamma(a0, b0) against Gamma(a1, b1)
  /// (shape, rate); missing unless all four parameters are positive.
  static double LogBf01(double totalCount, double n, double a0, double b0, double a1, double b1) noexcept;

  /// The per-variable sums of the pass: counts, n, S, unweighted sum, smallest and largest count.
  const std::vector<detail::CountSums>& GetSums() const noexcept { return sums_; }
  const std::vector<double>& GetBayesFactors() const noexcept { return factors_.GetValues(); }
  const std::vector<bool>& GetIsLogBayesFactor() const noexcept { return factors_.GetIsLog(); }

 private:
  const BSNSettings& settings_;
  std::vector<detail::CountSums> sums_;
  detail::FactorStore factors_;
};

}  // namespace KQBSN_850
