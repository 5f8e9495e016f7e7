#include "companion/KQContStats.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "companion/KQMV.h"

namespace KQMath_850 {

using KQCommon_850::KQMV;

namespace {

// The missing value is the most negative double and NaN compares false, so both fail this test.
bool IsPositiveWeight(double weight) { return weight > 0.0; }

// Sums of a batch relative to a shift, in two vectors of four lanes each (eight independent chains per
// sum): the weights, the frequency weights (unless they are the weights), the weighted deviations
// d = (x - shift) / scale and their weighted squares. The lanes are GCC vector types, so that the
// selection of accepted values compiles to masks instead of branches; the sums are the only state
// carried from one step to the next, so that they stay in registers.
template <bool kSeparateFrequencies>
class BatchSums {
 public:
  static constexpr std::size_t kWidth = 4;          ///< lanes of a vector
  static constexpr std::size_t kStep = 2 * kWidth;  ///< values per Add

  BatchSums(double shift, double inverseScale)
      : shift_{shift, shift, shift, shift},
        inverseScale_{inverseScale, inverseScale, inverseScale, inverseScale} {}

  /// Adds x[0..kStep) with their frequency weights f and case weights w (f is not read unless the
  /// frequencies are separate).
  [[gnu::always_inline]] void Add(const double* x, const double* f, const double* w) {
    for (std::size_t half = 0; half < 2; ++half) {
      Lanes value, weight;
      std::memcpy(&value, x + kWidth * half, sizeof(Lanes));
      std::memcpy(&weight, w + kWidth * half, sizeof(Lanes));
      const Lanes zero{};
      // NaN fails value == value.
      auto ok = (value != zero + KQMV::Missing()) & (value == value) & (weight > zero);
      if constexpr (kSeparateFrequencies) {
        Lanes frequency;
        std::memcpy(&frequency, f + kWidth * half, sizeof(Lanes));
        ok &= frequency > zero;
        frequencies_[half] += ok ? frequency : zero;
      }
      const Lanes d = ok ? (value - shift_) * inverseScale_ : zero;
      const Lanes used = ok ? weight : zero;
      const Lanes weighted = used * d;
      weights_[half] += used;
      sums_[half] += weighted;
      squares_[half] += weighted * d;
    }
  }

  double Weights() const { return Total(weights_); }
  double FrequencyWeights() const { return kSeparateFrequencies ? Total(frequencies_) : Total(weights_); }
  double Sum() const { return Total(sums_); }
  double SumSquares() const { return Total(squares_); }

 private:
  using Lanes = double __attribute__((vector_size(kWidth * sizeof(double))));

  static double Total(const Lanes (&lanes)[2]) {
    const Lanes sum = lanes[0] + lanes[1];
    return (sum[0] + sum[1]) + (sum[2] + sum[3]);
  }

  Lanes shift_, inverseScale_;
  Lanes frequencies_[2] = {}, weights_[2] = {}, sums_[2] = {}, squares_[2] = {};
};

// Largest sum of weighted squared deviations, in scales^2, that a batch may reach and still be added
// as a whole: folding it into the settled moments (its mean's deviation squared times the weights)
// stays far from overflow. Larger sums go value by value, where deviations beyond 2^64 scales enlarge
// the scale.
constexpr double kMaxBatchSquares = 0x1.0p600;

// Inlined into each compiled version of UpdateBatch, so that it gets that version's instructions.
template <bool kSeparateFrequencies>
[[gnu::always_inline]] inline BatchSums<kSeparateFrequencies> SumBatch(std::span<const double> x,
                                                                       std::span<const double> f,
                                                                       std::span<const double> w,
                                                                       double shift, double inverseScale) {
  using Sums = BatchSums<kSeparateFrequencies>;
  Sums sums(shift, inverseScale);
  const std::size_t n = x.size();
  std::size_t k = 0;
  for (; k + Sums::kStep <= n; k += Sums::kStep) sums.Add(&x[k], &f[k], &w[k]);
  if (k < n) {
    // The last values, padded with missing ones.
    std::array<double, Sums::kStep> value, frequency{}, weight{};
    value.fill(KQMV::Missing());
    for (std::size_t i = 0; k + i < n; ++i) {
      value[i] = x[k + i];
      frequency[i] = f[k + i];
      weight[i] = w[k + i];
    }
    sums.Add(value.data(), frequency.data(), weight.data());
  }
  return sums;
}
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
      blockShift_ = x;
      if (x != 0.0) {
        SetScaleExponent(std::ilogb(x));
        rescaleAbove_ = kMaxScaledDeviation;
      }
    } else {
      blockShift_ = shift_ + mean_ * scale_;
    }
  }
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

  // Deviations from the settled mean, summed in vector lanes; a value that is missing, NaN or without
  // a positive weight contributes zeros. Without regression weights the case weights are the frequency
  // weights and one sum serves both.
  const double shift = shift_ + mean_ * scale_;
  double frequencies, weights, sum, squares;
  if (frequencyWeights.data() == caseWeights.data()) {
    const auto sums = SumBatch<false>(x, frequencyWeights, caseWeights, shift, inverseScale_);
    frequencies = sums.FrequencyWeights(), weights = sums.Weights(), sum = sums.Sum(),
    squares = sums.SumSquares();
  } else {
    const auto sums = SumBatch<true>(x, frequencyWeights, caseWeights, shift, inverseScale_);
    frequencies = sums.FrequencyWeights(), weights = sums.Weights(), sum = sums.Sum(),
    squares = sums.SumSquares();
  }
  // Deviations too large for the scale (the squares near overflow, an infinite value, NaN from
  // infinities) need the rescaling path: the batch is added value by value instead.
  if (!AddBlockSums(shift, frequencies, weights, sum, squares)) UpdateEach(x, frequencyWeights, caseWeights);
}

