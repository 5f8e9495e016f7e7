#pragma once
// KQContStats: running weighted moments of one continuous variable.
//
// Each accepted value x comes with a frequency weight f (how many cases it stands for) and an
// optional regression weight r; the case weight is w = f r (w = f without a regression weight).
// The accumulator keeps n = sum f, W = sum w, the weighted mean m = sum w x / W, the weighted sum of
// squared deviations and M2 = sum w (x - m)^2.
// Values are gathered in blocks of kBlockSize: within a block the sums of w d and w d^2 are formed for
// d = x - b, b being the mean of everything settled before the block (the first value for the first
// block), so that an update costs three multiply-adds and no division; a full block is folded into the
// settled moments by Chan, Golub and LeVeque's pairwise formula. Because b is the running mean (or a
// data value), the block sums never cancel catastrophically: the settled mean and M2 carry rounding
// errors relative to the spread, not to the size of the mean, as Welford's recurrence does.
// The deviations are also divided by a power of two, the scale: at first the one nearest the first
// value, and a larger one whenever a deviation exceeds kMaxScaledDeviation scales. Squares of
// deviations therefore stay far from overflow and underflow for data of any magnitude (1e200 * {1..7}
// or 1e-300 * {1..7} keep their standard deviation), and, the scale being a power of two, ordinary data
// give the same bits as without it. A first value of 0 says nothing of the scale: it is taken from the
// first value that differs from it.
//
// Returns: the mean (missing when no weight has been accepted), the sample variance M2 / (n - 1)
// (frequency-weight semantics, so a value of weight 2 counts as two cases; missing when n <= 1), the
// sums of weights (0 when empty). Values that are missing or NaN,
// and cases whose weights are missing, NaN or not positive, are ignored.
// Accuracy: the tests compare with closed forms, with R, and with a two-pass long double computation
// on data of mean 1e9 and spread about 1.

#include <cstddef>
#include <span>

namespace KQMath_850 {

class KQContStats {
 public:
  /// The regression weight that stands for "no regression weight": the case weight is the frequency weight.
  static constexpr double kNoRegressionWeight = 0.0;

  /// Adds x with its frequency weight and regression weight (kNoRegressionWeight for none).
  void Update(double x, double frequencyWeight, double regressionWeight = kNoRegressionWeight);
  /// Lanes of the rows UpdateRows reads: a row's stride is a multiple of it.
  static constexpr std::size_t kRowLanes = 4;
  /// Adds a block of records to several accumulators at once: stats[c] gets rows[r * stride + c] for
  /// each row r below the weights' common length, with that row's frequency and case weights (the same
  /// span for both without regression weights). stride must be a multiple of kRowLanes, at least
  /// stats.size(), and rows must hold every row; otherwise nothing is added. The result is as
  /// Update of each value in turn, up to rounding: the block's sums are formed relative to each
  /// variable's settled mean, a row's variables side by side in vector lanes, and folded in as one
  /// block; a variable whose moments have no value or scale yet, or whose block would need a larger
  /// scale, takes its values one by one instead.
  static void UpdateRows(std::span<KQContStats> stats, std::span<const double> rows, std::size_t stride,
                         std::span<const double> frequencyWeights, std::span<const double> caseWeights);
  /// The same for differences of pairs: stats[c] gets rows[r * stride + c] - rows[r * stride +
  /// secondOffset + c] where both are present (neither missing nor NaN), and largest[c] is raised to
  /// the largest magnitude of those present values. secondOffset must be at least stats.size(), and a
  /// row must hold stats.size() rounded up to whole lanes from secondOffset on, with the missing value
  /// after the second values (the lanes beyond the last variable read them and are left out by them);
  /// largest must hold stats.size() entries; otherwise nothing is added.
  static void UpdateRowDifferences(std::span<KQContStats> stats, std::span<const double> rows,
                                   std::size_t stride, std::size_t secondOffset,
                                   std::span<const double> frequencyWeights,
                                   std::span<const double> caseWeights, std::span<double> largest);
  /// Adds every value accepted by another accumulator, as if they had been added here.
  void Merge(const KQContStats& other);
  /// Forgets every value.
  void Reset() { *this = KQContStats(); }

