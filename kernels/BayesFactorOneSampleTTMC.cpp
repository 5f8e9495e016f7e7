#include "kernels/detail/BayesFactorOneSampleTTMC.h"

#include "companion/KQMV.h"
#include "companion/KQRandomValues.h"
#include "kernels/BayesFactorDenomIF.h"
#include "kernels/detail/BayesFactorOneSampleTT.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

BayesFactorOneSampleTTMC::BayesFactorOneSampleTTMC(double nCases, double df, double t, int nSamples,
                                                   unsigned long seed)
    : nCases_(nCases),
      df_(df),
      t_(t),
      nSamples_(nSamples),
      seed_(seed),
      // M = 0 would average nothing; it is refused like the other invalid inputs.
      valid_(nCases > 0.0 && df > 0.0 && !KQMV::IsMissingOrNaN(t) && nSamples > 0) {}

double BayesFactorOneSampleTTMC::SumUp(double, double) {
  if (!valid_) return KQMV::Missing();
  KQMath_850::KQRandomValues random;
  random.SetParamGamma(0.5, 0.5);
  random.SetSeed(seed_);
  BayesFactorDenomIF integrand(nCases_, df_, t_);
  integrand.SetLogScale(LogNullTKernel(df_, t_));
  double sum = 0.0;
  for (int i = 0; i < nSamples_; ++i) {
    double u = random.GetRandom();
    while (u == 0.0) u = random.GetRandom();
    sum += integrand.ComputeMC(1.0 / u, 0.0);
  }
  return sum;
}

double BayesFactorOneSampleTTMC::Integrate(double lo, double hi) {
  const double sum = SumUp(lo, hi);
  return KQMV::IsMissing(sum) ? sum : sum / nSamples_;
}

double BayesFactorOneSampleTTMC::ComputeBayesFactor() {
  if (!valid_) return KQMV::Missing();
  const double scaledDenominator = Integrate(0.0, 1.0);
  if (KQMV::IsMissing(scaledDenominator) || scaledDenominator == 0.0) return KQMV::Missing();
  return 1.0 / scaledDenominator;
}

}  // namespace KQBSN_850
