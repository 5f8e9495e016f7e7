#include <cmath>

#include "companion/KQPower.h"
#include "correlation/detail/CorrelationIntegrands.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQMath_850::KQPower;

double JZSFunction::LogNI(double g) const noexcept {
  if (!(g > 0.0)) return -INFINITY;
  // log1p keeps ln(c g + 1) accurate where c g is tiny (r close to +-1 or g near 0).
  return a_ * std::log1p(g) - b_ * std::log1p(c_ * g) - 1.5 * std::log(g) - d_ / (2.0 * g);
}

double JZSFunction::ComputeNI(double g) {
  const double logValue = LogNI(g) - logScale_;
  if (logValue > KQPower::gMachineMaxExp) return KQMV::Missing();
  return std::exp(logValue);
}

double FractionFunctionG1V::ComputeNI(double v) {
  const double s = std::sqrt(v);
  const double base = s + 1.0 / s - m_;
  if (!(base > 0.0)) return 0.0;
  return std::exp(c_ * std::log(k_ / base) - std::log(v));
}

BayesFactor2DimIF::BayesFactor2DimIF(double fraction, double nWeights, double r) noexcept
    : fraction_(fraction),
      nWeights_(nWeights),
      r_(r),
      isValid_(fraction > 0.0 && fraction <= 1.0 && nWeights > 0.0 && r >= -1.0 && r <= 1.0) {
  if (!isValid_) return;
  logBound_ = KQPower::gMachineMaxExp - 3.0;
  e1_ = (fraction_ * nWeights_ - 3.0) / 2.0;
  e2_ = 1.0 - fraction_ * nWeights_;
}

double BayesFactor2DimIF::LogMC(double v, double rho) const noexcept {
  if (!(v > 0.0 && rho > -1.0 && rho < 1.0)) return -INFINITY;
  const double s = std::sqrt(v);
  return e1_ * std::log1p(-rho * rho) - std::log(v) + e2_ * std::log(s + 1.0 / s - 2.0 * r_ * rho);
}

double BayesFactor2DimIF::ComputeMC(double v, double rho) {
  if (!isValid_) return KQMV::Missing();
  if (!(v > 0.0 && rho > -1.0 && rho < 1.0)) return 0.0;
  return std::exp(LogMC(v, rho) - logScale_);
}

void BayesFactor2DimIF::UpdateMaxLog(double v, double rho) noexcept {
  if (!isValid_ || !(v > 0.0 && rho > -1.0 && rho < 1.0)) return;
  const double logValue = LogMC(v, rho);
  if (logValue > maxLog_) maxLog_ = logValue;
}

}  // namespace KQBSN_850
