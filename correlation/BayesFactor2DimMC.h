#pragma once
// BayesFactor2DimMC: Monte Carlo integrals over (v, rho) of the fractional Bayes factor of a correlation.
//
// For the fraction b, the sum of weights n and the sample correlation r it integrates
//   f_b(v, rho) = (1 - rho^2)^((b n - 3)/2) v^-1 (sqrt v + 1/sqrt v - 2 r rho)^(1 - b n)
// and f_1 (the same with b = 1) over rho in [-1, 1] and v in the three ranges [0, 0.5], [0.5, 2],
// [2, 1000], each by the mean of N uniform draws (the rho draws seeded with the seed, the v draws with
// seed + 2, so that one seed gives one answer). Each integrand is divided by exp(M), M chosen from a first
// pass over the same points so that the largest value drawn is exp(ln(max double) - 3 - ln N): the
// integrals I1 exp(M1) and Ib exp(Mb) of any sample size stay representable as (I, M). The Bayes factor
// from the caller's one-dimensional terms p and q is p / q * Ib exp(Mb) / (I1 exp(M1)), also as a log.
// Input: 0 < b <= 1, n > 0, -1 <= r <= 1, N >= 0; otherwise the object is invalid and every result is the
// missing value. N = 0 gives no draw and a missing factor.
// Accuracy: tests/correlation/CorrelationFactors_test.cpp compares with nested R integrate() within a few
// Monte Carlo standard errors.

#include <ostream>

#include "companion/INumIntegration.h"

namespace KQBSN_850 {

class BayesFactor2DimMC final : public KQMath_850::INumIntegration {
 public:
  BayesFactor2DimMC(double fraction, double nWeights, double r, long nSamples, unsigned long seed);

  bool IsValid() const noexcept { return isValid_; }
  /// Stores new parameters, recomputes the validity and forgets every result and the caller's log scale.
  bool SetParams(double fraction, double nWeights, double r, long nSamples);
  /// Stores the seed and forgets every result and the caller's log scale.
  void SetSeed(unsigned long seed);
  /// A log scale that both integrands use instead of the one found by a first pass.
  void SetLogScale(double logScale) noexcept { callerLogScale_ = logScale; }

  /// The mean of the fraction-b integrand over N draws in [vLow, vHigh] x [rho lower, rho upper].
  double SumUp(double vLow, double vHigh) override;
  /// The fraction-b integral over [vLow, vHigh] x [rho lower, rho upper] (scaled by exp(-Mb)).
  double Integrate(double vLow, double vHigh) override;
  /// Integrates the three v ranges and combines them on the largest scale.
  void Compute();
  /// exp(ln p - ln q + ln Ib + Mb - ln I1 - M1); computes first when needed.
  double ComputeBayesFactor(double p, double q);
  /// The same with ln p and ln q given.
  double ComputeBayesFactorFromLogs(double logP, double logQ);
  /// ln of the last factor computed; missing before.
  double GetLogBayesFactor() const noexcept { return logBayesFactor_; }

  /// exp(M1) I1 and exp(Mb) Ib.
  void GetIntegrals(double& i1, double& ib) const;
  /// ln I1 + M1 and ln Ib + Mb.
  void GetLogIntegrals(double& logI1, double& logIb) const;
  double GetRatioOfIntegrals() const;
  double GetLogRatioOfIntegrals() const;
  void GetNumberOfUnderflows(long& n1, long& nb) const;

  void Display(std::ostream& os) const;

 private:
  void ResetResults();

  double fraction_, nWeights_, r_;
  long nSamples_;
  unsigned long seed_;
  double rhoLower_ = -1.0, rhoUpper_ = 1.0;
  double vLower_ = 0.0, vInner1_ = 0.5, vInner2_ = 2.0, vUpper_ = 1000.0;
  double average1_ = 0.0, averageB_ = 0.0;
  double callerLogScale_;
  double integral1_, integralB_;
  double logScale1_ = 0.0, logScaleB_ = 0.0;
  double logBayesFactor_;
  bool isValid_ = false;
  long underflows1_ = 0, underflowsB_ = 0;
};

}  // namespace KQBSN_850
