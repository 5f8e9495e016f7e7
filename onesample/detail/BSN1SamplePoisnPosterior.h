#pragma once
// BSN1SamplePoisnPosterior: the conjugate Gamma posterior of the rate of each Poisson test variable,
// with its summaries, and the plot curves of the Poisson record.
//
// Prior Gamma(shape a, rate b) (PriorParam1, PriorParam2, the same for every variable); with S the
// weighted sum of the values (not rounded) and n the sum of the case weights, the posterior is
// Gamma(alpha, beta), alpha = S + a, beta = b + n: mean alpha / beta, variance alpha / beta^2, mode
// (alpha - 1) / beta for alpha >= 1 (missing below), credible limits the Gamma quantiles of p and 1 - p,
// p = (1 - CILevel / 100) / 2. The posterior parameters are (alpha, beta), the likelihood's (-n, S).
// Input: the sums of its own pass, or those of the Bayes-factor calculator. Otherwise: a prior type other
// than Conjugate is the error BSN_PRIOR_NOT_SUPPORTED, a missing prior parameter BSN_BAD_PARAMETER; a
// variable without cases keeps missing summaries and parameters.
// Accuracy: tests/onesample/BSN1SamplePoisson_test.cpp checks the moments by hand and the limits, plot
// ranges and densities against R's qgamma, qchisq and dgamma.

#include <utility>
#include <vector>

#include "frame/BSNSettings.h"
#include "onesample/detail/OneSampleCounts.h"

namespace KQBSN_850 {

class BSN1SamplePoisnPosterior {
 public:
  using ParamList = std::vector<std::pair<double, double>>;

  /// A calculator that reads the records itself. Keeps a reference to the settings.
  explicit BSN1SamplePoisnPosterior(const BSNSettings& settings);
  /// A calculator on sums already taken (those of the Bayes-factor calculator).
  BSN1SamplePoisnPosterior(const BSNSettings& settings, std::vector<detail::CountSums> sums);

  /// Reads the records in one pass, then computes; no variable with a case is BSN_NO_VALID_CASES.
  KQCommon_850::KQStatus ReadAndCompute(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter);
  /// Computes the summaries and parameters from the sums.
  KQCommon_850::KQStatus Compute();

  const std::vector<detail::CountSums>& GetSums() const noexcept { return sums_; }
  const detail::SummaryLists& GetSummaries() const noexcept { return summaries_; }
  /// (alpha, beta) per variable.
  const ParamList& GetPosteriorParams() const noexcept { return posteriorParams_; }
  /// (-n, S) per variable: the log-likelihood is S ln(x) - n x.
  const ParamList& GetLikelihoodParams() const noexcept { return likelihoodParams_; }

 private:
  const BSNSettings& settings_;
  std::vector<detail::CountSums> sums_;
  detail::SummaryLists summaries_;
  ParamList posteriorParams_, likelihoodParams_;
};

namespace detail {

/// The six curves of the Poisson record, one inner list per variable.
struct PoissonPlotCurves {
  using Curves = std::vector<std::vector<double>>;
  Curves likelihoodArguments, priorArguments, posteriorArguments, likelihoods, posteriors, priors;
};

/// Curves on K = NPlotPoints points for each variable, all missing until computed (none when K < 1).
/// For a variable with ns > 0 and q = PlotDomainLevel / 2: the log-likelihood S ln x - n x over the
/// exact Poisson interval of the rate [chi2_q(2S), chi2_{1-q}(2S + 2)] / (2 ns); the prior Gamma(a, b)
/// density between its q and 1 - q quantiles, or for b <= 0 the improper x^(a - 1) over the likelihood's
/// range; the posterior Gamma(alpha, beta) density between its q and 1 - q quantiles. A range whose ends
/// cannot be computed leaves its curve missing.
PoissonPlotCurves MakePoissonPlotCurves(const BSNSettings& settings, const std::vector<int>& ns,
                                        const BSN1SamplePoisnPosterior::ParamList& posteriorParams,
                                        const BSN1SamplePoisnPosterior::ParamList& likelihoodParams);

}  // namespace detail

}  // namespace KQBSN_850
