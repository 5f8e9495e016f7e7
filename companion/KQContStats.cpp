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

// Largest sum of weighted squared deviations, in scales^2, that a block may reach and still be added
// as a whole: folding it into the settled moments (its mean's deviation squared times the weights)
// stays far from overflow.
constexpr double kMaxBlockSquares = 0x1.0p600;

constexpr std::size_t kRowLanes = KQContStats::kRowLanes;
using Lanes = double __attribute__((vector_size(kRowLanes * sizeof(double))));
/// Sums per variable of a block of rows: weights, frequency weights, weighted deviations, their
/// weighted squares.
constexpr std::size_t kRowSums = 4;

/// A block of rows and where its sums go (sum k of variable c at sums[k * stride + c]).
struct RowBlock {
  const double* rows;
  std::size_t nRows;
  const double* frequencyWeights;
  const double* caseWeights;
  const double* shifts;
  const double* inverseScales;
  double* sums;
};

// Adds the columns [first, first + kGroups * kRowLanes) of rows `stride` values apart (by default
// kGroups * kRowLanes, the whole row) to the block's sums. The sums of the kGroups vectors live in
// local variables across the rows, so that with a small kGroups they stay in registers. Inlined into
// each compiled version of UpdateRows, so that it gets that version's instructions.
template <std::size_t kGroups, bool kSeparateFrequencies>
[[gnu::always_inline]] inline void SumRows(const RowBlock& block, std::size_t first = 0,
                                           std::size_t stride = kGroups * kRowLanes) {
  const Lanes zero{}, missing = zero + KQMV::Missing();
  Lanes shift[kGroups], inverseScale[kGroups], weights[kGroups], frequencies[kGroups], sum[kGroups],
      squares[kGroups];
  for (std::size_t g = 0; g < kGroups; ++g) {
    std::memcpy(&shift[g], block.shifts + first + g * kRowLanes, sizeof(Lanes));
    std::memcpy(&inverseScale[g], block.inverseScales + first + g * kRowLanes, sizeof(Lanes));
    weights[g] = frequencies[g] = sum[g] = squares[g] = zero;
  }
  for (std::size_t r = 0; r < block.nRows; ++r) {
    const double f = block.frequencyWeights[r], w = block.caseWeights[r];
    if (!(w > 0.0 && f > 0.0)) continue;
    const double* row = block.rows + r * stride + first;
    for (std::size_t g = 0; g < kGroups; ++g) {
      Lanes value;
      std::memcpy(&value, row + g * kRowLanes, sizeof(Lanes));
      // NaN fails value == value.
      const auto ok = (value != missing) & (value == value);
      const Lanes d = ok ? (value - shift[g]) * inverseScale[g] : zero;
      const Lanes used = ok ? zero + w : zero;
      const Lanes weighted = used * d;
      weights[g] += used;
      sum[g] += weighted;
      squares[g] += weighted * d;
      if constexpr (kSeparateFrequencies) frequencies[g] += ok ? zero + f : zero;
    }
  }
  for (std::size_t g = 0; g < kGroups; ++g) {
    double* at = block.sums + first + g * kRowLanes;
    std::memcpy(at, &weights[g], sizeof(Lanes));
    std::memcpy(at + stride, &frequencies[g], sizeof(Lanes));
    std::memcpy(at + 2 * stride, &sum[g], sizeof(Lanes));
    std::memcpy(at + 3 * stride, &squares[g], sizeof(Lanes));
  }
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

bool KQContStats::AddBlockSums(double shift, double frequencies, double weights, double sum,
                               double squares) noexcept {
  // A block whose deviations reach beyond kMaxScaledDeviation scales in the mean square (data that
  // outgrew the scale) goes value by value, where such deviations enlarge the scale, as does one near
  // overflow or with an infinite or NaN sum.
  if (!(squares <= kMaxBlockSquares) || !(squares <= kMaxScaledDeviation * kMaxScaledDeviation * weights) ||
      !std::isfinite(sum))
    return false;
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
  std::vector<double> sums(kRowSums * stride, 0.0);  // sum k of variable c at [k * stride + c]
  const RowBlock block{
      rows.data(),          n,          frequencyWeights.data(), caseWeights.data(), shifts.data(),
      inverseScales.data(), sums.data()};
  // Rows of up to four vectors keep their sums in registers; wider ones keep them in memory.
  switch (stride / kRowLanes) {
    case 1:
      separateFrequencies ? SumRows<1, true>(block) : SumRows<1, false>(block);
      break;
    case 2:
      separateFrequencies ? SumRows<2, true>(block) : SumRows<2, false>(block);
      break;
    case 3:
      separateFrequencies ? SumRows<3, true>(block) : SumRows<3, false>(block);
      break;
    case 4:
      separateFrequencies ? SumRows<4, true>(block) : SumRows<4, false>(block);
      break;
    default:
      for (std::size_t g = 0; g < stride; g += kRowLanes)
        separateFrequencies ? SumRows<1, true>(block, g, stride) : SumRows<1, false>(block, g, stride);
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
