#pragma once
// BSNLoglinearFun: the combinatorial terms and log-Cauchy densities of the log-linear Bayes factors.
// Every log is natural; ln Gamma is KQDistFun::qorvdnlgam, and a term that cannot be evaluated (a
// count of -1 or below) is the missing value.

#include <vector>

namespace KQBSN_850 {

class BSNLoglinearFun {
 public:
  using DoubleList = std::vector<double>;
  using DoubleMatrix = std::vector<std::vector<double>>;

  /// ln Gamma(n + 1) - sum ln Gamma(x_i + 1), the log of the multinomial coefficient.
  static double LogMultinomialCoef(const DoubleList& x, double n);
  /// The same over every cell of a table.
  static double LogMultinomialCoef(const DoubleMatrix& x, double n);
  static double MultinomialCoef(const DoubleList& x, double n);
  static double MultinomialCoef(const DoubleMatrix& x, double n);
  /// sum ln Gamma(r_i + 1) + sum ln Gamma(c_j + 1) - ln Gamma(n + 1) - sum ln Gamma(x_ij + 1): the log
  /// probability of a table's cells given its margins.
  static double LogProbOfInterior(double n, const DoubleList& rowTotals, const DoubleList& colTotals,
                                  const DoubleMatrix& x);
  static double ProbOfInterior(double n, const DoubleList& rowTotals, const DoubleList& colTotals,
                               const DoubleMatrix& x);
  /// (1/x) / ((ln x)^2 + pi^2) for x > 0: the log-Cauchy density with scale pi; missing for x <= 0.
  static double LogCauchyDensity(double x);
  /// -ln x - ln((ln x)^2 + pi^2) for x > 0, the log of that density; missing for x <= 0.
  static double LogLogCauchyDensity(double x);

  /// pi^2 as the densities use it.
  static constexpr double kPiSquared = 9.869604401089358;
};

}  // namespace KQBSN_850
