#include "frame/detail/PlotDensities.h"

#include <cmath>
#include <numbers>

#include "companion/KQDistFun.h"
#include "companion/KQMV.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQMath_850::KQDistFun;

namespace {

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
