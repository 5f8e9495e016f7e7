#include "correlation/BayesFactor2DimMC.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "companion/KQRandomValues.h"
#include "correlation/detail/CorrelationIntegrands.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQMath_850::KQRandomValues;

namespace {

bool IsValidSetting(double fraction, double nWeights, double r, long nSamples) noexcept {
  return fraction > 0.0 && fraction <= 1.0 && nWeights > 0.0 && r >= -1.0 && r <= 1.0 && nSamples >= 0;
}

}  // namespace

BayesFactor2DimMC::BayesFactor2DimMC(double fraction, double nWeights, double r, long nSamples,
                                     unsigned long seed)
    : fraction_(fraction), nWeights_(nWeights), r_(r), nSamples_(nSamples), seed_(seed) {
  ResetResults();
  isValid_ = IsValidSetting(fraction, nWeights, r, nSamples);
}

void BayesFactor2DimMC::ResetResults() {
  integral1_ = integralB_ = KQMV::Missing();
  logBayesFactor_ = KQMV::Missing();
  callerLogScale_ = KQMV::Missing();
  logScale1_ = logScaleB_ = 0.0;
}

bool BayesFactor2DimMC::SetParams(double fraction, double nWeights, double r, long nSamples) {
  fraction_ = fraction;
  nWeights_ = nWeights;
  r_ = r;
  nSamples_ = nSamples;
  isValid_ = IsValidSetting(fraction, nWeights, r, nSamples);
  ResetResults();
  return isValid_;
}

void BayesFactor2DimMC::SetSeed(unsigned long seed) {
  seed_ = seed;
  ResetResults();
}

double BayesFactor2DimMC::SumUp(double vLow, double vHigh) {
  if (!isValid_) return KQMV::Missing();
  KQRandomValues rhoDraws(seed_), vDraws(seed_ + 2);
  rhoDraws.SetParamUniform(rhoLower_, rhoUpper_);
  vDraws.SetParamUniform(vLow, vHigh);
  BayesFactor2DimIF whole(1.0, nWeights_, r_), fractional(fraction_, nWeights_, r_);

  if (!KQMV::IsMissing(callerLogScale_)) {
    logScale1_ = logScaleB_ = callerLogScale_;
  } else if (nSamples_ == 0) {
    logScale1_ = logScaleB_ = 0.0;
  } else {
    for (long i = 0; i < nSamples_; ++i) {
      const double v = vDraws.GetRandom();
      const double rho = rhoDraws.GetRandom();
      whole.UpdateMaxLog(v, rho);
      fractional.UpdateMaxLog(v, rho);
    }
    // The largest value drawn becomes exp(bound - ln N): the sum of N of them cannot overflow.
    const double logN = std::log(static_cast<double>(nSamples_));
    logScale1_ = whole.GetMaxLog() - (whole.GetLogBound() - logN);
    logScaleB_ = fractional.GetMaxLog() - (fractional.GetLogBound() - logN);
    rhoDraws.SetSeed(seed_);
    vDraws.SetSeed(seed_ + 2);
  }
  whole.SetLogScale(logScale1_);
  fractional.SetLogScale(logScaleB_);

  average1_ = averageB_ = 0.0;
  underflows1_ = underflowsB_ = 0;
  for (long i = 1; i <= nSamples_; ++i) {
    const double v = vDraws.GetRandom();
    const double rho = rhoDraws.GetRandom();
    const double count = static_cast<double>(i);
    const double next1 = average1_ + (whole.ComputeMC(v, rho) - average1_) / count;
    const double nextB = averageB_ + (fractional.ComputeMC(v, rho) - averageB_) / count;
    if (next1 == average1_) ++underflows1_;
    if (nextB == averageB_) ++underflowsB_;
    average1_ = next1;
    averageB_ = nextB;
  }
  return averageB_;
}

double BayesFactor2DimMC::Integrate(double vLow, double vHigh) {
  if (!isValid_) return KQMV::Missing();
  SumUp(vLow, vHigh);
  const double area = (vHigh - vLow) * (rhoUpper_ - rhoLower_);
  integral1_ = area * average1_;
  integralB_ = area * averageB_;
  return integralB_;
}

