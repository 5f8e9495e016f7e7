#pragma once
// JzsLogBf01: ln BF01 of a t statistic under the JZS prior, the one integral behind the one-sample and
// the two-sample JZS factors.
//
// With effective size N (the sample size, or N1 N2 / (N1 + N2) for two samples), nu degrees of freedom,
// statistic t and prior scale r, BF01 = L0 / D, L0 = (1 + t^2/nu)^(-(nu+1)/2) and
//   D = integral over g in [lower, upper] of (1 + N g)^(-1/2) (1 + t^2 / ((1 + N g) nu))^(-(nu+1)/2)
//       r K g^(-3/2) exp(-r^2 / (2 g)) dg,   K = 1/sqrt(2 pi).
// The integrand is divided by its maximum over g (found on a grid in ln g and refined by golden-section
// steps), so that neither it nor the integral underflows or overflows whatever N and t are; the log of
// the maximum is added back to ln D. The quadrature (adaptive Gauss-Lobatto) runs up to
// min(upper, kCutOff); beyond the cut-off the integrand is r K N^(-1/2) g^(-2) to within a relative
// 1/(N g) and that tail is added in closed form. When the quadrature does not converge within its
// iteration limit, a fixed sum of twenty basic-rule panels over [lower, 500] replaces it and the
// quadrature's warning is kept.
// Input: N > 0, nu > 0, r > 0, t present, 0 <= lower < upper; otherwise the missing value without a
// warning. The warnings are the quadrature's own codes (KQ_INTEGRATION_NOT_CONVERGED,
// KQ_INTEGRAND_NOT_FINITE); AddJzsTableWarnings hands them to an analysis as a code of its status table.
// Accuracy: tests/kernels/JzsLogBf01_test.cpp compares with R's BayesFactor::ttest.tstat, also where
// BF01 itself underflows; tests/kernels/BayesFactorOneSampleTT_test.cpp and the two-sample tests compare
// the factors built on it with R's integrate().

#include "companion/KQCancel.h"
#include "companion/KQWarnings.h"

namespace KQBSN_850 {

/// The range of g and the quadrature's settings.
struct JzsIntegration {
  double lower = 0.0;
  double upper = 1.7976931348623157e308;  ///< the largest double: the integral to infinity
  double tolerance = 1e-8;
  int maxIter = 1500;
  /// Polled by the quadrature every LobattoQuad::kCancelPollInterval iterations (null: never).
  KQCommon_850::KQCancelInfo* cancel = nullptr;
};

struct JzsLogBf01Result {
  double logBf01;   ///< ln BF01, or the missing value
  int nIterations;  ///< iterations of the main quadrature (the limit when it did not converge)
  KQCommon_850::KQWarnings warnings;  ///< the quadrature's own warnings
  bool cancelled = false;             ///< the quadrature stopped for cancellation (ln BF01 missing)
};

/// The quadrature stops here; the integrand beyond is close enough to its large-g form to add that
/// form's integral instead (relative error below 1/(N * 1e5)).
inline constexpr double kJzsCutOff = 100000.0;

/// ln BF01 of the JZS factor for effective size nEffective, df degrees of freedom, statistic t and
/// prior scale rScale, integrating g over the given range.
JzsLogBf01Result JzsLogBf01(double nEffective, double df, double t, double rScale,
                            const JzsIntegration& integration);

/// Adds to an analysis' warnings one BSN_NUMERICAL_PROBLEM warning for each quadrature warning of
/// JzsLogBf01: the quadrature's own codes have no text in the analyses' status table.
void AddJzsTableWarnings(const KQCommon_850::KQWarnings& quadratureWarnings,
                         KQCommon_850::KQWarnings& warnings);

}  // namespace KQBSN_850