  /// The weighted mean; missing when no weight has been accepted.
  double GetMean() const;
  /// M2 / (n - 1); missing when n <= 1.
  double GetVariance() const;
  /// The square root of the variance; missing when the variance is. Computed from the scaled moments,
  /// so it is right also where the variance itself overflows or underflows (data near 1e200 or 1e-300).
  double GetStdDev() const;
  /// n, the sum of the frequency weights.
  double GetSumFreqWeights() const noexcept { return sumFreqWeights_ + blockFreqWeights_; }
  /// W, the sum of the case weights f r.
  double GetSumWeights() const noexcept { return sumWeights_ + blockWeights_; }
  /// M2, the weighted sum of squared deviations from the mean.
  double GetSumSquaredDeviations() const;

  /// Values gathered before they are folded into the settled moments.
  static constexpr int kBlockSize = 128;
  /// A deviation above this many scales enlarges the scale: its square stays below 2^128 scales^2, far
  /// from overflow even when multiplied by a frequency weight of 1e150, and the scale changes at most
  /// about 32 times however the data grow.
  static constexpr double kMaxScaledDeviation = 0x1.0p64;
  /// The scale's exponent stays within these bounds, so that scale and 1 / scale are normal doubles.
  static constexpr int kMinScaleExponent = -1000;
  static constexpr int kMaxScaleExponent = 1000;

 private:
  /// The work of UpdateRows (secondOffset 0) and UpdateRowDifferences.
  template <bool kDifferences>
  static void UpdateRowBlock(std::span<KQContStats> stats, std::span<const double> rows, std::size_t stride,
                             std::size_t secondOffset, std::span<const double> frequencyWeights,
                             std::span<const double> caseWeights, std::span<double> largest);
  /// Adds column c of a block of rows value by value (the differences with the second values when
  /// secondOffset is not 0).
  void UpdateColumnEach(std::span<const double> rows, std::size_t stride, std::size_t c,
                        std::size_t secondOffset, std::span<const double> frequencyWeights,
                        std::span<const double> caseWeights);
  /// Folds in a block of sums made elsewhere relative to shift, unless its squares are too large for
  /// the scale or its sum is not finite; returns false (nothing added) then. The accumulator's own open
  /// block must be empty (settled).
  bool AddBlockSums(double shift, double frequencies, double weights, double sum, double squares) noexcept;
  /// Folds the open block into the settled moments.
  void Settle() noexcept;
  /// Folds a block's sums of f, w, w d and w d^2 (d = (x - shift) / scale_, w > 0) into the settled
  /// moments.
  void Fold(double shift, double frequencies, double weights, double sum, double squares) noexcept;
  /// A copy with the open block settled, for the getters.
  KQContStats Settled() const noexcept;
  /// Takes a new scale 2^exponent for every scaled quantity (exact, as the factor is a power of two).
  void SetScaleExponent(int exponent) noexcept;
  /// Enlarges (or first fixes) the scale for an unscaled deviation too large for the present one and
  /// returns the deviation on the new scale.
  double Rescale(double deviation) noexcept;
  /// True once the scale has been taken from the data (a nonzero first value or deviation).
  bool HasScale() const noexcept { return rescaleAbove_ > 0.0; }

  // Settled moments: the mean is shift_ + mean_ scale_, shift_ being the first accepted value; mean_
  // and the squared deviations are in units of scale_ and scale_^2.
  double sumFreqWeights_ = 0.0;
  double sumWeights_ = 0.0;
  double shift_ = 0.0;
  double mean_ = 0.0;
  double sumSquaredDeviations_ = 0.0;
  // The scale 2^scaleExponent_ and its inverse; deviations beyond rescaleAbove_ (0 until the scale is
  // known) enlarge it.
  int scaleExponent_ = 0;
  double scale_ = 1.0;
  double inverseScale_ = 1.0;
  double rescaleAbove_ = 0.0;
  // The open block: sums of f, w, w d and w d^2 for d = (x - blockShift_) / scale_.
  double blockShift_ = 0.0;
  double blockFreqWeights_ = 0.0;
  double blockWeights_ = 0.0;
  double blockSum_ = 0.0;
  double blockSumSquares_ = 0.0;
  int blockCount_ = 0;
};

}  // namespace KQMath_850
