#include "kernels/detail/BayesFactorOneSampleTT.h"

#include <array>
#include <cmath>
#include <limits>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "companion/LobattoQuad.h"
#include "kernels/BayesFactorDenomIF.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

namespace {

// Ends of the fallback pieces after the lower limit: the integrand's mass for moderate t lies below
// g = 500, and each piece is split at its midpoint, so the fallback is twenty basic-rule panels.
constexpr std::array<double, 5> kBreakpoints{1.0, 2.0, 10.0, 50.0, 500.0};

double FallbackSum(KQMath_850::LobattoQuad& quad, double lower) {
  double sum = 0.0;
  double from = lower;
  for (double to : kBreakpoints) {
    const double mid = (from + to) * 0.5;
    sum += quad.SumUp(from, mid) + quad.SumUp(mid, to);
    from = to;
  }
  return sum;
}

}  // namespace

double LogNullTKernel(double df, double t) noexcept { return -0.5 * (df + 1.0) * std::log1p(t * t / df); }

BayesFactorOneSampleTT::BayesFactorOneSampleTT(double nCases, double df, double t)
    : nCases_(nCases),
      df_(df),
      t_(t),
      valid_(nCases > 0.0 && df > 0.0 && !KQMV::IsMissingOrNaN(t)),
      upper_(std::numeric_limits<double>::max()) {}

double BayesFactorOneSampleTT::ComputeBayesFactor() {
  nIterations_ = 0;
  if (!valid_) return KQMV::Missing();
  const double logL0 = LogNullTKernel(df_, t_);
  BayesFactorDenomIF integrand(nCases_, df_, t_);
  integrand.SetLogScale(logL0);
  KQMath_850::LobattoQuad quad(integrand);
  quad.SetTolerance(tolerance_);
  quad.SetMaxIter(maxIter_);

  const double upper = std::min(upper_, kCutOff);
  double scaledDenominator = quad.Integrate(lower_, upper);
  nIterations_ = quad.GetNIterations();
  if (nIterations_ >= maxIter_) scaledDenominator = FallbackSum(quad, lower_);
  warnings_.AddWarnings(quad.GetWarnings());
  if (KQMV::IsMissingOrNaN(scaledDenominator)) return KQMV::Missing();

  if (kCutOff < upper_) {
    // Integral of K N^(-1/2) g^(-2) from the cut-off to the upper limit, divided by L0.
    const double inverseUpper = upper_ == std::numeric_limits<double>::max() ? 0.0 : 1.0 / upper_;
    const double tail = BayesFactorDenomIF::kInvSqrt2Pi / std::sqrt(nCases_) * (1.0 / kCutOff - inverseUpper);
    if (tail > 0.0) scaledDenominator += std::exp(std::log(tail) - logL0);
  }
  if (scaledDenominator == 0.0) return KQMV::Missing();
  return 1.0 / scaledDenominator;
}

void BayesFactorOneSampleTT::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BayesFactorOneSampleTT display start");
  DisplayD("Number of cases", nCases_);
  DisplayD("Sum of frequency weights - 1", df_);
  DisplayD("T statistic", t_);
  DisplayB("Validity indicator", valid_);
  DisplayD("Tolerance", tolerance_);
  DisplayI("Maximum iterations", maxIter_);
  DisplayI("Iterations used", nIterations_);
  DisplayD("Lower limit", lower_);
  DisplayD("Upper limit", upper_);
  DisplayText(1, "BayesFactorOneSampleTT display end");
}

}  // namespace KQBSN_850
