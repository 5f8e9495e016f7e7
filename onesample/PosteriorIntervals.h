#pragma once
// Equal-tailed intervals and plot curves of the two laws that the posterior of a normal mean takes:
// the normal law N(mean, variance) when the data variance is known, and the scaled Student t law
// center + sqrt(scale2) T_df when it is estimated.
//
// NormalRange: the quantiles tail and 1 - tail of N(mean, variance).
// TRange: center -/+ sqrt(scale2) q with q the (1 - tail) quantile of t with df degrees of freedom.
// Input: tail in (0, 1/2), variance and scale2 > 0, df > 0; otherwise the range is missing (both
// ends). A tail of 0 gives infinite ends, which are kept as interval limits but carry no plot.
// Densities are evaluated in logs and leave log space through PlotDensityFromLog (0 below the
// exponent range, missing above it).
// Accuracy: tests/onesample/BSNNormalInference_test.cpp compares intervals and curves with R's qnorm,
// qt, dnorm and dt.

#include <vector>

namespace KQBSN_850 {

/// The two ends of an interval; both missing when it could not be formed.
struct Range {
  double lower;
  double upper;
  /// Both ends finite and not missing, so that a plot grid can be laid on the range.
  bool IsUsable() const noexcept;
};

/// The central interval of N(mean, variance) with probability tail left in each tail.
Range NormalRange(double tail, double mean, double variance);

/// The central interval of center + sqrt(scale2) T_df with probability tail left in each tail.
Range TRange(double tail, double center, double scale2, double df);

/// nPoints equally spaced points from range.lower to range.upper; empty when the range is not usable.
std::vector<double> PlotGrid(const Range& range, int nPoints);

/// The density of N(mean, variance) at each point of a grid.
std::vector<double> NormalDensities(const std::vector<double>& grid, double mean, double variance);

/// ln of the density at x of center + sqrt(scale2) T_df:
/// c - (df + 1)/2 ln(1 + (x - center)^2 / (df scale2)), c = lnG((df + 1)/2) - lnG(df/2) - ln(df pi scale2)/2.
double LogScaledTDensity(double x, double center, double scale2, double df);

/// The density of center + sqrt(scale2) T_df at each point of a grid.
std::vector<double> ScaledTDensities(const std::vector<double>& grid, double center, double scale2,
                                     double df);

}  // namespace KQBSN_850
