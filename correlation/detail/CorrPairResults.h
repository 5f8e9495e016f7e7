#pragma once
// The per-pair results of the correlation analysis, shared by the data pass, the tasks and the record.
// Entry p of every per-pair list belongs to pair p; each task writes only its own pairs' entries (the
// logarithm marks are bytes, so that neighbouring pairs of different tasks never share a memory word).

#include <cstddef>
#include <utility>
#include <vector>

#include "frame/detail/SummaryLists.h"

namespace KQBSN_850::detail {

struct CorrPairResults {
  /// The pairs as variable indices (the settings' covariates), in pair order.
  std::vector<std::pair<int, int>> pairs;
  /// Sum of weights N, Pearson's r and ln Sxx + ln Syy per pair; r and the logarithm missing for an
  /// invalid pair.
  std::vector<double> n, r, logSxxSyy;
  /// Sum of weights of the non-missing values per variable.
  std::vector<double> varN;
  /// BF01 per pair, or its logarithm where the mark is set.
  std::vector<double> bayesFactors;
  std::vector<unsigned char> isLogFactor;
  SummaryLists posterior;
  /// The rho grid of the plots and, per plotted pair, the log-likelihood, prior and posterior curves.
  std::vector<double> plotX;
  std::vector<std::vector<double>> logLikelihoods, priors, posteriors;
  /// Pair positions whose integrals reported warnings, in task order.
  std::vector<int> failedPairs;

  std::size_t NPairs() const noexcept { return pairs.size(); }
};

}  // namespace KQBSN_850::detail
