#include "companion/KQContStats.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "companion/KQMV.h"

// The vector helpers below are always inlined into the kernels and those into each compiled version
// of the block updates, so no call passes vectors in registers whose convention depends on the
// instruction set; the compiler's warning about that convention (raised where the versions are
// emitted) does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"

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

/// A block of rows and where its sums go. The values of variable c in row r are rows[r * rowStride +
/// c], or their difference with rows[r * rowStride + secondOffset + c] for pairs; the sums of
/// variable c go to sums[k * width + c], k < kRowSums, and for pairs the largest magnitude of its
/// present values to magnitudes[c].
struct RowBlock {
  const double* rows;
  std::size_t nRows;
  std::size_t rowStride;
  std::size_t secondOffset;
  std::size_t width;  ///< the variables' columns, rounded up to whole lanes
  const double* frequencyWeights;
  const double* caseWeights;
  const double* shifts;
  const double* inverseScales;
  double* sums;
  double* magnitudes;
};

// Lane masks (all bits set where a comparison holds) and the bitwise operations on them: a masked
// value is the value where the mask is set and +0 elsewhere, one AND instead of a compare and blend.
using LaneMask = long long __attribute__((vector_size(kRowLanes * sizeof(double))));
[[gnu::always_inline]] inline Lanes Masked(const Lanes& value, const LaneMask& mask) {
  return reinterpret_cast<Lanes>(reinterpret_cast<LaneMask>(value) & mask);
}
// |value|: the sign bit cleared.
[[gnu::always_inline]] inline Lanes Magnitude(const Lanes& value) {
  const LaneMask noSign = LaneMask{} + 0x7fffffffffffffffLL;
  return Masked(value, noSign);
}
// The larger of a and b; a single instruction for numbers (b where either is NaN).
[[gnu::always_inline]] inline Lanes Larger(const Lanes& a, const Lanes& b) { return a > b ? a : b; }
// Lanes holding a present value: neither the missing value nor NaN (which fails value == value).
[[gnu::always_inline]] inline LaneMask Present(const Lanes& value) {
  const Lanes missing = Lanes{} + KQMV::Missing();
  return (value != missing) & (value == value);
}

