#include "twosample/detail/RouderBayesFactor.h"

#include <limits>

#include "kernels/detail/JzsSettingsFactor.h"

namespace KQBSN_850 {

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
        return JzsLogBf01FromSettings(h, df, t, settings_, *warnings_, kLowerLimit, kUpperLimit);
      },
      warnings);
  return KQStatus();
}

}  // namespace KQBSN_850
