#include "onesample/PosteriorIntervals.h"

#include <cmath>
#include <numbers>

#include "companion/KQDistFun.h"
#include "companion/KQMV.h"
#include "frame/LogSpace.h"
#include "frame/ResultLists.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQMath_850::KQDistFun;

namespace {

constexpr Range kMissingRange{KQMV::Missing(), KQMV::Missing()};

bool IsPositive(double x) noexcept { return !KQMV::IsMissingOrNaN(x) && x > 0.0; }

// The log normalising constant of the scaled t density, computed once per curve.
double LogTNormaliser(double scale2, double df) {
  const double logGammaRatio = KQDistFun::qorvdnlgam((df + 1.0) * 0.5) - KQDistFun::qorvdnlgam(df * 0.5);
  return logGammaRatio - 0.5 * std::log(df * std::numbers::pi * scale2);
}

double LogScaledTKernel(double x, double center, double scale2, double df) {
  const double z = x - center;
  return -0.5 * (df + 1.0) * KQDistFun::Log1p(z * z / (df * scale2));
}

}  // namespace

bool Range::IsUsable() const noexcept {
  return !KQMV::IsMissing(lower) && !KQMV::IsMissing(upper) && std::isfinite(lower) && std::isfinite(upper);
}

Range NormalRange(double tail, double mean, double variance) {
  if (!IsPositive(variance) || KQMV::IsMissingOrNaN(mean)) return kMissingRange;
  const double sd = std::sqrt(variance);
  const Range range{KQDistFun::IdfNorm(tail, mean, sd), KQDistFun::IdfNorm(1.0 - tail, mean, sd)};
  return KQMV::IsMissing(range.lower) || KQMV::IsMissing(range.upper) ? kMissingRange : range;
}

Range TRange(double tail, double center, double scale2, double df) {
  if (!IsPositive(scale2) || KQMV::IsMissingOrNaN(center)) return kMissingRange;
  const double q = KQDistFun::IdfT(1.0 - tail, df);
  if (KQMV::IsMissing(q)) return kMissingRange;
  const double halfWidth = std::sqrt(scale2) * q;
  return {center - halfWidth, center + halfWidth};
}

std::vector<double> PlotGrid(const Range& range, int nPoints) {
  if (!range.IsUsable()) return {};
  return LinearGrid(range.lower, range.upper, nPoints);
}

std::vector<double> NormalDensities(const std::vector<double>& grid, double mean, double variance) {
  std::vector<double> densities;
  densities.reserve(grid.size());
  const double sd = std::sqrt(variance);
  for (double x : grid) densities.push_back(KQDistFun::PdfNormal(x, mean, sd));
  return densities;
}

double LogScaledTDensity(double x, double center, double scale2, double df) {
  if (!IsPositive(scale2) || !IsPositive(df) || KQMV::IsMissingOrNaN(x) || KQMV::IsMissingOrNaN(center)) {
    return KQMV::Missing();
  }
  return LogTNormaliser(scale2, df) + LogScaledTKernel(x, center, scale2, df);
}

std::vector<double> ScaledTDensities(const std::vector<double>& grid, double center, double scale2,
                                     double df) {
  std::vector<double> densities;
  densities.reserve(grid.size());
  if (!IsPositive(scale2) || !IsPositive(df)) {
    densities.assign(grid.size(), KQMV::Missing());
    return densities;
  }
  const double logNormaliser = LogTNormaliser(scale2, df);
  for (double x : grid) {
    densities.push_back(PlotDensityFromLog(logNormaliser + LogScaledTKernel(x, center, scale2, df)));
  }
  return densities;
}

}  // namespace KQBSN_850