// Adds the columns [first, first + kGroups * kRowLanes) of the block to its sums (for pairs,
// kDifferences: the differences of the first and the second values where both are present). The sums
// of the kGroups vectors live in local variables across the rows, so that with a small kGroups they
// stay in registers. Inlined into each compiled version of the callers, so that it gets that
// version's instructions.
//
// kAssumePresent takes every row's weights as positive and every value (pair) as present, and leaves
// out the tests: a missing value then shows as the largest double in the magnitudes, an infinity as an
// infinite one, and a NaN as a sum that is not a number, and the caller sums such a block again with
// the tests. The weights are then the same in every lane, and are added up once instead of once per
// lane.
template <std::size_t kGroups, bool kSeparateFrequencies, bool kDifferences, bool kAssumePresent = false>
[[gnu::always_inline]] inline void SumRows(const RowBlock& block, std::size_t first) {
  const Lanes zero{};
  Lanes shift[kGroups], inverseScale[kGroups], weights[kGroups], frequencies[kGroups], sum[kGroups],
      squares[kGroups], most[kGroups];
  for (std::size_t g = 0; g < kGroups; ++g) {
    std::memcpy(&shift[g], block.shifts + first + g * kRowLanes, sizeof(Lanes));
    std::memcpy(&inverseScale[g], block.inverseScales + first + g * kRowLanes, sizeof(Lanes));
    weights[g] = frequencies[g] = sum[g] = squares[g] = most[g] = zero;
  }
  // Without the tests, the weights are the same in every lane: one sum of each serves all variables,
  // and the smallest weight tells whether every row counts.
  double rowWeights = 0.0, rowFrequencies = 0.0, lowest = 1.0;
  for (std::size_t r = 0; r < block.nRows; ++r) {
    const double f = block.frequencyWeights[r], w = block.caseWeights[r];
    if constexpr (kAssumePresent) {
      rowWeights += w;
      lowest = std::min(lowest, w);
      if constexpr (kSeparateFrequencies) {
        rowFrequencies += f;
        lowest = std::min(lowest, f);
      }
    } else if (!(w > 0.0 && f > 0.0)) {
      continue;
    }
    const Lanes caseWeight = {w, w, w, w};
    const double* row = block.rows + r * block.rowStride + first;
    for (std::size_t g = 0; g < kGroups; ++g) {
      Lanes value;
      std::memcpy(&value, row + g * kRowLanes, sizeof(Lanes));
      // Without the tests every lane counts, and no mask is applied.
      LaneMask ok{};
      if constexpr (!kAssumePresent) ok = Present(value);
      const auto counted = [&ok](const Lanes& lanes) {
        if constexpr (kAssumePresent)
          return lanes;
        else
          return Masked(lanes, ok);
      };
      if constexpr (kDifferences) {
        Lanes second;
        std::memcpy(&second, row + block.secondOffset + g * kRowLanes, sizeof(Lanes));
        if constexpr (!kAssumePresent) ok &= Present(second);
        // Magnitudes are never negative, so the masked lanes' +0 leaves the largest as it is.
        most[g] = Larger(most[g], counted(Larger(Magnitude(value), Magnitude(second))));
        value -= second;
      } else if constexpr (kAssumePresent) {
        most[g] = Larger(most[g], Magnitude(value));
      }
      const Lanes d = counted((value - shift[g]) * inverseScale[g]);
      const Lanes used = counted(caseWeight);
      const Lanes weighted = used * d;
      sum[g] += weighted;
      squares[g] += weighted * d;
      if constexpr (!kAssumePresent) {
        weights[g] += used;
        if constexpr (kSeparateFrequencies) frequencies[g] += counted(Lanes{f, f, f, f});
      }
    }
  }
  for (std::size_t g = 0; g < kGroups; ++g) {
    const std::size_t c = first + g * kRowLanes;
    double* at = block.sums + c;
    if constexpr (kAssumePresent) {
      // A row without positive weights (a NaN one shows in the sums) makes the weights NaN, which
      // sends the block to the sums with the tests.
      if (!(lowest > 0.0)) rowWeights = std::numeric_limits<double>::quiet_NaN();
      weights[g] = zero + rowWeights;
      frequencies[g] = zero + rowFrequencies;
    }
    std::memcpy(at, &weights[g], sizeof(Lanes));
    std::memcpy(at + block.width, &frequencies[g], sizeof(Lanes));
    std::memcpy(at + 2 * block.width, &sum[g], sizeof(Lanes));
    std::memcpy(at + 3 * block.width, &squares[g], sizeof(Lanes));
    if constexpr (kDifferences || kAssumePresent) std::memcpy(block.magnitudes + c, &most[g], sizeof(Lanes));
  }
}

// Sums the whole block: rows of up to four vectors keep their sums in registers; wider ones are summed
// four lanes at a time.
template <bool kSeparateFrequencies, bool kDifferences, bool kAssumePresent = false>
[[gnu::always_inline]] inline void SumBlock(const RowBlock& block) {
  switch (block.width / kRowLanes) {
    case 1:
      return SumRows<1, kSeparateFrequencies, kDifferences, kAssumePresent>(block, 0);
    case 2:
      return SumRows<2, kSeparateFrequencies, kDifferences, kAssumePresent>(block, 0);
    case 3:
      return SumRows<3, kSeparateFrequencies, kDifferences, kAssumePresent>(block, 0);
    case 4:
      return SumRows<4, kSeparateFrequencies, kDifferences, kAssumePresent>(block, 0);
    default:
      for (std::size_t first = 0; first < block.width; first += kRowLanes)
        SumRows<1, kSeparateFrequencies, kDifferences, kAssumePresent>(block, first);
  }
}

