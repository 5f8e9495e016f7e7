#pragma once
// The JZS factor of a t statistic as an analysis' settings ask for it: ln BF01 with prior scale 1, by
// adaptive quadrature of JzsLogBf01 over g in [lower, upper] (MethodType AQL; TolValue and MaxIterations
// when they are > 0) or by Monte Carlo (MCA; MCSamples draws from RandomSeed). The one-sample and
// paired analyses integrate over all g > 0, the two-sample one over its own range.
// Input: nEffective > 0, df > 0, t present; otherwise the missing value. The quadrature's warnings are
// added to `warnings` as BSN_NUMERICAL_PROBLEM; a Monte Carlo average that underflowed to 0 gives minus
// infinity, a factor beyond the double range like any other.
// Accuracy: the kernels' tests compare both methods with R; the analyses' tests with BayesFactor.

#include <limits>

#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {

double JzsLogBf01FromSettings(double nEffective, double df, double t, const BSNSettings& settings,
                              KQCommon_850::KQWarnings& warnings, double lower = 0.0,
                              double upper = std::numeric_limits<double>::max());

}  // namespace KQBSN_850
