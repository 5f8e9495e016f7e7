// Scoring of a record with a fitted regression or ANOVA: the predicted value, and with the predictive
// variance asked for, its variance and credible limits.

#include <cmath>
#include <cstddef>
#include <vector>

#include "companion/KQFastDesignMatrix.h"
#include "companion/KQMV.h"
#include "companion/KQSymMatrix.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "regression/detail/MultiRegOutputData.h"

namespace KQBSN_850 {
namespace {

using KQCommon_850::KQMV;

/// True when every variable the design reads has a usable value in the record: a covariate a value
/// that is neither missing nor NaN, a factor one of its category codes. Such a record expands into
/// a complete design row; any other would leave a factor without its indicator (or read past the
/// record), so its prediction is missing instead.
bool HasCompleteRow(const KQMath_850::KQFastDesignMatrix& design, const std::vector<double>& values) {
  for (int effect = 0; effect < design.GetNEffects(); ++effect) {
    const int var = design.GetEffectVar(effect);
    if (var < 0 || static_cast<std::size_t>(var) >= values.size()) return false;
    const double value = values[static_cast<std::size_t>(var)];
    if (KQMV::IsMissingOrNaN(value) || !std::isfinite(value)) return false;
    if (design.IsFactorEffect(effect)) {
      int first = 0, count = 0;
      design.GetParamsForEffect(effect, first, count);
      if (!(value >= 0.0) || !(value < count) || std::trunc(value) != value) return false;
    }
  }
  return true;
}

/// The row's prediction x b and, when wanted, x' S x. The scratch vectors are the calling thread's
/// own, so that concurrent scoring with one record object never shares them.
struct RowTerms {
  double prediction = 0.0;
  double quadratic = 0.0;
};

RowTerms Expand(const BSNMultiRegOutputData& d, const std::vector<double>& values, bool wantQuadratic) {
  thread_local std::vector<double> row;
  thread_local std::vector<int> indices;
  const std::vector<double>& coefficients = d.scoringCoefficients;
  const KQMath_850::KQSymMatrix& dispersion = d.dispersion;
  RowTerms terms;
  if (d.sparseScoring) {
    const int n = d.design.ExpandRowX(values, indices, row);
    for (int i = 0; i < n; ++i) {
      const auto p = static_cast<std::size_t>(indices[static_cast<std::size_t>(i)]);
      const double x = row[static_cast<std::size_t>(i)];
      if (p < coefficients.size()) terms.prediction += x * coefficients[p];
      if (!wantQuadratic) continue;
      for (int j = 0; j < n; ++j)
        terms.quadratic += x * row[static_cast<std::size_t>(j)] *
                           dispersion(static_cast<int>(p), indices[static_cast<std::size_t>(j)]);
    }
    return terms;
  }
  row.assign(static_cast<std::size_t>(d.design.GetNParameters()), 0.0);
  d.design.ExpandRowX(values, row);
  for (std::size_t p = 0; p < row.size() && p < coefficients.size(); ++p)
    terms.prediction += row[p] * coefficients[p];
  if (wantQuadratic) terms.quadratic = dispersion.QuadraticForm(row);
  return terms;
}

}  // namespace

KQCommon_850::KQStatus BSNMultiRegOutputStats::Score(const KQCommon_850::Record& record,
                                                     BayesEstimation& out) const {
  const BSNMultiRegOutputData& d = *data_;
  const std::vector<double>& values = record.GetAll();
  // The predictive variance needs the posterior's dispersion of the coefficients: a Bayes-factor-only
  // analysis has none, and then only the point prediction is written.
  const bool withVariance = d.computeVarianceInScoring && d.dispersion.Size() == d.design.GetNParameters() &&
                            d.dispersion.Size() > 0;
  if (!HasCompleteRow(d.design, values)) {
    out.mode = out.mean = KQMV::Missing();
    if (withVariance) out.variance = out.lower = out.upper = KQMV::Missing();
    return {};
  }
  const RowTerms terms = Expand(d, values, withVariance);
  out.mode = out.mean = terms.prediction;
  if (!withVariance) return {};
  const double inflation = terms.quadratic + 1.0;
  if (!KQMV::IsMissing(d.postMeanSigma2)) out.variance = inflation * d.postMeanSigma2;
  if (!KQMV::IsMissing(d.tQuantile) && !KQMV::IsMissing(d.sigma2Scale) && inflation * d.sigma2Scale >= 0.0) {
    const double half = std::sqrt(inflation * d.sigma2Scale) * d.tQuantile;
    out.lower = terms.prediction - half;
    out.upper = terms.prediction + half;
  }
  return {};
}

}  // namespace KQBSN_850
