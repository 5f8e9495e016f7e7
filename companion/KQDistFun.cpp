#include "companion/KQDistFun.h"

// First: it sets the default policy of every Boost header below.
#include "companion/detail/BoostPolicy.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <boost/math/distributions/beta.hpp>
#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/gamma.hpp>
#include <boost/math/distributions/hypergeometric.hpp>
#include <boost/math/distributions/non_central_t.hpp>
#include <boost/math/distributions/normal.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include "companion/KQMV.h"

namespace KQMath_850 {
namespace {

using detail::KQBoostPolicy;
using KQCommon_850::KQMV;
namespace bm = boost::math;

constexpr double kMissing = KQMV::Missing();

bool IsUsable(double x) { return std::isfinite(x) && !KQMV::IsMissing(x); }
bool IsPositiveFinite(double x) { return IsUsable(x) && x > 0.0; }
bool IsProbability(double p) { return p >= 0.0 && p <= 1.0; }  // false for NaN

/// The one exit of every Boost result: a NaN (domain, pole or evaluation error) becomes missing.
double FromBoost(double value) { return std::isnan(value) ? kMissing : value; }

using Normal = bm::normal_distribution<double, KQBoostPolicy>;
using StudentT = bm::students_t_distribution<double, KQBoostPolicy>;
using NonCentralT = bm::non_central_t_distribution<double, KQBoostPolicy>;
using ChiSquared = bm::chi_squared_distribution<double, KQBoostPolicy>;
using FisherF = bm::fisher_f_distribution<double, KQBoostPolicy>;
using GammaLaw = bm::gamma_distribution<double, KQBoostPolicy>;
using BetaLaw = bm::beta_distribution<double, KQBoostPolicy>;
using Hypergeometric = bm::hypergeometric_distribution<double, KQBoostPolicy>;

// Boost's non-central t density sums a series whose length grows with the non-centrality: at 1e4 it
// takes about 1 ms, at 1e5 it exhausts the series limit (1e6 terms, about 9 s) and fails. Beyond this
// bound the density is missing at once.
constexpr double kMaxNonCentrality = 2e4;

// Stirling's correction delta(x) = ln Gamma(x) - ((x - 1/2) ln x - x + ln sqrt(2 pi)) for x >= 10,
// from its asymptotic series sum B_2k / (2k (2k - 1) x^(2k - 1)). At x = 10 the first omitted term
// is below 2e-18 against delta(10) = 8.3e-3, so the series is exact to double precision there and
// beyond; computing delta as that difference of ln Gamma would instead cancel away its digits.
constexpr double kStirlingMin = 10.0;
double StirlingCorrection(double x) {
  constexpr double kCoefficients[] = {1.0 / 12.0,   -1.0 / 360.0,      1.0 / 1260.0, -1.0 / 1680.0,
                                      1.0 / 1188.0, -691.0 / 360360.0, 1.0 / 156.0,  -3617.0 / 122400.0};
  const double inverseSquare = 1.0 / (x * x);
  double sum = 0.0;
  for (int k = 7; k >= 0; --k) sum = sum * inverseSquare + kCoefficients[k];
  return sum / x;
}

// Beta laws whose shapes are both at least this large are replaced by their Cornish-Fisher expansion
// about the normal law (skewness and excess kurtosis terms): its first omitted term is of order
// shape^(-3/2), 1e-12 standard deviations at 1e8. Boost's incomplete beta function loses accuracy as the
// shapes grow (at a = b: distribution function at 1/2 off by 4e-9 at 1e8, 4e-7 at 1e10, 0.5 at 1e20).
constexpr double kNormalBetaShape = 1e8;

struct BetaMoments {
  double mean, sd, skewness, kurtosis;  // kurtosis: the excess kurtosis
};
// Written with p = a / n, q = b / n, n = a + b, so that nothing overflows for shapes up to the double
// range.
BetaMoments LargeBetaMoments(double a, double b) {
  const double n = a + b, p = a / n, q = b / n;
  const double ratio = (q - p) * (q - p) / (p * q);
  return {p, std::sqrt(p) * std::sqrt(q) / std::sqrt(n + 1.0),
          2.0 * (q - p) / std::sqrt(p * q) * (std::sqrt(n + 1.0) / (n + 2.0)),
          6.0 * (ratio * ((n + 1.0) / (n + 2.0)) / (n + 3.0) - 1.0 / (n + 3.0))};
}

/// A probability from Boost, which must lie in [0, 1]; anything else is a failed evaluation.
double FromBoostProbability(double p) { return p >= 0.0 && p <= 1.0 ? p : kMissing; }

constexpr double kLogSqrtTwoPi = 0.91893853320467274178;  // ln sqrt(2 pi)

// Truncated hypergeometric arguments, checked once for both the density and the distribution function.
struct HyperArgs {
  double x = 0.0;
  unsigned population = 0, successes = 0, draws = 0;
  double lowest = 0.0, highest = 0.0;  // the support
  bool valid = false;
};

HyperArgs CheckHyper(double x, double population, double successes, double draws) {
  HyperArgs args;
  if (!IsUsable(x) || !IsUsable(population) || !IsUsable(successes) || !IsUsable(draws)) return args;
  const double n = std::trunc(population), r = std::trunc(successes), k = std::trunc(draws);
  constexpr double kLargest = std::numeric_limits<unsigned>::max();
  if (n < 0.0 || n > kLargest || r < 0.0 || r > n || k < 0.0 || k > n) return args;
  args.x = std::trunc(x);
  args.population = static_cast<unsigned>(n);
  args.successes = static_cast<unsigned>(r);
  args.draws = static_cast<unsigned>(k);
  args.lowest = std::max(0.0, k + r - n);
  args.highest = std::min(r, k);
  args.valid = true;
  return args;
}

}  // namespace

double KQDistFun::PdfNormal(double x, double mean, double sd) {
  if (!IsUsable(x) || !IsUsable(mean) || !IsPositiveFinite(sd)) return kMissing;
  return FromBoost(bm::pdf(Normal(mean, sd), x));
}

double KQDistFun::CdfNormal(double x, double mean, double sd) {
  if (!IsUsable(x) || !IsUsable(mean) || !IsPositiveFinite(sd)) return kMissing;
  return FromBoost(bm::cdf(Normal(mean, sd), x));
}

double KQDistFun::IdfNorm(double p, double mean, double sd) {
  if (!IsProbability(p) || !IsUsable(mean) || !IsPositiveFinite(sd)) return kMissing;
  return FromBoost(bm::quantile(Normal(mean, sd), p));
}

double KQDistFun::PdfT(double t, double df) {
  if (!IsUsable(t) || !IsPositiveFinite(df)) return kMissing;
  return FromBoost(bm::pdf(StudentT(df), t));
}

double KQDistFun::CdfT(double t, double df) {
  if (!IsUsable(t) || !IsPositiveFinite(df)) return kMissing;
  return FromBoostProbability(bm::cdf(StudentT(df), t));
}

double KQDistFun::IdfT(double p, double df) {
  if (!IsProbability(p) || !IsPositiveFinite(df)) return kMissing;
  return FromBoost(bm::quantile(StudentT(df), p));
}

double KQDistFun::TwoSidedSigT(double t, double df) {
  // 1 - CdfT(|t|) would round to 0 once the significance falls below the spacing of doubles near 1
  // (about 1e-16), while the lower tail keeps its relative accuracy.
  const double lowerTail = CdfT(-std::fabs(t), df);
  return KQMV::IsMissing(lowerTail) ? kMissing : 2.0 * lowerTail;
}

double KQDistFun::NonCentralPdfT(double t, double df, double ncp) {
  if (!IsUsable(t) || !IsPositiveFinite(df) || !IsUsable(ncp)) return kMissing;
  if (std::fabs(ncp) > kMaxNonCentrality) return kMissing;
  return FromBoost(bm::pdf(NonCentralT(df, ncp), t));
}

double KQDistFun::CdfChi(double x, double df) {
  if (!IsUsable(x) || !IsUsable(df) || df < 0.0) return kMissing;
  if (x <= 0.0) return df == 0.0 && x == 0.0 ? 1.0 : 0.0;
  if (df == 0.0) return 1.0;
  return FromBoostProbability(bm::cdf(ChiSquared(df), x));
}

double KQDistFun::SigChi(double x, double df) {
  if (!IsUsable(x) || !IsUsable(df) || df < 0.0) return kMissing;
  if (x <= 0.0) return df == 0.0 && x == 0.0 ? 0.0 : 1.0;
  if (df == 0.0) return 0.0;
  // The complement directly: 1 - CdfChi rounds to 0 below the spacing of doubles near 1.
  return FromBoostProbability(bm::cdf(bm::complement(ChiSquared(df), x)));
}

double KQDistFun::IdfChi(double p, double df) {
  if (!IsProbability(p) || !IsUsable(df) || df < 0.0) return kMissing;
  if (df == 0.0) return 0.0;
  return FromBoost(bm::quantile(ChiSquared(df), p));
}

double KQDistFun::CdfF(double f, double df1, double df2) {
  if (!IsUsable(f) || !IsPositiveFinite(df1) || !IsPositiveFinite(df2)) return kMissing;
  if (f <= 0.0) return 0.0;
  return FromBoostProbability(bm::cdf(FisherF(df1, df2), f));
}

double KQDistFun::SigF(double f, double df1, double df2) {
  if (!IsUsable(f) || !IsPositiveFinite(df1) || !IsPositiveFinite(df2)) return kMissing;
  if (f <= 0.0) return 1.0;
  return FromBoostProbability(bm::cdf(bm::complement(FisherF(df1, df2), f)));
}

double KQDistFun::PdfGamma(double x, double shape, double rate) {
  if (!IsUsable(x) || !IsPositiveFinite(shape) || !IsPositiveFinite(rate)) return kMissing;
  if (x < 0.0) return 0.0;
  // The derivative of the regularised incomplete gamma function is the unit-rate density; unlike
  // Boost's gamma pdf, which answers 0 at x = 0 for every shape, it has the right value there.
  return FromBoost(bm::gamma_p_derivative(shape, x * rate, KQBoostPolicy()) * rate);
}

double KQDistFun::CdfGamma(double x, double shape, double rate) {
  if (!IsUsable(x) || !IsPositiveFinite(shape) || !IsPositiveFinite(rate)) return kMissing;
  if (x <= 0.0) return 0.0;
  return FromBoostProbability(bm::gamma_p(shape, x * rate, KQBoostPolicy()));
}

double KQDistFun::IdfGam(double p, double shape, double rate) {
  if (!IsProbability(p) || !IsPositiveFinite(shape) || !IsPositiveFinite(rate)) return kMissing;
  return FromBoost(bm::quantile(GammaLaw(shape, 1.0 / rate), p));
}

double KQDistFun::PdfBeta(double x, double a, double b) {
  if (!IsUsable(x) || !IsPositiveFinite(a) || !IsPositiveFinite(b)) return kMissing;
  if (x < 0.0 || x > 1.0) return 0.0;
  return FromBoost(bm::pdf(BetaLaw(a, b), x));
}

double KQDistFun::CdfBeta(double x, double a, double b) {
  if (!IsUsable(x) || !IsPositiveFinite(a) || !IsPositiveFinite(b)) return kMissing;
  if (x <= 0.0) return 0.0;
  if (x >= 1.0) return 1.0;
  if (std::min(a, b) >= kNormalBetaShape) {
    // Cornish-Fisher inverted: the standardised point w corresponds to the normal quantile
    // z = w - g (w^2 - 1) / 6 - k (w^3 - 3 w) / 24 + g^2 (4 w^3 - 7 w) / 36 (g skewness, k excess kurtosis).
    const BetaMoments m = LargeBetaMoments(a, b);
    const double w = (x - m.mean) / m.sd, g = m.skewness, k = m.kurtosis;
    const double z = w - g * (w * w - 1.0) / 6.0 - k * (w * w * w - 3.0 * w) / 24.0 +
                     g * g * (4.0 * w * w * w - 7.0 * w) / 36.0;
    return FromBoostProbability(bm::cdf(Normal(0.0, 1.0), z));
  }
  return FromBoostProbability(bm::cdf(BetaLaw(a, b), x));
}

double KQDistFun::IdfBeta(double p, double a, double b) {
  if (!IsProbability(p) || !IsPositiveFinite(a) || !IsPositiveFinite(b)) return kMissing;
  if (std::min(a, b) >= kNormalBetaShape) {
    if (p == 0.0 || p == 1.0) return p;
    // Cornish-Fisher: x = mean + sd (z + g (z^2 - 1) / 6 + k (z^3 - 3 z) / 24 - g^2 (2 z^3 - 5 z) / 36).
    const BetaMoments m = LargeBetaMoments(a, b);
    const double z = bm::quantile(Normal(0.0, 1.0), p), g = m.skewness, k = m.kurtosis;
    const double w = z + g * (z * z - 1.0) / 6.0 + k * (z * z * z - 3.0 * z) / 24.0 -
                     g * g * (2.0 * z * z * z - 5.0 * z) / 36.0;
    return std::clamp(m.mean + m.sd * w, 0.0, 1.0);
  }
  return FromBoost(bm::quantile(BetaLaw(a, b), p));
}

double KQDistFun::PdfHyper(double x, double population, double successes, double draws) {
  const HyperArgs args = CheckHyper(x, population, successes, draws);
  if (!args.valid) return kMissing;
  if (args.x < args.lowest || args.x > args.highest) return 0.0;
  const Hypergeometric law(args.successes, args.draws, args.population);
  return FromBoost(bm::pdf(law, static_cast<unsigned>(args.x)));
}

double KQDistFun::CDFHyper(double x, double population, double successes, double draws) {
  const HyperArgs args = CheckHyper(x, population, successes, draws);
  if (!args.valid) return kMissing;
  if (args.x < args.lowest) return 0.0;
  if (args.x >= args.highest) return 1.0;
  const Hypergeometric law(args.successes, args.draws, args.population);
  return FromBoost(bm::cdf(law, static_cast<unsigned>(args.x)));
}

double KQDistFun::qorvdnlgam(double x) {
  if (!IsUsable(x)) return kMissing;
  return FromBoost(bm::lgamma(x, KQBoostPolicy()));
}

double KQDistFun::LogBeta(double a, double b) {
  if (!IsPositiveFinite(a) || !IsPositiveFinite(b)) return kMissing;
  const double p = std::min(a, b), q = std::max(a, b);
  const double fraction = p / (p + q);
  if (p >= kStirlingMin) {
    // Both large: Stirling's formula for all three Gamma functions; the leading terms cancel in closed
    // form and only the small corrections are subtracted numerically.
    const double correction = StirlingCorrection(p) + StirlingCorrection(q) - StirlingCorrection(p + q);
    return -0.5 * std::log(q) + kLogSqrtTwoPi + correction + (p - 0.5) * std::log(fraction) +
           q * std::log1p(-fraction);
  }
  if (q >= kStirlingMin) {
    // Only q large: ln Gamma(q) - ln Gamma(p + q) by Stirling, ln Gamma(p) directly.
    const double correction = StirlingCorrection(q) - StirlingCorrection(p + q);
    return FromBoost(bm::lgamma(p, KQBoostPolicy())) + correction + p - p * std::log(p + q) +
           (q - 0.5) * std::log1p(-fraction);
  }
  // Both below 10: B(p, q) itself is accurate and far from underflow (B(10, 10) = 1.1e-6); it can
  // only overflow for a subnormal p, where the sum of ln Gamma values has no cancellation to fear.
  const double beta = bm::beta(p, q, KQBoostPolicy());
  if (std::isfinite(beta) && beta > 0.0) return std::log(beta);
  return FromBoost(bm::lgamma(p, KQBoostPolicy()) + bm::lgamma(q, KQBoostPolicy()) -
                   bm::lgamma(p + q, KQBoostPolicy()));
}

double KQDistFun::Log1p(double x) {
  if (!IsUsable(x) || x < -1.0) return kMissing;
  return std::log1p(x);
}

double KQDistFun::Expm1(double x) {
  if (!IsUsable(x)) return kMissing;
  return std::expm1(x);
}

}  // namespace KQMath_850
