// BSNSettings::IsValidSettings: the rules that tell a host whether its settings describe an
// analysis that can run. The first rule that fails decides. Besides judging, the validation
// completes the null prior lists of the binomial and Poisson analyses and empties a regressor list
// of the wrong length; it changes nothing else.

#include <algorithm>
#include <numeric>

#include "frame/BSNSettings.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/AnalysisRequest.h"

namespace KQBSN_850 {

using BSNConst::AnalysTypes;
using BSNConst::DistTypes;
using BSNConst::ModelTypes;
using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

namespace {

// Null prior parameters that the host left out default to a Beta(2, 2) or Gamma(2, 2) prior.
constexpr double kDefaultNullPrior = 2.0;

KQStatus Error(int code) { return KQStatus(code, false); }

KQStatus ErrorWithDatum(int code, long datum) { return KQCommon_850::StatusWithDatum(code, false, datum); }

bool IsPresent(double x) { return !KQMV::IsMissing(x); }

bool IsPresentPositive(double x) { return IsPresent(x) && x > 0.0; }

bool Contains(const std::vector<int>& list, int value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

void ExtendTo(std::vector<double>& list, std::size_t length) {
  if (list.size() < length) list.resize(length, kDefaultNullPrior);
}

/// A Beta prior parameter is bad when negative, or 0 while its partner is not: (0, 0) is allowed.
bool IsBadBetaParameter(double value, double partner) {
  return value < 0.0 || (value == 0.0 && partner != 0.0);
}

/// The position of the first of n entries of `list` that fails the test, or -1.
template <class Bad>
long FirstBad(std::size_t n, Bad bad) {
  for (std::size_t i = 0; i < n; ++i)
    if (bad(i)) return static_cast<long>(i);
  return -1;
}

class Validator {
 public:
  explicit Validator(BSNSettings& settings) : s_(settings) {}

  KQStatus Run() {
    switch (s_.GetModelType()) {
      case ModelTypes::OneSample:
        return OneSample();
      case ModelTypes::Related:
        if (s_.GetCovariates().empty() || s_.GetCovariates().size() != s_.Get2ndRelatedList().size())
          return Error(BSN_NO_COVARIATES);
        return KQStatus();
      case ModelTypes::Independent:
        return Independent();
      case ModelTypes::Correlation:
        return Correlation();
      case ModelTypes::Regression:
        return Regression();
      case ModelTypes::Anova:
        return Anova();
      case ModelTypes::LogLinear:
        return LogLinear();
    }
    return KQStatus();
  }

 private:
  bool WantsPosterior() const { return detail::WantsPosterior(s_); }
  bool WantsBayesFactor() const { return detail::WantsBayesFactor(s_); }
  bool IsPosteriorOnly() const { return s_.GetAnalysType() == AnalysTypes::Posterior; }

  KQStatus OneSample() {
    switch (s_.GetTestDistType()) {
      case DistTypes::Binomial:
        return Binomial();
      case DistTypes::Poisson:
        return Poisson();
      case DistTypes::Normal:
        return s_.GetCovariates().empty() ? Error(BSN_NO_COVARIATES) : KQStatus();
      default:
        return KQStatus();
    }
  }

  /// Extends the null prior lists to the test variables, then checks that every variable has its
  /// alternative prior parameters (only when a Bayes factor is wanted).
  KQStatus CheckPriorLists(const std::vector<int>& vars) {
    std::vector<double> null1 = s_.GetNullPrior1s();
    std::vector<double> null2 = s_.GetNullPrior2s();
    ExtendTo(null1, vars.size());
    ExtendTo(null2, vars.size());
    s_.SetNullPrior1s(null1);
    s_.SetNullPrior2s(null2);
    const std::size_t nAlt1 = s_.GetAlterPrior1s().size();
    const std::size_t nAlt2 = s_.GetAlterPrior2s().size();
    if (nAlt1 < vars.size() && WantsBayesFactor())
      return ErrorWithDatum(BSN_NO_ALTERNATIVE_PRIOR_PARAMS, vars[nAlt1]);
    if (nAlt2 < vars.size()) {
      if (IsPosteriorOnly()) return KQStatus();
      return ErrorWithDatum(BSN_NO_ALTERNATIVE_PRIOR_PARAMS, vars[nAlt2]);
    }
    return KQStatus();
  }

  KQStatus Binomial() {
    const std::vector<int>& factors = s_.GetFactors();
    if (factors.empty() || factors.size() != s_.GetFactorSizes().size())
      return Error(BSN_BAD_BINOMIAL_FACTORS);
    if (KQStatus st = CheckPriorLists(factors); !st.IsOK() || IsPosteriorOnly()) return st;
    const std::size_t n = factors.size();
    const auto& alt1 = s_.GetAlterPrior1s();
    const auto& alt2 = s_.GetAlterPrior2s();
    const auto& null1 = s_.GetNullPrior1s();
    const auto& null2 = s_.GetNullPrior2s();
    if (long i = FirstBad(n, [&](std::size_t k) { return IsBadBetaParameter(alt1[k], alt2[k]); }); i >= 0)
      return ErrorWithDatum(BSN_NO_ALTERNATIVE_PRIOR_PARAMS, i);
    if (long i = FirstBad(n, [&](std::size_t k) { return IsBadBetaParameter(alt2[k], alt1[k]); }); i >= 0)
      return ErrorWithDatum(BSN_NO_ALTERNATIVE_PRIOR_PARAMS, i);
    if (long i = FirstBad(n, [&](std::size_t k) { return IsBadBetaParameter(null1[k], null2[k]); }); i >= 0)
      return ErrorWithDatum(BSN_BAD_PARAMETER, i);
    if (long i = FirstBad(n, [&](std::size_t k) { return IsBadBetaParameter(null2[k], null1[k]); }); i >= 0)
      return ErrorWithDatum(BSN_BAD_PARAMETER, i);
    return KQStatus();
  }

  KQStatus Poisson() {
    const std::vector<int>& covariates = s_.GetCovariates();
    if (covariates.empty()) return Error(BSN_NO_COVARIATES);
    if (KQStatus st = CheckPriorLists(covariates); !st.IsOK() || IsPosteriorOnly()) return st;
    const std::size_t n = covariates.size();
    const auto notPositive = [n](const std::vector<double>& list) {
      return FirstBad(n, [&](std::size_t k) { return !(list[k] > 0.0); });
    };
    if (long i = notPositive(s_.GetAlterPrior1s()); i >= 0)
      return ErrorWithDatum(BSN_NO_ALTERNATIVE_PRIOR_PARAMS, i);
    if (long i = notPositive(s_.GetAlterPrior2s()); i >= 0)
      return ErrorWithDatum(BSN_NO_ALTERNATIVE_PRIOR_PARAMS, i);
    if (long i = notPositive(s_.GetNullPrior1s()); i >= 0) return ErrorWithDatum(BSN_BAD_PARAMETER, i);
    if (long i = notPositive(s_.GetNullPrior2s()); i >= 0) return ErrorWithDatum(BSN_BAD_PARAMETER, i);
    return KQStatus();
  }

  KQStatus Independent() {
    if (s_.GetCovariates().empty()) return Error(BSN_NO_COVARIATES);
    const auto& variances = s_.GetDataVarVals();
    if (WantsPosterior() && s_.GetMeanDistType() == DistTypes::Normal) {
      if (!IsPresent(s_.GetMeanDistParam1()) || !IsPresent(s_.GetMeanDistParam2()) ||
          !IsPresentPositive(s_.GetMeanDistParam3()) || !IsPresentPositive(s_.GetMeanDistParam4()))
        return Error(BSN_BAD_PARAMETER);
      if (variances.size() < 2 || !IsPresentPositive(variances[0]) || !IsPresentPositive(variances[1]))
        return Error(BSN_MISSING_KNOWN_VARIANCES);
    }
    if (variances.empty() && s_.GetPriorDistType() == DistTypes::InverseChiSquare &&
        (!IsPresentPositive(s_.GetPriorDistParam1()) || !IsPresentPositive(s_.GetPriorDistParam2())))
      return Error(BSN_BAD_PARAMETER);
    if (s_.GetGroupVar() < 0) return Error(BSN_NO_GROUP_VARIABLE);
    return KQStatus();
  }

  KQStatus Correlation() {
    if (s_.GetCovariates().size() < 2) return Error(BSN_TOO_FEW_CORR_VARIABLES);
    if (s_.GetMaxNPlots() < 0 || s_.GetMaxNPlots() > 50)
      return ErrorWithDatum(BSN_BAD_PARAMETER, s_.GetMaxNPlots());
    // Written as two comparisons so that a NaN null value passes, as the analysis tolerates it.
    if (s_.GetNullValue() <= -1.0 || s_.GetNullValue() >= 1.0) {
      KQStatus st = Error(BSN_BAD_PARAMETER);
      st.SetScaleDatum(0, s_.GetNullValue());
      return st;
    }
    return KQStatus();
  }

  /// Shape and scale present, and a prior mean per parameter, for a conjugate posterior.
  KQStatus CheckConjugatePrior(std::size_t nParameters) const {
    if (!WantsPosterior() || s_.GetPriorType() != BSNConst::PriorTypes::Conjugate) return KQStatus();
    if (!IsPresent(s_.GetPriorShape()) || !IsPresent(s_.GetPriorScale())) return Error(BSN_BAD_PARAMETER);
    if (s_.GetPriorMeans().size() != nParameters) return Error(BSN_BAD_PRIOR_MEANS_LENGTH);
    return KQStatus();
  }

  KQStatus Regression() {
    const auto& factors = s_.GetFactors();
    const auto& covariates = s_.GetCovariates();
    if (s_.GetDependentVar() == -1) return Error(BSN_NO_DEPENDENT);
    if (factors.empty() && covariates.empty()) return Error(BSN_NO_PREDICTORS);
    if (WantsBayesFactor() && s_.GetCompareType() == BSNConst::CompareTypes::Full &&
        (s_.GetFullModFactors().size() < factors.size() ||
         s_.GetFullModCovariates().size() < covariates.size()))
      return Error(BSN_FULL_MODEL_NOT_SUPERSET);
    const auto& sizes = s_.GetFactorSizes();
    const long sumSizes = std::accumulate(sizes.begin(), sizes.end(), 0L);
    if (KQStatus st = CheckConjugatePrior(covariates.size() + 1 + static_cast<std::size_t>(sumSizes));
        !st.IsOK())
      return st;
    for (int var : s_.GetPlotFactors())
      if (!Contains(factors, var)) return Error(BSN_PLOT_FACTOR_NOT_FOUND);
    for (int var : s_.GetPlotCovars())
      if (!Contains(covariates, var)) return Error(BSN_PLOT_COVARIATE_NOT_FOUND);
    const auto& regressors = s_.GetRegressors();
    if (!regressors.empty() && regressors.size() != covariates.size() + factors.size()) {
      KQStatus warning(BSN_REGRESSOR_MISMATCH, true);
      s_.GetWarningMessages().AddWarning(warning, 0);
      s_.SetRegressors({});
      return warning;
    }
    return KQStatus();
  }

  KQStatus Anova() {
    if (s_.GetDependentVar() < 0) return Error(BSN_NO_DEPENDENT);
    const auto& factors = s_.GetFactors();
    // Without its size the one factor cannot be used either, so that case is refused here too.
    if (factors.size() != 1 || factors[0] < 0 || s_.GetFactorSizes().empty()) return Error(BSN_NO_PREDICTORS);
    const int nCategories = s_.GetFactorSizes()[0];
    if (KQStatus st = CheckConjugatePrior(static_cast<std::size_t>(nCategories)); !st.IsOK()) return st;
    for (int category : s_.GetPlotFactorCats())
      if (category < 0 || category > nCategories - 1)
        return ErrorWithDatum(BSN_PLOT_FACTOR_NOT_FOUND, category);
    return KQStatus();
  }

  KQStatus LogLinear() {
    const auto& factors = s_.GetFactors();
    if (factors.size() != 2 || factors[0] < 0 || factors[1] < 0 || factors[0] == factors[1])
      return ErrorWithDatum(BSN_LOGLINEAR_NOT_TWO_FACTORS, static_cast<long>(factors.size()));
    return KQStatus();
  }

  BSNSettings& s_;
};

}  // namespace

KQStatus BSNSettings::IsValidSettings() { return Validator(*this).Run(); }

}  // namespace KQBSN_850
