#pragma once
// The five posterior summary lists of an analysis: mode, mean, variance and the lower and upper
// credible limits, entry i for test variable i, each missing until set.

#include <cstddef>
#include <vector>

#include "frame/BayesEstimation.h"

namespace KQBSN_850::detail {

/// Mode, mean, variance and credible limits of each test variable, missing until set.
struct SummaryLists {
  explicit SummaryLists(std::size_t nVars = 0);
  void Set(std::size_t i, const BayesEstimation& summary);
  /// Prints the five lists with their labels on the current display stream.
  void Display() const;

  std::vector<double> modes, means, variances, lowers, uppers;
};

}  // namespace KQBSN_850::detail
