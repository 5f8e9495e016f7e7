#pragma once
// The posterior of the log odds ratios of a two-way table by Monte Carlo. Each cell's Poisson mean
// lambda_ab has the posterior Gamma(n_ab + 1, 1) (flat prior); for every pair (a, b) of a non-empty
// row and column other than the last ones, theta_ab = ln lambda_ab - ln lambda_aK' - ln lambda_R'b +
// ln lambda_R'K' is the log odds ratio against the last non-empty row and column. Pairs are ordered
// rows outer: pair (a - 1)(K' - 1) + (b - 1).
// Summary per pair: the median of the S draws (in the mode field), their mean, their variance with
// divisor S, and credible limits chosen jointly for all pairs by a rank statistic (see the source).
// S x level / 100 < 1 leaves the limits missing.

#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQStatus.h"
#include "frame/BayesEstimation.h"
#include "loglinear/BSNContingency.h"

namespace KQBSN_850::detail {

struct LogOddsSettings {
  long nSamples;       ///< S
  unsigned long seed;  ///< of the one random stream
  double ciLevel;      ///< percent
};

/// One summary per pair; the cancelled status (code 1) and an empty list when the host asked to stop.
KQCommon_850::KQStatus EstimateLogOddsRatios(const BSNContingency& table, const LogOddsSettings& settings,
                                             KQCommon_850::KQCancelInfo& cancel,
                                             std::vector<BayesEstimation>& estimations);

}  // namespace KQBSN_850::detail
