#include "companion/KQContStats.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "companion/KQMV.h"

namespace KQMath_850 {

using KQCommon_850::KQMV;

namespace {

// The missing value is the most negative double and NaN compares false, so both fail this test.
bool IsPositiveWeight(double weight) { return weight > 0.0; }

// Sums of a batch relative to a shift, in two vectors of four lanes each (eight independent chains per
// sum): the weights, the frequency weights, the weighted deviations d = (x - shift) / scale and their
// weighted squares, the largest |d|, and the extremes of the accepted values. The lanes are GCC vector
// types, so that the selection of accepted values compiles to masks instead of branches.
class BatchSums {
 public:
  static constexpr std::size_t kWidth = 4;          ///< lanes of a vector
  static constexpr std::size_t kStep = 2 * kWidth;  ///< values per Add

  BatchSums(double shift, double inverseScale)
      : shift_{shift, shift, shift, shift},
        inverseScale_{inverseScale, inverseScale, inverseScale, inverseScale} {}

  /// Adds x[0..kStep) with their frequency weights f and case weights w.
  void Add(const double* x, const double* f, const double* w) {
    for (std::size_t half = 0; half < 2; ++half) {
      Lanes value, frequency, weight;
      std::memcpy(&value, x + kWidth * half, sizeof(Lanes));
      std::memcpy(&frequency, f + kWidth * half, sizeof(Lanes));
      std::memcpy(&weight, w + kWidth * half, sizeof(Lanes));
      const Lanes zero{}, inf = zero + kInfinity, missing = zero + KQMV::Missing();
      const auto ok = (value != missing) & (value == value) & (weight > zero) & (frequency > zero);
      const Lanes d = ok ? (value - shift_) * inverseScale_ : zero;
      const Lanes used = ok ? weight : zero;
      const Lanes weighted = used * d;
      frequencies_[half] += ok ? frequency : zero;
      weights_[half] += used;
      sums_[half] += weighted;
      squares_[half] += weighted * d;
      // A NaN deviation (an infinite value minus an infinite shift) is kept: !(a <= b) holds for it.
      const Lanes magnitude = d < zero ? -d : d;
      largest_[half] = !(magnitude <= largest_[half]) ? magnitude : largest_[half];
      const Lanes low = ok ? value : inf, high = ok ? value : -inf;
      lows_[half] = low < lows_[half] ? low : lows_[half];
      highs_[half] = high > highs_[half] ? high : highs_[half];
    }
  }

  double Weights() const { return Total(weights_); }
  double FrequencyWeights() const { return Total(frequencies_); }
  double Sum() const { return Total(sums_); }
  double SumSquares() const { return Total(squares_); }
  /// NaN when a deviation was NaN.
  double LargestDeviation() const {
    return Reduce(largest_, 0.0, [](double a, double b) { return !(b <= a) ? b : a; });
  }
  double Min() const {
    return Reduce(lows_, kInfinity, [](double a, double b) { return std::min(a, b); });
  }
  double Max() const {
    return Reduce(highs_, -kInfinity, [](double a, double b) { return std::max(a, b); });
  }

 private:
  using Lanes = double __attribute__((vector_size(kWidth * sizeof(double))));
  static constexpr double kInfinity = std::numeric_limits<double>::infinity();

  static double Total(const Lanes (&lanes)[2]) {
    const Lanes sum = lanes[0] + lanes[1];
    double total = 0.0;
    for (std::size_t i = 0; i < kWidth; ++i) total += sum[i];
    return total;
  }
  template <class Pick>
  static double Reduce(const Lanes (&lanes)[2], double start, Pick pick) {
    for (const Lanes& vector : lanes)
      for (std::size_t i = 0; i < kWidth; ++i) start = pick(start, vector[i]);
    return start;
  }

  Lanes shift_, inverseScale_;
  Lanes frequencies_[2] = {}, weights_[2] = {}, sums_[2] = {}, squares_[2] = {}, largest_[2] = {};
  Lanes lows_[2] = {Lanes{} + kInfinity, Lanes{} + kInfinity};
  Lanes highs_[2] = {Lanes{} - kInfinity, Lanes{} - kInfinity};
};
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

void KQContStats::UpdateEach(std::span<const double> x, std::span<const double> frequencyWeights,
                             std::span<const double> caseWeights) {
  for (std::size_t k = 0; k < x.size(); ++k) {
    // A case weight other than the frequency weight is f r: hand r on so that Update forms the same w.
    const double f = frequencyWeights[k], w = caseWeights[k];
    if (!IsPositiveWeight(w)) continue;
    Update(x[k], f, w == f ? kNoRegressionWeight : w / f);
  }
}

// Compiled twice, for AVX2 (four lanes per instruction) and for the baseline; the loader picks one.
// Compiled twice, for AVX2 (four lanes per instruction) and for the baseline; the loader picks one.
__attribute__((target_clones("avx2", "default"))) void KQContStats::UpdateBatch(
    std::span<const double> x, std::span<const double> frequencyWeights,
    std::span<const double> caseWeights) {
  const std::size_t n = std::min({x.size(), frequencyWeights.size(), caseWeights.size()});
  x = x.first(n);
  frequencyWeights = frequencyWeights.first(n);
  caseWeights = caseWeights.first(n);
  Settle();
  // Until the moments have a value and a scale, values go one by one (they fix the shift and scale).
  if (sumWeights_ == 0.0 || !HasScale()) return UpdateEach(x, frequencyWeights, caseWeights);

  // Deviations from the settled mean, summed in vector lanes (BatchSums); a value that is missing, NaN
  // or without a positive weight contributes zeros.
  const double shift = shift_ + mean_ * scale_;
  BatchSums sums(shift, inverseScale_);
  std::size_t k = 0;
  for (; k + BatchSums::kStep <= n; k += BatchSums::kStep)
    sums.Add(&x[k], &frequencyWeights[k], &caseWeights[k]);
  if (k < n) {
    // The last values, padded with missing ones.
    std::array<double, BatchSums::kStep> value, f{}, w{};
    value.fill(KQMV::Missing());
    for (std::size_t i = 0; k + i < n; ++i) {
      value[i] = x[k + i];
      f[i] = frequencyWeights[k + i];
      w[i] = caseWeights[k + i];
    }
    sums.Add(value.data(), f.data(), w.data());
  }
  const double largestDeviation = sums.LargestDeviation();
  // A deviation beyond the scale's bound (or an infinite or NaN one) needs the rescaling path.
  if (!(largestDeviation <= rescaleAbove_)) return UpdateEach(x, frequencyWeights, caseWeights);
  const double accepted = sums.Weights();
  if (!(accepted > 0.0)) return;
  blockShift_ = shift;
  blockFreqWeights_ = sums.FrequencyWeights();
  blockWeights_ = accepted;
  blockSum_ = sums.Sum();
  blockSumSquares_ = sums.SumSquares();
  // Only the emptiness of the block counts from here on (Settle folds it at once).
  blockCount_ = 1;
  min_ = std::min(min_, sums.Min());
  max_ = std::max(max_, sums.Max());
  Settle();
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
