#include "loglinear/BSNLLDirichletIF.h"

#include <cmath>

#include "companion/KQDisplay.h"
#include "companion/KQDistFun.h"
#include "companion/KQMV.h"
#include "companion/KQPower.h"
#include "loglinear/BSNLoglinearFun.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQMath_850::KQDistFun;

BSNLLDirichletIF::BSNLLDirichletIF(const std::vector<double>& counts,
                                   const std::vector<std::vector<double>>& cells, double tPrime,
                                   double bScale, double total)
    : counts_(counts), cells_(cells), tPrime_(tPrime), bScale_(bScale), total_(total) {}

namespace {

/// From here on ln Gamma(a + x) - ln Gamma(a) is taken from Stirling's series: its truncation error,
/// about 1 / (1260 a^7), is below the rounding of the result, whereas the difference of two ln Gamma
/// values near a ln a would lose the digits of ln a (8 of them at a = 1e8, where the quadrature
/// reaches).
constexpr double kStirlingFrom = 100.0;

/// ln Gamma(a + x) - ln Gamma(a) for a > 0, x >= 0.
double LogGammaRatio(double a, double x) {
  if (x == 0.0) return 0.0;
  if (a < kStirlingFrom) return KQDistFun::qorvdnlgam(a + x) - KQDistFun::qorvdnlgam(a);
  // (z - 1/2) ln z - z + 1/(12 z) - 1/(360 z^3) + 1/(1260 z^5) at z = a + x minus at z = a, the first
  // terms regrouped as (a - 1/2) ln(1 + x/a) + x ln(a + x) - x.
  const double b = a + x;
  auto series = [](double z) {
    const double z2 = z * z;
    return (1.0 / 12.0 - (1.0 / 360.0 - 1.0 / (1260.0 * z2)) / z2) / z;
  };
  return (a - 0.5) * KQDistFun::Log1p(x / a) + x * std::log(b) - x + (series(b) - series(a));
}

}  // namespace

double BSNLLDirichletIF::ComputeLogF(double alpha) const {
  if (!(alpha > 0.0)) return KQMV::Missing();
  // ln Gamma(x + alpha) - ln Gamma(alpha) per count, 0 for an empty one: as a ratio per count, so
  // that neither a tiny alpha (ln Gamma(alpha) ~ -ln alpha) nor a huge one cancels across the sum.
  double sum = 0.0, nCounts = 0.0;
  auto add = [&](double x) {
    nCounts += 1.0;
    sum += LogGammaRatio(alpha, x);
  };
  if (cells_.empty()) {
    for (double x : counts_) add(x);
  } else {
    for (const auto& row : cells_)
      for (double x : row) add(x);
  }
  const double logPrior = BSNLoglinearFun::LogLogCauchyDensity(alpha / bScale_);
  if (KQMV::IsMissing(logPrior)) return KQMV::Missing();
  const double k = tPrime_;
  if (nCounts != k) sum += (nCounts - k) * KQDistFun::qorvdnlgam(alpha);  // k ln Gamma(alpha) in all
  return sum - LogGammaRatio(k * alpha, total_) + logPrior - std::log(bScale_);
}

double BSNLLDirichletIF::ComputeLogScaledF(double alpha) const {
  const double logF = ComputeLogF(alpha);
  return KQMV::IsMissing(logF) ? logF : logF - logF1_;
}

double BSNLLDirichletIF::ComputeScaledF(double alpha) const {
  const double logF = ComputeLogScaledF(alpha);
  if (KQMV::IsMissingOrNaN(logF) || !(logF < KQMath_850::KQPower::gMachineMaxExp)) return KQMV::Missing();
  return std::exp(logF);
}

double BSNLLDirichletIF::ComputeNI(double alpha) {
  if (!(alpha > 0.0)) return 0.0;
  return ComputeScaledF(alpha);
}

double BSNLLDirichletIF::ComputeMC(double, double) { return KQMV::Missing(); }

void BSNLLDirichletIF::SetScaling(bool scaling) {
  scaling_ = scaling;
  logF1_ = 0.0;
  if (scaling) logF1_ = ComputeLogF(1.0);
}

double BSNLLDirichletIF::ComputeY() const {
  double sum = 0.0;
  if (cells_.empty()) {
    for (double x : counts_) sum += x;
  } else {
    for (const auto& row : cells_)
      for (double x : row) sum += x;
  }
  return sum;
}

void BSNLLDirichletIF::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayD("fTPrime", tPrime_);
  DisplayD("fbScale", bScale_);
  DisplayD("fLogF1", logF1_);
}

}  // namespace KQBSN_850
