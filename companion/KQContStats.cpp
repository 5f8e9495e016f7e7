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
    } else {
      blockShift_ = shift_ + mean_;
    }
  }
  min_ = std::min(min_, x);
  max_ = std::max(max_, x);
  const double deviation = x - blockShift_;
  const double weighted = weight * deviation;
  blockFreqWeights_ += frequencyWeight;
  blockWeights_ += weight;
  blockSum_ += weighted;
  blockSumSquares_ += weighted * deviation;
  if (++blockCount_ == kBlockSize) Settle();
}

void KQContStats::Settle() noexcept {
  if (blockCount_ == 0) return;
  // The block's own mean and squared deviations, relative to its shift; the shift is within the data's
  // range, so blockSumSquares_ - blockSum_ * blockMean does not cancel beyond the block's spread.
  const double blockMean = blockSum_ / blockWeights_;
  const double blockM2 = std::max(0.0, blockSumSquares_ - blockSum_ * blockMean);
  if (sumWeights_ == 0.0) {
    mean_ = (blockShift_ - shift_) + blockMean;
    sumSquaredDeviations_ = blockM2;
    sumWeights_ = blockWeights_;
  } else {
    // Chan, Golub and LeVeque's pairwise combination; the difference of the means is written so that
    // the two shifts cancel before the small means enter.
    const double total = sumWeights_ + blockWeights_;
    const double delta = (blockShift_ - shift_ - mean_) + blockMean;
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
  const KQContStats settled = other.Settled();
  if (settled.sumWeights_ == 0.0) return;
  if (sumWeights_ == 0.0) {
    *this = settled;
    return;
  }
  const double total = sumWeights_ + settled.sumWeights_;
  const double delta = (settled.shift_ - shift_) + (settled.mean_ - mean_);
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
  return settled.shift_ + settled.mean_;
}

double KQContStats::GetSumSquaredDeviations() const { return Settled().sumSquaredDeviations_; }

double KQContStats::GetVariance() const {
  const double n = GetSumFreqWeights();
  return n > 1.0 ? GetSumSquaredDeviations() / (n - 1.0) : KQMV::Missing();
}

double KQContStats::GetStdDev() const {
  const double variance = GetVariance();
  return KQMV::IsMissing(variance) ? KQMV::Missing() : std::sqrt(variance);
}

double KQContStats::GetMin() const { return GetSumWeights() > 0.0 ? min_ : KQMV::Missing(); }

double KQContStats::GetMax() const { return GetSumWeights() > 0.0 ? max_ : KQMV::Missing(); }

}  // namespace KQMath_850
