#pragma once
// BSN1SampleBinoPosterior: the conjugate Beta posterior of the success proportion of each binomial
// test variable, with its summaries and plot curves.
//
// Prior Beta(a, b) (PriorParam1, PriorParam2, the same for every variable); with s successes in n
// weighted trials the posterior is Beta(alpha, beta), alpha = s + a, beta = n + b - s, N = alpha + beta:
//   mean = alpha / N, variance = alpha beta / (N^2 (N + 1)), mode (alpha - 1) / (N - 2) when alpha and
//   beta lie on the same side of 1, 0 or 1 at the boundary cases, missing for alpha = beta = 1;
//   credible limits: the Beta quantiles of p and 1 - p, p = (1 - CILevel / 100) / 2.
// Curves on NPlotPoints points from eps to 1 - eps (eps the machine epsilon, so that neither log term
// meets 0): the log-likelihood s ln x + (n - s) ln(1 - x) and the prior and posterior densities,
// computed in logs; a density below the exponent range is 0, above it missing.
// Input: the sums of its own pass, or those of the Bayes-factor calculator. Otherwise: a prior type
// other than Conjugate is the error BSN_PRIOR_NOT_SUPPORTED, a missing prior parameter BSN_BAD_PARAMETER;
// a variable with n < 1 lists BSN_SAMPLE_TOO_SMALL (datum 0 = position) and keeps missing summaries and
// empty curves. Fewer than 1 plot point gives empty curves, exactly 1 the point eps.
// Accuracy: tests/onesample/BSN1SampleBinomial_test.cpp checks the moments by hand and the limits and
// densities against R's qbeta and dbeta.

#include <vector>

#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"
#include "onesample/detail/OneSampleCounts.h"

namespace KQBSN_850 {

class BSN1SampleBinoPosterior {
 public:
  using Curves = std::vector<std::vector<double>>;

  /// A calculator that reads the records itself. Keeps references to the settings and the warnings.
  BSN1SampleBinoPosterior(const BSNSettings& settings, KQCommon_850::KQWarnings& warnings);
  /// A calculator on sums already taken (those of the Bayes-factor calculator).
  BSN1SampleBinoPosterior(const BSNSettings& settings, KQCommon_850::KQWarnings& warnings,
                          std::vector<detail::CountSums> sums);

  /// Reads the records in one pass, then computes; no variable with n >= 1 is BSN_NO_VALID_CASES.
  KQCommon_850::KQStatus ReadAndCompute(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter);
  /// Computes the summaries and curves from the sums.
  KQCommon_850::KQStatus Compute();

  const detail::SummaryLists& GetSummaries() const noexcept { return summaries_; }
  const std::vector<detail::CountSums>& GetSums() const noexcept { return sums_; }
  const Curves& GetPlotArguments() const noexcept { return plotArguments_; }
  const Curves& GetPlotLikelihoods() const noexcept { return plotLikelihoods_; }
  const Curves& GetPlotPosterior() const noexcept { return plotPosterior_; }
  const Curves& GetPlotPrior() const noexcept { return plotPrior_; }

 private:
  void FillCurves(std::size_t i, double a, double b, double alpha, double beta);

  const BSNSettings& settings_;
  KQCommon_850::KQWarnings& warnings_;
  std::vector<detail::CountSums> sums_;
  detail::SummaryLists summaries_;
  Curves plotArguments_, plotLikelihoods_, plotPosterior_, plotPrior_;
};

}  // namespace KQBSN_850
