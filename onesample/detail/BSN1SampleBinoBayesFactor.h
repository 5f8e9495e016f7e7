#pragma once
// BSN1SampleBinoBayesFactor: the Bayes factor BF01 of each binomial test variable, comparing a Beta
// prior on the success proportion under the null with one under the alternative.
//
// With s the weighted sum of the counted values (successes) and n the sum of their case weights:
//   log BF01 = [lnB(s + a0, n - s + b0) - lnB(a0, b0)] - [lnB(s + a1, n - s + b1) - lnB(a1, b1)],
// the log ratio of the Beta-binomial marginal likelihoods (the binomial coefficients cancel), with
// lnB(0, 0) taken as 0. The factor is stored as exp(log BF01), or as the logarithm (flagged) where
// that would leave the range of normal doubles; one BSN_LOG_FACTOR warning is then listed.
// Input: the settings' Factors, FrequencyWeightVar and the four prior lists; a missing null prior
// parameter means 2.0. Otherwise: no variable with n >= 1 gives the error BSN_NO_VALID_CASES; a
// missing alternative parameter lists BSN_NO_ALTERNATIVE_PRIOR_PARAMS (datum 0 = position) and
// returns it as the status; n < 1 for a variable lists BSN_SAMPLE_TOO_SMALL. Those factors stay missing,
// as does a factor whose log Beta functions are undefined (a non-positive argument other than (0, 0)).
// Accuracy: tests/onesample/BSN1SampleBinomial_test.cpp compares with R's lbeta.

#include <vector>

#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"
#include "onesample/detail/OneSampleCounts.h"

namespace KQBSN_850 {

class BSN1SampleBinoBayesFactor {
 public:
  /// Keeps references to the analysis' settings and warning list, which must outlive it.
  BSN1SampleBinoBayesFactor(const BSNSettings& settings, KQCommon_850::KQWarnings& warnings);

  /// Reads the records in one pass, then computes every variable's factor.
  KQCommon_850::KQStatus Compute(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter);

  /// log BF01 of s successes in n trials, null prior Beta(a0, b0) against Beta(a1, b1); missing
  /// where a log Beta function is undefined.
  static double LogBf01(double s, double n, double a0, double b0, double a1, double b1) noexcept;

  /// The per-variable sums of the pass (n, s and the weighted count of zeros).
  const std::vector<detail::CountSums>& GetSums() const noexcept { return sums_; }
  const std::vector<double>& GetBayesFactors() const noexcept { return factors_.GetValues(); }
  const std::vector<bool>& GetIsLogBayesFactor() const noexcept { return factors_.GetIsLog(); }
  /// The index of the category counted as category 1: 0 for every variable.
  const std::vector<int>& GetCat1Indices() const noexcept { return cat1Indices_; }

 private:
  const BSNSettings& settings_;
  KQCommon_850::KQWarnings& warnings_;
  std::vector<detail::CountSums> sums_;
  detail::FactorStore factors_;
  std::vector<int> cat1Indices_;
};

}  // namespace KQBSN_850