// True when a block summed without the tests had positive weights in every row and every value (pair)
// of the variables below nVars present and finite: no magnitude reaches the largest double (the
// missing value's) and every sum, the weights' included, is a finite number.
inline bool AllPresent(const RowBlock& block, std::size_t nVars) {
  for (std::size_t c = 0; c < nVars; ++c) {
    if (!(block.magnitudes[c] < std::numeric_limits<double>::max())) return false;
    for (std::size_t k = 0; k < kRowSums; ++k)
      if (!std::isfinite(block.sums[k * block.width + c])) return false;
  }
  return true;
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

// Inlined, as AddBlockSums is, into the compiled versions of the block sums: called from them, code
// built for the baseline instruction set would run with the wide registers' upper halves still in use.
[[gnu::always_inline]] inline void KQContStats::Fold(double shift, double frequencies, double weights,
                                                     double sum, double squares) noexcept {
  // The block's own mean and squared deviations, relative to its shift; the shift is within the data's
  // range, so squares - sum * blockMean does not cancel beyond the block's spread.
  const double blockMean = sum / weights;
  const double blockM2 = std::max(0.0, squares - sum * blockMean);
  if (sumWeights_ == 0.0) {
    mean_ = (shift - shift_) * inverseScale_ + blockMean;
    sumSquaredDeviations_ = blockM2;
    sumWeights_ = weights;
  } else {
    // Chan, Golub and LeVeque's pairwise combination; the difference of the means is written so that
    // the two shifts cancel before the small means enter.
    const double total = sumWeights_ + weights;
    const double delta = ((shift - shift_) * inverseScale_ - mean_) + blockMean;
    mean_ += delta * (weights / total);
    sumSquaredDeviations_ += blockM2 + delta * delta * (sumWeights_ * weights / total);
    sumWeights_ = total;
  }
  sumFreqWeights_ += frequencies;
}

[[gnu::always_inline]] inline bool KQContStats::AddBlockSums(double shift, double frequencies, double weights,
                                                             double sum, double squares) noexcept {
  // A block whose deviations reach beyond kMaxScaledDeviation scales in the mean square (data that
  // outgrew the scale) goes value by value, where such deviations enlarge the scale, as does one near
  // overflow or with an infinite or NaN sum.
  if (!(squares <= kMaxBlockSquares) || !(squares <= kMaxScaledDeviation * kMaxScaledDeviation * weights) ||
      !std::isfinite(sum))
    return false;
  if (!(weights > 0.0)) return true;  // nothing accepted
  Fold(shift, frequencies, weights, sum, squares);
  return true;
}

void KQContStats::UpdateColumnEach(std::span<const double> rows, std::size_t stride, std::size_t c,
                                   std::size_t secondOffset, std::span<const double> frequencyWeights,
                                   std::span<const double> caseWeights) {
  for (std::size_t r = 0; r < frequencyWeights.size(); ++r) {
    const double f = frequencyWeights[r], w = caseWeights[r];
    if (!IsPositiveWeight(w)) continue;
    double x = rows[r * stride + c];
    if (secondOffset > 0) {
      const double y = rows[r * stride + secondOffset + c];
      x = KQMV::IsMissingOrNaN(x) || KQMV::IsMissingOrNaN(y) ? KQMV::Missing() : x - y;
    }
    Update(x, f, w == f ? kNoRegressionWeight : w / f);
  }
}

// Inlined into each compiled version of UpdateRows and UpdateRowDifferences, so that it gets that
// version's instructions.
template <bool kDifferences>
[[gnu::always_inline]] inline void KQContStats::UpdateRowBlock(std::span<KQContStats> stats,
                                                               std::span<const double> rows,
                                                               std::size_t stride, std::size_t secondOffset,
                                                               std::span<const double> frequencyWeights,
                                                               std::span<const double> caseWeights,
                                                               std::span<double> largest) {
  const std::size_t nVars = stats.size();
  const std::size_t n = std::min(frequencyWeights.size(), caseWeights.size());
  const std::size_t width = (nVars + kRowLanes - 1) / kRowLanes * kRowLanes;
  constexpr bool differences = kDifferences;
  if (nVars == 0 || n == 0 || stride % kRowLanes != 0 || rows.size() < n * stride) return;
  if (kDifferences ? (secondOffset < nVars || stride < secondOffset + width || largest.size() < nVars)
                   : stride < width)
    return;
  frequencyWeights = frequencyWeights.first(n);
  caseWeights = caseWeights.first(n);
  const bool separateFrequencies = frequencyWeights.data() != caseWeights.data();

  // Each variable's shift (its settled mean) and inverse scale, side by side as its row is, and the
  // block's sums and magnitudes: 7 lanes' worth of doubles per variable, on the stack for rows of up
  // to kStackWidth variables, since a block is added every few hundred records. A variable without
  // settled moments or a scale yet goes value by value and has zeros here (a scale is never 0).
  constexpr std::size_t kStackWidth = 64, kPerLane = 3 + kRowSums;
  std::array<double, kPerLane * kStackWidth> local;
  std::vector<double> wide;
  double* const shifts = width <= kStackWidth ? local.data() : (wide.resize(kPerLane * width), wide.data());
  std::fill(shifts, shifts + kPerLane * width, 0.0);
  double* const inverseScales = shifts + width;
  double* const magnitudes = inverseScales + width;
  double* const sums = magnitudes + width;
  for (std::size_t c = 0; c < nVars; ++c) {
    KQContStats& s = stats[c];
    s.Settle();
    if (s.sumWeights_ == 0.0 || !s.HasScale()) continue;
    shifts[c] = s.shift_ + s.mean_ * s.scale_;
    inverseScales[c] = s.inverseScale_;
  }

  const RowBlock block{
      rows.data(),        n,      stride,        secondOffset, width,     frequencyWeights.data(),
      caseWeights.data(), shifts, inverseScales, sums,         magnitudes};
  // Most blocks hold no missing value or unusable weight: they are summed without the tests for one,
  // and again with them when the weights, the magnitudes or the sums show one.
  separateFrequencies ? SumBlock<true, kDifferences, true>(block)
                      : SumBlock<false, kDifferences, true>(block);
  if (!AllPresent(block, nVars))
    separateFrequencies ? SumBlock<true, kDifferences>(block) : SumBlock<false, kDifferences>(block);

  for (std::size_t c = 0; c < nVars; ++c) {
    const double weights = sums[c], sum = sums[2 * width + c], squares = sums[3 * width + c];
    const double frequencies = separateFrequencies ? sums[width + c] : weights;
    if (inverseScales[c] == 0.0 || !stats[c].AddBlockSums(shifts[c], frequencies, weights, sum, squares)) {
      stats[c].UpdateColumnEach(rows, stride, c, secondOffset, frequencyWeights, caseWeights);
      // The magnitudes of the lanes are those of the accepted pairs; one by one they are found here.
      if constexpr (differences) {
        magnitudes[c] = 0.0;
        for (std::size_t r = 0; r < n; ++r) {
          const double x = rows[r * stride + c], y = rows[r * stride + secondOffset + c];
          if (caseWeights[r] > 0.0 && frequencyWeights[r] > 0.0 && !KQMV::IsMissingOrNaN(x) &&
              !KQMV::IsMissingOrNaN(y))
            magnitudes[c] = std::max({magnitudes[c], std::fabs(x), std::fabs(y)});
        }
      }
    }
    if constexpr (differences) largest[c] = std::max(largest[c], magnitudes[c]);
  }
}

// Compiled twice, for x86-64-v3 (AVX2's four lanes per instruction, and fused multiply-adds, which this
// file may form) and for the baseline; the loader picks one.
__attribute__((target_clones("arch=x86-64-v3", "default"))) void KQContStats::UpdateRows(
    std::span<KQContStats> stats, std::span<const double> rows, std::size_t stride,
    std::span<const double> frequencyWeights, std::span<const double> caseWeights) {
  UpdateRowBlock<false>(stats, rows, stride, 0, frequencyWeights, caseWeights, {});
}

// Compiled twice, as UpdateRows.
__attribute__((target_clones("arch=x86-64-v3", "default"))) void KQContStats::UpdateRowDifferences(
    std::span<KQContStats> stats, std::span<const double> rows, std::size_t stride, std::size_t secondOffset,
    std::span<const double> frequencyWeights, std::span<const double> caseWeights,
    std::span<double> largest) {
  if (secondOffset == 0) return;
  UpdateRowBlock<true>(stats, rows, stride, secondOffset, frequencyWeights, caseWeights, largest);
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
  Fold(blockShift_, blockFreqWeights_, blockWeights_, blockSum_, blockSumSquares_);
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
