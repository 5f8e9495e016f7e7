#pragma once
// KQRandomValues: a seeded stream of random draws from one distribution at a time: uniform on
// [lo, hi), normal with a mean and a standard deviation, or gamma with a shape and a rate.
//
// A seed fixes the stream: the engine is the 64-bit Mersenne Twister (mt19937-64) and the transforms
// are Boost.Random's own (not the standard library's, whose distributions differ between compilers),
// so one seed gives the same uniform draws everywhere and the same normal and gamma draws wherever the
// C library's exp, log, pow and tan round alike. Changing the distribution does not move the engine:
// draws of several laws can be interleaved on one stream.
// Input: parameters must be finite; sd >= 0 (0 gives the mean), shape > 0 and rate > 0, lo <= hi
// with hi - lo finite (lo = hi gives lo). A refused parameter set makes GetRandom answer
// KQMV::Missing() until valid parameters are set.
// Checked by tests/companion/KQRandomValues_test.cpp: bit-identical streams for one seed, pinned
// uniform draws computed by an independent implementation of the engine, and Kolmogorov-Smirnov
// and moment checks of each law against its closed-form distribution function.

#include <memory>

namespace KQMath_850 {

class KQRandomValues {
 public:
  /// Seed used when none is given.
  static constexpr unsigned long kDefaultSeed = 5489;

  /// A stream of uniform draws on [0, 1) from `seed`.
  explicit KQRandomValues(unsigned long seed = kDefaultSeed);
  ~KQRandomValues();
  KQRandomValues(KQRandomValues&&) noexcept;
  KQRandomValues& operator=(KQRandomValues&&) noexcept;
  KQRandomValues(const KQRandomValues&) = delete;
  KQRandomValues& operator=(const KQRandomValues&) = delete;

  /// Restarts the stream from `seed`; the current distribution stays.
  void SetSeed(unsigned long seed);
  /// Draws from the uniform law on [lo, hi); false (and missing draws) unless lo <= hi, hi - lo finite.
  bool SetParamUniform(double lo, double hi);
  /// Draws from the normal law with this mean and standard deviation (not variance) sd >= 0.
  bool SetParamNormal(double mean, double sd);
  /// Draws from the gamma law with this shape and rate (mean shape / rate; (0.5, 0.5) has mean 1).
  bool SetParamGamma(double shape, double rate);
  /// The next draw of the current distribution; missing after a refused parameter set.
  double GetRandom();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace KQMath_850
