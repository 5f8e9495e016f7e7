#include "twosample/detail/RouderBayesFactor.h"

#include <cmath>
#include <limits>

#include "companion/KQMV.h"
#include "kernels/detail/BayesFactorOneSampleTT.h"
#include "kernels/detail/BayesFactorOneSampleTTMC.h"
#include "kernels/detail/JzsLogBf01.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

namespace {

// The integrand carries exp(-1/(2g)) g^(-3/2), which underflows to 0 for g below about 6.7e-4, so
// starting at machine epsilon rather than 0 loses nothing and keeps the rule off the point g = 0.
constexpr double kLowerLimit = std::numeric_limits<double>::epsilon();
// The integral stops at g = 1e6. Beyond it the integrand is K h^(-1/2) g^(-2), so the part left out is
// K h^(-1/2) 1e-6: BF01 comes out larger than the full integral's by that much relative to the
// denominator (1.5e-6 for the mtcars example of the tests).
constexpr double kUpperLimit = 1000000.0;

}  // namespace

RouderBayesFactor::RouderBayesFactor(const BSNSettings& settings, const KQCommon_850::KQVarList& varList,
                                     KQCommon_850::KQWarnings& warnings)
    : BSN2SampleIndBayesFactor(settings, varList), warnings_(&warnings) {}

KQStatus RouderBayesFactor::ComputeBayesFactors(KQCommon_850::KQWarnings& warnings) {
  FillBayesFactors(
      [this](double h, double df, double t) {
        double logBf01 = KQMV::Missing();
        const double bf01 = RouderBf01(h, df, t, settings_, *warnings_, &logBf01);
        // A Monte Carlo average that underflowed to 0 has no logarithm of its own.
        return KQMV::IsMissing(logBf01) && bf01 == 0.0 ? -std::numeric_limits<double>::infinity() : logBf01;
      },
      warnings);
  return KQStatus();
}

double RouderBf01(double h, double df, double t, const BSNSettings& settings,
                  KQCommon_850::KQWarnings& warnings, double* logBf01) {
  if (logBf01 != nullptr) *logBf01 = KQMV::Missing();
  if (settings.GetMethodType() == BSNConst::MethodTypes::AQL) {
    JzsIntegration integration{kLowerLimit, kUpperLimit, BayesFactorOneSampleTT::kDefaultTolerance,
                               BayesFactorOneSampleTT::kDefaultMaxIter};
    if (settings.GetTolValue() > 0.0) integration.tolerance = settings.GetTolValue();
    if (settings.GetMaxIterations() > 0) integration.maxIter = settings.GetMaxIterations();
    const JzsLogBf01Result result = JzsLogBf01(h, df, t, 1.0, integration);
    AddJzsTableWarnings(result.warnings, warnings);
    if (logBf01 != nullptr) *logBf01 = result.logBf01;
    return KQMV::IsMissing(result.logBf01) ? KQMV::Missing() : std::exp(result.logBf01);
  }
  BayesFactorOneSampleTTMC monteCarlo(h, df, t, settings.GetMCSamples(), settings.GetRandomSeed());
  const double bf01 = monteCarlo.IsValid() ? monteCarlo.ComputeBayesFactor() : KQMV::Missing();
  if (logBf01 != nullptr && bf01 > 0.0) *logBf01 = std::log(bf01);
  return bf01;
}

}  // namespace KQBSN_850
