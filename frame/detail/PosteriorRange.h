#pragma once
// Equal-tailed intervals of the two laws that the posterior of a normal mean takes: the normal law
// N(mean, variance) when the data variance is known, and the scaled Student t law
// center + sqrt(scale2) T_df when it is estimated.
//
// NormalRange: the quantiles tail and 1 - tail of N(mean, variance).
// TRange: center -/+ sqrt(scale2) q with q the (1 - tail) quantile of t with df degrees of freedom.
// Input: tail in (0, 1/2), variance and scale2 > 0, df > 0; otherwise the range is missing (both
// ends). A tail of 0 gives infinite ends, which are kept as interval limits but carry no plot.
// Accuracy: tests/onesample/BSNNormalInference_test.cpp compares the intervals with R's qnorm and qt.

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

}  // namespace KQBSN_850
