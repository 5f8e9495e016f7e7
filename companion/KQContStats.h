#pragma once
// KQContStats: running weighted moments of one continuous variable.
//
// Each accepted value x comes with a frequency weight f (how many cases it stands for) and an
// optional regression weight r; the case weight is w = f r (w = f without a regression weight).
// The accumulator keeps n = sum f, W = sum w, the weighted mean m = sum w x / W, the weighted sum of
// squared deviations M2 = sum w (x - m)^2, and the smallest and largest accepted value.
// Values are gathered in blocks of kBlockSize: within a block the sums of w d and w d^2 are formed for
// d = x - b, b being the mean of everything settled before the block (the first value for the first
// block), so that an update costs three multiply-adds and no division; a full block is folded into the
// settled moments by Chan, Golub and LeVeque's pairwise formula. Because b is the running mean (or a
// data value), the block sums never cancel catastrophically: the settled mean and M2 carry rounding
// errors relative to the spread, not to the size of the mean, as Welford's recurrence does.
//
// Returns: the mean (missing when no weight has been accepted), the sample variance M2 / (n - 1)
// (frequency-weight semantics, so a value of weight 2 counts as two cases; missing when n <= 1), the
// sums of weights (0 when empty), the extremes (missing when empty). Values that are missing or NaN,
// and cases whose weights are missing, NaN or not positive, are ignored.
// Accuracy: the tests compare with closed forms, with R, and with a two-pass long double computation
// on data of mean 1e9 and spread about 1.

namespace KQMath_850 {

class KQContStats {
 public:
  /// The regression weight that stands for "no regression weight": the case weight is the frequency weight.
  static constexpr double kNoRegressionWeight = 0.0;

  /// Adds x with its frequency weight and regression weight (kNoRegressionWeight for none).
  void Update(double x, double frequencyWeight, double regressionWeight = kNoRegressionWeight);
  /// Adds every value accepted by another accumulator, as if they had been added here.
  void Merge(const KQContStats& other);
  /// Forgets every value.
  void Reset() { *this = KQContStats(); }

  /// The weighted mean; missing when no weight has been accepted.
  double GetMean() const;
  /// M2 / (n - 1); missing when n <= 1.
  double GetVariance() const;
  /// The square root of the variance; missing when the variance is.
  double GetStdDev() const;
  /// n, the sum of the frequency weights.
  double GetSumFreqWeights() const noexcept { return sumFreqWeights_ + blockFreqWeights_; }
  /// W, the sum of the case weights f r.
  double GetSumWeights() const noexcept { return sumWeights_ + blockWeights_; }
  /// M2, the weighted sum of squared deviations from the mean.
  double GetSumSquaredDeviations() const;
  /// The smallest accepted value; missing when none.
  double GetMin() const;
  /// The largest accepted value; missing when none.
  double GetMax() const;

  /// Values gathered before they are folded into the settled moments.
  static constexpr int kBlockSize = 128;

 private:
  /// Folds the open block into the settled moments.
  void Settle() noexcept;
  /// A copy with the open block settled, for the getters.
  KQContStats Settled() const noexcept;

  // Settled moments: the mean is shift_ + mean_, shift_ being the first accepted value.
  double sumFreqWeights_ = 0.0;
  double sumWeights_ = 0.0;
  double shift_ = 0.0;
  double mean_ = 0.0;
  double sumSquaredDeviations_ = 0.0;
  double min_ = 0.0;
  double max_ = 0.0;
  // The open block: sums of f, w, w d and w d^2 for d = x - blockShift_.
  double blockShift_ = 0.0;
  double blockFreqWeights_ = 0.0;
  double blockWeights_ = 0.0;
  double blockSum_ = 0.0;
  double blockSumSquares_ = 0.0;
  int blockCount_ = 0;
};

}  // namespace KQMath_850
