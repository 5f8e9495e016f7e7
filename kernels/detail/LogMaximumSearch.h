#pragma once
// LogMaximumOnLogGrid: the largest value of a log-integrand over g in [from, to] (0 < from < to), as a
// scale for a quadrature: the integrand divided by exp(scale) neither overflows nor underflows near its
// peak. The search (GridMaximum) evaluates a grid of kLogGridPoints points evenly spaced in ln g, then
// refines the best point by Brent's method within its two neighbours, in at most kMaxPeakSteps steps.
// Only a scale is needed, so a point near the maximum is as good as the maximum itself; for an
// integrand with one peak in ln g the answer is the maximum to within rounding. Answers -inf when every
// value is -inf or NaN.

#include <cmath>
#include <cstdint>
#include <limits>

#include "companion/MaximumSearch.h"

namespace KQBSN_850::detail {

/// Points of the grid in ln g before the refinement.
inline constexpr int kLogGridPoints = 64;
/// Brent's method in ln g to half a double's digits, which puts the value at the maximum to within
/// rounding; the count of steps bounds the search.
inline constexpr int kPeakBits = std::numeric_limits<double>::digits / 2;
inline constexpr std::uintmax_t kMaxPeakSteps = 80;

/// max of logAt(g) over [from, to], logAt being a callable double(double g).
template <class LogAt>
double LogMaximumOnLogGrid(LogAt&& logAt, double from, double to) {
  return KQMath_850::GridMaximum([&logAt](double logG) { return logAt(std::exp(logG)); }, std::log(from),
                                 std::log(to), kLogGridPoints, kPeakBits, kMaxPeakSteps)
      .value;
}

}  // namespace KQBSN_850::detail
