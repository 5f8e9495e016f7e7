#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "companion/KQContStats.h"
#include "companion/KQMV.h"
#include "companion/KQRandomValues.h"
#include "frame/BSNStatusCodes.h"
#include "loglinear/detail/LogOddsPosterior.h"

namespace KQBSN_850::detail {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

namespace {

/// One draw of one pair: the log odds ratio and the 1-based number of the sample it came from.
struct Draw {
  double theta;
  long sample;
};

/// The median of values sorted ascending.
double SortedMedian(const std::vector<Draw>& sorted) {
  const std::size_t n = sorted.size();
  return n % 2 == 1 ? sorted[n / 2].theta : 0.5 * (sorted[n / 2 - 1].theta + sorted[n / 2].theta);
}

}  // namespace

KQStatus EstimateLogOddsRatios(const BSNContingency& table, const LogOddsSettings& settings,
                               KQCommon_850::KQCancelInfo& cancel,
                               std::vector<BayesEstimation>& estimations) {
  estimations.clear();
  const std::vector<int>& rows = table.GetNonEmptyRows();
  const std::vector<int>& cols = table.GetNonEmptyCols();
  if (rows.size() < 2 || cols.size() < 2 || settings.nSamples < 1) return KQStatus();
  const std::size_t nRows = rows.size(), nCols = cols.size(), nPairs = (nRows - 1) * (nCols - 1);
  const std::size_t nSamples = static_cast<std::size_t>(settings.nSamples);
  const auto& counts = table.GetAllCounts();

  KQMath_850::KQRandomValues random(settings.seed);
  std::vector<KQMath_850::KQContStats> stats(nPairs);
  std::vector<std::vector<Draw>> draws(nPairs);
  for (auto& list : draws) list.reserve(nSamples);
  std::vector<double> logLambda(nRows * nCols);
  for (std::size_t s = 1; s <= nSamples; ++s) {
    for (std::size_t a = 0; a < nRows; ++a) {
      for (std::size_t b = 0; b < nCols; ++b) {
        random.SetParamGamma(
            counts[static_cast<std::size_t>(rows[a])][static_cast<std::size_t>(cols[b])] + 1.0, 1.0);
        logLambda[a * nCols + b] = std::log(random.GetRandom());
      }
      if (cancel.IsCancel()) return KQStatus(BSN_STATUS_CANCELLED, false);
    }
    const double last = logLambda[nRows * nCols - 1];
    for (std::size_t a = 0; a + 1 < nRows; ++a)
      for (std::size_t b = 0; b + 1 < nCols; ++b) {
        const double theta = logLambda[a * nCols + b] - logLambda[a * nCols + nCols - 1] -
                             logLambda[(nRows - 1) * nCols + b] + last;
        const std::size_t pair = a * (nCols - 1) + b;
        draws[pair].push_back({theta, static_cast<long>(s)});
        stats[pair].Update(theta, 1.0);
      }
  }
  if (cancel.IsCancel()) return KQStatus(BSN_STATUS_CANCELLED, false);
  for (auto& list : draws)
    std::sort(list.begin(), list.end(), [](const Draw& x, const Draw& y) { return x.theta < y.theta; });

  // The limits: for every sorted position j, the rank statistic max(largest sample number at j over the
  // pairs, S + 1 - smallest sample number at j); these sorted ascending, q is the one at position
  // floor(S level / 100), and each pair's limits are its sorted values at positions min(q, S + 1 - q)
  // and max(q, S + 1 - q) (all positions 1-based).
  const double ciPosition = std::floor(static_cast<double>(nSamples) * settings.ciLevel * 0.01);
  long lowerPosition = 0, upperPosition = 0;
  if (ciPosition >= 1.0 && ciPosition <= static_cast<double>(nSamples)) {
    std::vector<long> rankStats(nSamples);
    const long sPlus1 = static_cast<long>(nSamples) + 1;
    for (std::size_t j = 0; j < nSamples; ++j) {
      if (cancel.IsCancel()) return KQStatus(BSN_STATUS_CANCELLED, false);
      long largest = draws[0][j].sample, smallest = largest;
      for (const auto& list : draws) {
        largest = std::max(largest, list[j].sample);
        smallest = std::min(smallest, list[j].sample);
      }
      rankStats[j] = std::max(largest, sPlus1 - smallest);
    }
    std::sort(rankStats.begin(), rankStats.end());
    const long q = rankStats[static_cast<std::size_t>(ciPosition) - 1];
    lowerPosition = std::min(q, sPlus1 - q);
    upperPosition = std::max(q, sPlus1 - q);
  }

  estimations.reserve(nPairs);
  for (std::size_t pair = 0; pair < nPairs; ++pair) {
    const std::vector<Draw>& sorted = draws[pair];
    const double w = stats[pair].GetSumWeights();
    const double variance = stats[pair].GetVariance();
    BayesEstimation estimation(SortedMedian(sorted), stats[pair].GetMean(),
                               KQMV::IsMissing(variance) ? variance : (w - 1.0) / w * variance,
                               KQMV::Missing(), KQMV::Missing());
    if (lowerPosition > 0) {
      estimation.lower = sorted[static_cast<std::size_t>(lowerPosition) - 1].theta;
      estimation.upper = sorted[static_cast<std::size_t>(upperPosition) - 1].theta;
    }
    estimations.push_back(estimation);
  }
  return KQStatus();
}

}  // namespace KQBSN_850::detail
