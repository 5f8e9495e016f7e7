#include "loglinear/BSNLoglinearFun.h"

#include <cmath>

#include "companion/KQDistFun.h"
#include "companion/KQMV.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQMath_850::KQDistFun;

namespace {

/// ln Gamma(x + 1), the missing value propagated.
double LogFactorial(double x) { return KQDistFun::qorvdnlgam(x + 1.0); }

/// Sum of ln Gamma(x + 1) over a list; missing when a term is.
double SumLogFactorials(const std::vector<double>& x) {
  double sum = 0.0;
  for (double v : x) {
    const double term = LogFactorial(v);
    if (KQMV::IsMissing(term)) return KQMV::Missing();
    sum += term;
  }
  return sum;
}

double SumLogFactorials(const std::vector<std::vector<double>>& x) {
  double sum = 0.0;
  for (const auto& row : x) {
    const double term = SumLogFactorials(row);
    if (KQMV::IsMissing(term)) return KQMV::Missing();
    sum += term;
  }
  return sum;
}

/// a - b, missing when either is.
double Difference(double a, double b) {
  return KQMV::IsMissing(a) || KQMV::IsMissing(b) ? KQMV::Missing() : a - b;
}

double ExpOrMissing(double x) { return KQMV::IsMissing(x) ? KQMV::Missing() : std::exp(x); }

}  // namespace

double BSNLoglinearFun::LogMultinomialCoef(const DoubleList& x, double n) {
  return Difference(LogFactorial(n), SumLogFactorials(x));
}

double BSNLoglinearFun::LogMultinomialCoef(const DoubleMatrix& x, double n) {
  return Difference(LogFactorial(n), SumLogFactorials(x));
}

double BSNLoglinearFun::MultinomialCoef(const DoubleList& x, double n) {
  return ExpOrMissing(LogMultinomialCoef(x, n));
}

double BSNLoglinearFun::MultinomialCoef(const DoubleMatrix& x, double n) {
  return ExpOrMissing(LogMultinomialCoef(x, n));
}

double BSNLoglinearFun::LogProbOfInterior(double n, const DoubleList& rowTotals, const DoubleList& colTotals,
                                          const DoubleMatrix& x) {
  const double rows = SumLogFactorials(rowTotals), columns = SumLogFactorials(colTotals);
  const double all = LogFactorial(n), cells = SumLogFactorials(x);
  if (KQMV::IsMissing(rows) || KQMV::IsMissing(columns) || KQMV::IsMissing(all) || KQMV::IsMissing(cells))
    return KQMV::Missing();
  return rows + columns - all - cells;
}

double BSNLoglinearFun::ProbOfInterior(double n, const DoubleList& rowTotals, const DoubleList& colTotals,
                                       const DoubleMatrix& x) {
  return ExpOrMissing(LogProbOfInterior(n, rowTotals, colTotals, x));
}

double BSNLoglinearFun::LogCauchyDensity(double x) {
  if (!(x > 0.0)) return KQMV::Missing();
  const double logX = std::log(x);
  return (1.0 / x) / (logX * logX + kPiSquared);
}

double BSNLoglinearFun::LogLogCauchyDensity(double x) {
  if (!(x > 0.0)) return KQMV::Missing();
  const double logX = std::log(x);
  return -logX - std::log(logX * logX + kPiSquared);
}

}  // namespace KQBSN_850
