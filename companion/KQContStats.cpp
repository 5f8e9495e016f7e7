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
  if (sumWeights_ == 0.0) {
    shift_ = x;
    min_ = x;
    max_ = x;
  } else {
    min_ = std::min(min_, x);
    max_ = std::max(max_, x);
  }
  // West (1979): the deviation from the old mean is taken before the mean moves, and M2 grows by
  // w d (x - new mean) = (W_old w / W) d^2, a sum of non-negative terms.
  sumFreqWeights_ += frequencyWeight;
  sumWeights_ += weight;
  const double shifted = x - shift_;
  const double deviation = shifted - mean_;
  mean_ += deviation * (weight / sumWeights_);
  sumSquaredDeviations_ += weight * deviation * (shifted - mean_);
}

void KQContStats::Merge(const KQContStats& other) {
  if (other.sumWeights_ == 0.0) return;
  if (sumWeights_ == 0.0) {
    *this = other;
    return;
  }
  // Chan, Golub and LeVeque's pairwise combination: the difference of the two means carries the
  // between-part of the squared deviations.
  const double total = sumWeights_ + other.sumWeights_;
  // The difference of the means, written so that the two shifts cancel before the small means enter.
  const double delta = (other.shift_ - shift_) + (other.mean_ - mean_);
  mean_ += delta * (other.sumWeights_ / total);
  sumSquaredDeviations_ +=
      other.sumSquaredDeviations_ + delta * delta * (sumWeights_ * other.sumWeights_ / total);
  sumWeights_ = total;
  sumFreqWeights_ += other.sumFreqWeights_;
  min_ = std::min(min_, other.min_);
  max_ = std::max(max_, other.max_);
}

double KQContStats::GetMean() const { return sumWeights_ > 0.0 ? shift_ + mean_ : KQMV::Missing(); }

double KQContStats::GetVariance() const {
  return sumFreqWeights_ > 1.0 ? sumSquaredDeviations_ / (sumFreqWeights_ - 1.0) : KQMV::Missing();
}

double KQContStats::GetStdDev() const {
  const double variance = GetVariance();
  return KQMV::IsMissing(variance) ? KQMV::Missing() : std::sqrt(variance);
}

double KQContStats::GetMin() const { return sumWeights_ > 0.0 ? min_ : KQMV::Missing(); }

double KQContStats::GetMax() const { return sumWeights_ > 0.0 ? max_ : KQMV::Missing(); }

}  // namespace KQMath_850
