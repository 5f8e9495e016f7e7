#pragma once
// LogMaximumOnLogGrid: the largest value of a log-integrand over g in [from, to] (0 < from < to), as a
// scale for a quadrature: the integrand divided by exp(scale) neither overflows nor underflows near its
// peak. The search evaluates a grid of kLogGridPoints points evenly spaced in ln g, then refines the best
// point by kMaxGoldenSteps golden-section steps within its two neighbours. Only a scale is needed, so a
// point near the maximum is as good as the maximum itself; for an integrand with one peak in ln g the
// answer is the maximum to within rounding. Answers -inf when every value is -inf or NaN.

#include <algorithm>
#include <cmath>
#include <limits>

namespace KQBSN_850::detail {

/// Points of the grid in ln g before the golden-section steps.
inline constexpr int kLogGridPoints = 64;
/// Golden-section steps refining the maximum: each narrows the bracket in ln g by 0.618, so 80 of them
/// take the grid's spacing below 1e-16 of it. The count bounds the search.
inline constexpr int kMaxGoldenSteps = 80;

/// max of logAt(g) over [from, to], logAt being a callable double(double g).
template <class LogAt>
double LogMaximumOnLogGrid(LogAt&& logAt, double from, double to) {
  const double logFrom = std::log(from), logTo = std::log(to);
  const double step = (logTo - logFrom) / (kLogGridPoints - 1);
  const auto at = [&](double logG) { return logAt(std::exp(logG)); };
  int best = 0;
  double bestValue = -std::numeric_limits<double>::infinity();
  for (int k = 0; k < kLogGridPoints; ++k) {
    const double value = at(logFrom + k * step);
    if (value > bestValue) {
      bestValue = value;
      best = k;
    }
  }
  double lo = logFrom + std::max(best - 1, 0) * step;
  double hi = logFrom + std::min(best + 1, kLogGridPoints - 1) * step;
  constexpr double kGolden = 0.6180339887498949;
  double left = hi - kGolden * (hi - lo), right = lo + kGolden * (hi - lo);
  double leftValue = at(left), rightValue = at(right);
  for (int i = 0; i < kMaxGoldenSteps; ++i) {
    if (leftValue > rightValue) {
      hi = right;
      right = left;
      rightValue = leftValue;
      left = hi - kGolden * (hi - lo);
      leftValue = at(left);
    } else {
      lo = left;
      left = right;
      leftValue = rightValue;
      right = lo + kGolden * (hi - lo);
      rightValue = at(right);
    }
  }
  return std::max({bestValue, leftValue, rightValue});
}

}  // namespace KQBSN_850::detail
