#include "kernels/detail/JzsSettingsFactor.h"

#include <cmath>

#include "companion/KQMV.h"
#include "kernels/detail/BayesFactorOneSampleTTMC.h"
#include "kernels/detail/JzsLogBf01.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

double JzsLogBf01FromSettings(double nEffective, double df, double t, const BSNSettings& settings,
                              KQCommon_850::KQWarnings& warnings, double lower, double upper) {
  if (KQMV::IsMissingOrNaN(nEffective) || KQMV::IsMissingOrNaN(t)) return KQMV::Missing();
  if (settings.GetMethodType() == BSNConst::MethodTypes::MCA) {
    BayesFactorOneSampleTTMC monteCarlo(nEffective, df, t, settings.GetMCSamples(), settings.GetRandomSeed());
    const double bf01 = monteCarlo.IsValid() ? monteCarlo.ComputeBayesFactor() : KQMV::Missing();
    // ln 0 = -infinity: an average that underflowed is a factor below the double range.
    return KQMV::IsMissingOrNaN(bf01) ? KQMV::Missing() : std::log(bf01);
  }
  JzsIntegration integration;
  integration.lower = lower;
  integration.upper = upper;
  if (settings.GetTolValue() > 0.0) integration.tolerance = settings.GetTolValue();
  if (settings.GetMaxIterations() > 0) integration.maxIter = settings.GetMaxIterations();
  const JzsLogBf01Result result = JzsLogBf01(nEffective, df, t, 1.0, integration);
  AddJzsTableWarnings(result.warnings, warnings);
  return result.logBf01;
}

}  // namespace KQBSN_850
