#include "companion/KQContStats.h"

#include <algorithm>
#include <cmath>

#include "companion/KQMV.h"

namespace KQMath_850 {

using KQCommon_850::KQMV;

namespace {

// The missing value is the most negative double and NaN compares false, so both fail this test.
bool IsPositiveWeight(double weight) { return weight > 0.0; }

}  // namespace

void KQContStats::Update(double x, double frequencyWeight, double regressionWeight) {
  if (KQMV::IsMissingOrNaN(x) || !IsPositiveWeight(frequencyWeight)) return;
  double weight = frequencyWeight;
  if (regressionWeight != kNoRegressionWeight) {
    if (!IsPositiveWeight(regressionWeight)) return;
    weight *= regressionWeight;
  }
  if (blockCount_ == 0) {
    if (sumWeights_ == 0.0) {
      shift_ = x;
      min_ = x;
      max_ = x;
      blockShift_ = x;
      if (x != 0.0) {
        SetScaleExponent(std::ilogb(x));
        rescaleAbove_ = kMaxScaledDeviation;
      }
    } else {
      blockShift_ = shift_ + mean_ * scale_;
    }
  }
  min_ = std::min(min_, x);
  max_ = std::max(max_, x);
  double deviation = (x - blockShift_) * inverseScale_;
  // One compare per value: deviations beyond the bound (or any nonzero one before the scale is known)
  // take the rare path.
  if (!(std::fabs(deviation) <= rescaleAbove_)) deviation = Rescale(x - blockShift_);
  const double weighted = weight * deviation;
  blockFreqWeights_ += frequencyWeight;
  blockWeights_ += weight;
  blockSum_ += weighted;
  blockSumSquares_ += weighted * deviation;
  if (++blockCount_ == kBlockSize) Settle();
}

void KQContStats::SetScaleExponent(int exponent) noexcept {
  exponent = std::clamp(exponent, kMinScaleExponent, kMaxScaleExponent);
  const int change = scaleExponent_ - exponent;
  mean_ = std::ldexp(mean_, change);
  blockSum_ = std::ldexp(blockSum_, change);
  sumSquaredDeviations_ = std::ldexp(sumSquaredDeviations_, 2 * change);
  blockSumSquares_ = std::ldexp(blockSumSquares_, 2 * change);
  scaleExponent_ = exponent;
  scale_ = std::ldexp(1.0, exponent);
  inverseScale_ = std::ldexp(1.0, -exponent);
}

double KQContStats::Rescale(double deviation) noexcept {
  // An infinite difference (data spanning more than the double range) cannot be scaled back.
  if (!std::isfinite(deviation)) return deviation * inverseScale_;
  SetScaleExponent(std::ilogb(deviation));
  rescaleAbove_ = kMaxScaledDeviation;
  return deviation * inverseScale_;
}

void KQContStats::Settle() noexcept {
  if (blockCount_ == 0) return;
  // The block's own mean and squared deviations, relative to its shift; the shift is within the data's
  // range, so blockSumSquares_ - blockSum_ * blockMean does not cancel beyond the block's spread.
  const double blockMean = blockSum_ / blockWeights_;
  const double blockM2 = std::max(0.0, blockSumSquares_ - blockSum_ * blockMean);
  if (sumWeights_ == 0.0) {
    mean_ = (blockShift_ - shift_) * inverseScale_ + blockMean;
    sumSquaredDeviations_ = blockM2;
    sumWeights_ = blockWeights_;
  } else {
    // Chan, Golub and LeVeque's pairwise combination; the difference of the means is written so that
    // the two shifts cancel before the small means enter.
    const double total = sumWeights_ + blockWeights_;
    const double delta = ((blockShift_ - shift_) * inverseScale_ - mean_) + blockMean;
    mean_ += delta * (blockWeights_ / total);
    sumSquaredDeviations_ += blockM2 + delta * delta * (sumWeights_ * blockWeights_ / total);
    sumWeights_ = total;
  }
  sumFreqWeights_ += blockFreqWeights_;
  blockFreqWeights_ = blockWeights_ = blockSum_ = blockSumSquares_ = 0.0;
  blockCount_ = 0;
}

KQContStats KQContStats::Settled() const noexcept {
  KQContStats copy = *this;
  copy.Settle();
  return copy;
}

void KQContStats::Merge(const KQContStats& other) {
  Settle();
  KQContStats settled = other.Settled();
  if (settled.sumWeights_ == 0.0) return;
  if (sumWeights_ == 0.0) {
    *this = settled;
    return;
  }
  // Both on the larger scale; one without a scale has only zero deviations and takes the other's.
  if (settled.HasScale() && (!HasScale() || settled.scaleExponent_ > scaleExponent_)) {
    SetScaleExponent(settled.scaleExponent_);
    rescaleAbove_ = kMaxScaledDeviation;
  } else if (HasScale()) {
    settled.SetScaleExponent(scaleExponent_);
  }
  const double total = sumWeights_ + settled.sumWeights_;
  const double delta = (settled.shift_ - shift_) * inverseScale_ + (settled.mean_ - mean_);
  mean_ += delta * (settled.sumWeights_ / total);
  sumSquaredDeviations_ +=
      settled.sumSquaredDeviations_ + delta * delta * (sumWeights_ * settled.sumWeights_ / total);
  sumWeights_ = total;
  sumFreqWeights_ += settled.sumFreqWeights_;
  min_ = std::min(min_, settled.min_);
  max_ = std::max(max_, settled.max_);
}

double KQContStats::GetMean() const {
  if (GetSumWeights() <= 0.0) return KQMV::Missing();
  const KQContStats settled = Settled();
  return settled.shift_ + settled.mean_ * settled.scale_;
}

double KQContStats::GetSumSquaredDeviations() const {
  const KQContStats settled = Settled();
  return std::ldexp(settled.sumSquaredDeviations_, 2 * settled.scaleExponent_);
}

// Divided on the scale and scaled back last: a power-of-two scale changes no bit of an ordinary result.
double KQContStats::GetVariance() const {
  const double n = GetSumFreqWeights();
  if (!(n > 1.0)) return KQMV::Missing();
  const KQContStats settled = Settled();
  return std::ldexp(settled.sumSquaredDeviations_ / (n - 1.0), 2 * settled.scaleExponent_);
}

double KQContStats::GetStdDev() const {
  const double n = GetSumFreqWeights();
  if (!(n > 1.0)) return KQMV::Missing();
  const KQContStats settled = Settled();
  return std::ldexp(std::sqrt(settled.sumSquaredDeviations_ / (n - 1.0)), settled.scaleExponent_);
}

double KQContStats::GetMin() const { return GetSumWeights() > 0.0 ? min_ : KQMV::Missing(); }

double KQContStats::GetMax() const { return GetSumWeights() > 0.0 ? max_ : KQMV::Missing(); }

}  // namespace KQMath_850
