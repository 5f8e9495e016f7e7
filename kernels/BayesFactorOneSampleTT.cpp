#include "kernels/detail/BayesFactorOneSampleTT.h"

#include <cmath>
#include <limits>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "kernels/detail/JzsLogBf01.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

double LogNullTKernel(double df, double t) noexcept { return -0.5 * (df + 1.0) * std::log1p(t * t / df); }

BayesFactorOneSampleTT::BayesFactorOneSampleTT(double nCases, double df, double t)
    : nCases_(nCases),
      df_(df),
      t_(t),
      valid_(nCases > 0.0 && df > 0.0 && !KQMV::IsMissingOrNaN(t)),
      upper_(std::numeric_limits<double>::max()) {}

double BayesFactorOneSampleTT::ComputeLogBayesFactor() {
  nIterations_ = 0;
  if (!valid_) return KQMV::Missing();
  const JzsLogBf01Result result = JzsLogBf01(nCases_, df_, t_, 1.0, {lower_, upper_, tolerance_, maxIter_});
  nIterations_ = result.nIterations;
  warnings_.AddWarnings(result.warnings);
  return result.logBf01;
}

double BayesFactorOneSampleTT::ComputeBayesFactor() {
  const double logBf01 = ComputeLogBayesFactor();
  return KQMV::IsMissing(logBf01) ? KQMV::Missing() : std::exp(logBf01);
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
