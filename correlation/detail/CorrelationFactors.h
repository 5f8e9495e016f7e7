#pragma once
// The two Bayes factors BF01 of one pair's correlation, as logarithms.
//
// JZS (Wetzels and Wagenmakers): BF01 = sqrt(pi) / (sqrt(n/2) J), J the integral over g in
// [kJzsLowerG, kJzsUpperG] of (g + 1)^((n-2)/2) (1 + (1 - r^2) g)^(-(n-1)/2) g^(-3/2) exp(-n / (2 g)); the
// null is rho = 0. The integrand is divided by its maximum (JZSFunction's log scale), so that the factor of
// any sample size comes out as a finite logarithm.
// Fractional (fraction b, null rho0): with t = 2 r rho0 and h = 0.5 ln(1 - rho0^2) - ln(2 - t),
// ln BF01 = (n - 1) h + ln J1 - (n b - 1) h - ln Jb + ln Ib + Mb - ln I1 - M1, J1 and Jb the integrals of
// FractionFunctionG1V (m = t, k = 2 - t, c = n - 1 or n b - 1) over v in (0, 1e6] in three pieces and the
// last four terms BayesFactor2DimMC's two-dimensional integrals.
// Both answer the missing value for a missing r, |r| = 1 or n <= 0, and when an integral fails; a
// quadrature that warns hands its warnings back.
// Accuracy: tests/correlation/CorrelationFactors_test.cpp against R's integrate().

#include "companion/KQCancel.h"
#include "companion/KQWarnings.h"

namespace KQBSN_850 {

class BayesFactor2DimMC;

namespace detail {

/// The g range of the JZS integral: from the machine epsilon (the integrand vanishes faster than any
/// power at 0) to 1e6 (the integrand's tail beyond decays as g^-1.5).
inline constexpr double kJzsLowerG = 2.220446049250313e-16;
inline constexpr double kJzsUpperG = 1000000.0;

struct CorrQuadrature {
  double tolerance;
  int maxIter;
  /// Asked by the quadrature every few iterations; null where the host must not be called.
  KQCommon_850::KQCancelInfo* cancel = nullptr;
};

struct CorrFactorResult {
  double logBf01;                     ///< ln BF01, or the missing value
  KQCommon_850::KQWarnings warnings;  ///< the quadratures' warnings
  bool cancelled = false;
};

/// ln BF01 of rho = 0 under the JZS prior for a correlation r over n weighted cases.
CorrFactorResult JzsCorrelationLogBf01(double r, double n, const CorrQuadrature& quadrature);

/// ln BF01 of rho = rho0, fractional with fraction b; `mc` carries the seed, its parameters are set here.
CorrFactorResult FractionalCorrelationLogBf01(double r, double n, double rho0, double fraction, long nSamples,
                                              BayesFactor2DimMC& mc, const CorrQuadrature& quadrature);

}  // namespace detail
}  // namespace KQBSN_850