bool KQContStats::AddBlockSums(double shift, double frequencies, double weights, double sum,
                               double squares) noexcept {
  if (!(squares <= kMaxBatchSquares) || !std::isfinite(sum)) return false;
  if (!(weights > 0.0)) return true;  // nothing accepted
  blockShift_ = shift;
  blockFreqWeights_ = frequencies;
  blockWeights_ = weights;
  blockSum_ = sum;
  blockSumSquares_ = squares;
  // Only the emptiness of the block counts from here on (Settle folds it at once).
  blockCount_ = 1;
  Settle();
  return true;
}

void KQContStats::UpdateColumnEach(std::span<const double> rows, std::size_t stride, std::size_t c,
                                   std::span<const double> frequencyWeights,
                                   std::span<const double> caseWeights) {
  for (std::size_t r = 0; r < frequencyWeights.size(); ++r) {
    const double f = frequencyWeights[r], w = caseWeights[r];
    if (!IsPositiveWeight(w)) continue;
    Update(rows[r * stride + c], f, w == f ? kNoRegressionWeight : w / f);
  }
}

// Compiled twice, for AVX2 (four lanes per instruction) and for the baseline; the loader picks one.
__attribute__((target_clones("avx2", "default"))) void KQContStats::UpdateRows(
    std::span<KQContStats> stats, std::span<const double> rows, std::size_t stride,
    std::span<const double> frequencyWeights, std::span<const double> caseWeights) {
  const std::size_t nVars = stats.size();
  const std::size_t n = std::min(frequencyWeights.size(), caseWeights.size());
  if (nVars == 0 || n == 0 || stride < nVars || stride % kRowLanes != 0 || rows.size() < n * stride) return;
  frequencyWeights = frequencyWeights.first(n);
  caseWeights = caseWeights.first(n);
  const bool separateFrequencies = frequencyWeights.data() != caseWeights.data();

  // Each variable's shift (its settled mean) and inverse scale, side by side as its row is; a variable
  // without settled moments or a scale yet goes value by value and has zeros here.
  std::vector<double> shifts(stride, 0.0), inverseScales(stride, 0.0);
  std::vector<char> inLanes(nVars, 0);
  for (std::size_t c = 0; c < nVars; ++c) {
    KQContStats& s = stats[c];
    s.Settle();
    if (s.sumWeights_ == 0.0 || !s.HasScale()) continue;
    inLanes[c] = 1;
    shifts[c] = s.shift_ + s.mean_ * s.scale_;
    inverseScales[c] = s.inverseScale_;
  }

  // Sums per variable: weights, frequency weights, weighted deviations and their weighted squares.
  using Lanes = double __attribute__((vector_size(kRowLanes * sizeof(double))));
  constexpr std::size_t kSums = 4;
  std::vector<double> sums(kSums * stride, 0.0);  // sum k of variable c at [k * stride + c]
  const Lanes zero{}, missing = zero + KQMV::Missing();
  for (std::size_t r = 0; r < n; ++r) {
    const double f = frequencyWeights[r], w = caseWeights[r];
    if (!(w > 0.0 && f > 0.0)) continue;
    const double* row = rows.data() + r * stride;
    for (std::size_t g = 0; g < stride; g += kRowLanes) {
      Lanes value, shift, inverseScale, weights, frequencies, sum, squares;
      std::memcpy(&value, row + g, sizeof(Lanes));
      std::memcpy(&shift, &shifts[g], sizeof(Lanes));
      std::memcpy(&inverseScale, &inverseScales[g], sizeof(Lanes));
      // NaN fails value == value.
      const auto ok = (value != missing) & (value == value);
      const Lanes d = ok ? (value - shift) * inverseScale : zero;
      const Lanes used = ok ? zero + w : zero;
      const Lanes weighted = used * d;
      double* at = sums.data() + g;
      std::memcpy(&weights, at, sizeof(Lanes));
      std::memcpy(&sum, at + 2 * stride, sizeof(Lanes));
      std::memcpy(&squares, at + 3 * stride, sizeof(Lanes));
      weights += used;
      sum += weighted;
      squares += weighted * d;
      std::memcpy(at, &weights, sizeof(Lanes));
      std::memcpy(at + 2 * stride, &sum, sizeof(Lanes));
      std::memcpy(at + 3 * stride, &squares, sizeof(Lanes));
      if (separateFrequencies) {
        std::memcpy(&frequencies, at + stride, sizeof(Lanes));
        frequencies += ok ? zero + f : zero;
        std::memcpy(at + stride, &frequencies, sizeof(Lanes));
      }
    }
  }

  for (std::size_t c = 0; c < nVars; ++c) {
    const double weights = sums[c], sum = sums[2 * stride + c], squares = sums[3 * stride + c];
    const double frequencies = separateFrequencies ? sums[stride + c] : weights;
    if (!inLanes[c] || !stats[c].AddBlockSums(shifts[c], frequencies, weights, sum, squares))
      stats[c].UpdateColumnEach(rows, stride, c, frequencyWeights, caseWeights);
  }
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

}  // namespace KQMath_850