void BayesFactor2DimMC::Compute() {
  if (!isValid_) {
    integral1_ = integralB_ = logScale1_ = logScaleB_ = KQMV::Missing();
    return;
  }
  const std::array<double, 4> bounds{vLower_, vInner1_, vInner2_, vUpper_};
  std::array<double, 3> i1{}, ib{}, m1{}, mb{};
  long total1 = 0, totalB = 0;
  for (std::size_t k = 0; k < 3; ++k) {
    Integrate(bounds[k], bounds[k + 1]);
    i1[k] = integral1_;
    ib[k] = integralB_;
    m1[k] = logScale1_;
    mb[k] = logScaleB_;
    total1 += underflows1_;
    totalB += underflowsB_;
  }
  // The three ranges on the largest of their scales.
  logScale1_ = *std::max_element(m1.begin(), m1.end());
  logScaleB_ = *std::max_element(mb.begin(), mb.end());
  integral1_ = integralB_ = 0.0;
  for (std::size_t k = 0; k < 3; ++k) {
    integral1_ += std::exp(m1[k] - logScale1_) * i1[k];
    integralB_ += std::exp(mb[k] - logScaleB_) * ib[k];
  }
  underflows1_ = total1;
  underflowsB_ = totalB;
}

double BayesFactor2DimMC::ComputeBayesFactor(double p, double q) {
  return ComputeBayesFactorFromLogs(std::log(p), std::log(q));
}

double BayesFactor2DimMC::ComputeBayesFactorFromLogs(double logP, double logQ) {
  if (!isValid_) return KQMV::Missing();
  if (KQMV::IsMissing(integral1_) || KQMV::IsMissing(integralB_)) Compute();
  const double logBf = logP - logQ + std::log(integralB_) + logScaleB_ - std::log(integral1_) - logScale1_;
  // No draw, or integrals that vanished, give no factor rather than a NaN or an infinity.
  logBayesFactor_ = std::isfinite(logBf) ? logBf : KQMV::Missing();
  if (KQMV::IsMissing(logBayesFactor_)) return KQMV::Missing();
  return std::exp(logBayesFactor_);
}

void BayesFactor2DimMC::GetIntegrals(double& i1, double& ib) const {
  const bool known = isValid_ && !KQMV::IsMissing(integral1_) && !KQMV::IsMissing(integralB_);
  i1 = known ? std::exp(logScale1_) * integral1_ : KQMV::Missing();
  ib = known ? std::exp(logScaleB_) * integralB_ : KQMV::Missing();
}

void BayesFactor2DimMC::GetLogIntegrals(double& logI1, double& logIb) const {
  const bool known = isValid_ && !KQMV::IsMissing(integral1_) && !KQMV::IsMissing(integralB_);
  logI1 = known ? std::log(integral1_) + logScale1_ : KQMV::Missing();
  logIb = known ? std::log(integralB_) + logScaleB_ : KQMV::Missing();
}

double BayesFactor2DimMC::GetLogRatioOfIntegrals() const {
  double logI1 = 0.0, logIb = 0.0;
  GetLogIntegrals(logI1, logIb);
  if (KQMV::IsMissing(logI1)) return KQMV::Missing();
  return logI1 - logIb;
}

double BayesFactor2DimMC::GetRatioOfIntegrals() const {
  const double logRatio = GetLogRatioOfIntegrals();
  return KQMV::IsMissing(logRatio) ? KQMV::Missing() : std::exp(logRatio);
}

void BayesFactor2DimMC::GetNumberOfUnderflows(long& n1, long& nb) const {
  n1 = underflows1_;
  nb = underflowsB_;
}

void BayesFactor2DimMC::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BayesFactor2DimMC display start");
  DisplayD("Fraction parameter", fraction_);
  DisplayD("Sum of weights", nWeights_);
  DisplayD("Sample correlation", r_);
  DisplayL("Sample size", nSamples_);
  DisplayL("Seed for RNG", static_cast<long>(seed_));
  DisplayD("Lower boundary for rho", rhoLower_);
  DisplayD("Upper boundary for rho", rhoUpper_);
  DisplayD("Lower boundary for V", vLower_);
  DisplayD("First inner boundary for V", vInner1_);
  DisplayD("Second inner boundary for V", vInner2_);
  DisplayD("Upper boundary for V", vUpper_);
  DisplayD("Average of scaled integrand values (fraction=1)", average1_);
  DisplayD("Average of scaled integrand values (arbitrary fraction)", averageB_);
  DisplayD("Logarithm of scale for integrated function", callerLogScale_);
  DisplayD("Scaled integral (fraction=1)", integral1_);
  DisplayD("Scaled integral (arbitrary fraction)", integralB_);
  DisplayD("Logarithm of scale (fraction=1)", logScale1_);
  DisplayD("Logarithm of scale (arbitrary fraction)", logScaleB_);
  DisplayD("Logarithm of Bayes factor", logBayesFactor_);
  DisplayB("Validity indicator", isValid_);
  DisplayL("Number of underflows (fraction=1)", underflows1_);
  DisplayL("Number of underflows (arbitrary fraction)", underflowsB_);
  DisplayText(1, "BayesFactor2DimMC display end");
}

}  // namespace KQBSN_850
