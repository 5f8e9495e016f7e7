#pragma once
// KQDistFun: densities (Pdf), distribution functions (Cdf) and quantiles (Idf) of the continuous
// laws the analyses use, the hypergeometric probabilities, ln Gamma and ln Beta.
//
// Input: the point or probability comes first, then the parameters. Points and parameters must be
// finite and not missing; scales, degrees of freedom and shapes must be positive; probabilities lie in
// [0, 1]. Gamma laws take shape and rate (mean shape / rate). A point outside the support of a law on
// [0, inf) or [0, 1] is not an error: its density is 0 and its distribution function 0 or 1.
// Otherwise: an invalid argument, or an evaluation that cannot be trusted, gives KQMV::Missing(); no
// function throws or returns NaN. An unbounded answer is a signed infinity (IdfNorm(0, ...) = -inf).
// Accuracy: tests/companion/KQDistFun_test.cpp compares every function with R or with exact values
// (rational or high-precision), to a relative 1e-13 unless the test says why it allows more.

namespace KQMath_850 {

class KQDistFun {
 public:
  // Normal law with mean and standard deviation sd > 0.
  /// Normal density at x.
  static double PdfNormal(double x, double mean, double sd);
  /// Normal distribution function at x.
  static double CdfNormal(double x, double mean, double sd);
  /// Normal quantile of probability p; -inf at p = 0 and +inf at p = 1.
  static double IdfNorm(double p, double mean, double sd);

  // Student t with df > 0 degrees of freedom (not necessarily whole).
  /// Student t density at t.
  static double PdfT(double t, double df);
  /// Student t distribution function at t.
  static double CdfT(double t, double df);
  /// Student t quantile of probability p; -inf at p = 0 and +inf at p = 1.
  static double IdfT(double p, double df);
  /// Two-sided significance 2 P(T_df > |t|), taken from the lower tail 2 P(T_df < -|t|) so that it keeps
  /// its relative accuracy below the spacing of doubles near 1.
  static double TwoSidedSigT(double t, double df);
  /// Density at t of the non-central t law with df degrees of freedom and non-centrality ncp; missing
  /// for |ncp| > 2e4, where the series behind it no longer converges in reasonable time.
  static double NonCentralPdfT(double t, double df, double ncp);

  // Chi-square with df >= 0; df = 0 is the limit law, the unit mass at 0.
  /// Chi-square distribution function at x.
  static double CdfChi(double x, double df);
  /// Upper-tail significance P(X > x) = 1 - CdfChi(x, df), with its relative accuracy kept in the far
  /// tail (significances far below 1e-16).
  static double SigChi(double x, double df);
  /// Chi-square quantile of probability p; +inf at p = 1 (for df > 0).
  static double IdfChi(double p, double df);

  /// Distribution function at f of the F law with df1 > 0 and df2 > 0 degrees of freedom.
  static double CdfF(double f, double df1, double df2);
  /// Upper-tail significance P(F > f) = 1 - CdfF(f, df1, df2), with its relative accuracy kept in the
  /// far tail.
  static double SigF(double f, double df1, double df2);

  // Gamma law with shape > 0 and rate > 0: density rate^shape x^(shape-1) exp(-rate x) / Gamma(shape).
  /// Gamma density at x (at x = 0: +inf for shape < 1, rate for shape = 1, 0 for shape > 1).
  static double PdfGamma(double x, double shape, double rate);
  /// Gamma distribution function at x.
  static double CdfGamma(double x, double shape, double rate);
  /// Gamma quantile of probability p; +inf at p = 1.
  static double IdfGam(double p, double shape, double rate);

  // Beta law with shapes a > 0 and b > 0. With both shapes at least 1e8 the distribution function and
  // the quantile come from the Cornish-Fisher expansion about the normal law (to about 1e-12 standard
  // deviations there, where the incomplete beta function loses its accuracy).
  /// Beta density at x (+inf at an end where the shape is below 1).
  static double PdfBeta(double x, double a, double b);
  /// Beta distribution function at x.
  static double CdfBeta(double x, double a, double b);
  /// Beta quantile of probability p.
  static double IdfBeta(double p, double a, double b);

  // Hypergeometric law: the number of successes among `draws` items drawn without replacement from
  // `population` items of which `successes` are successes. Each argument is truncated towards zero;
  // the population must be at most 4294967295 and hold both counts.
  /// Probability of exactly x successes; 0 outside max(0, draws + successes - population) .. min(successes,
  /// draws).
  static double PdfHyper(double x, double population, double successes, double draws);
  /// Probability of at most x successes; 0 below the support and 1 above it.
  static double CDFHyper(double x, double population, double successes, double draws);

  /// ln |Gamma(x)|; missing at the poles x = 0, -1, -2, ...
  static double qorvdnlgam(double x);
  /// ln B(a, b) = ln Gamma(a) + ln Gamma(b) - ln Gamma(a + b) for a > 0, b > 0, without the
  /// cancellation of that sum when a or b is large.
  static double LogBeta(double a, double b);
  /// ln(1 + x) for x >= -1, accurate for small x; -inf at x = -1.
  static double Log1p(double x);
  /// exp(x) - 1, accurate for small x.
  static double Expm1(double x);
};

}  // namespace KQMath_850
