#include "frame/BSNStatusCodes.h"

#include <array>
#include <cstddef>

namespace KQBSN_850 {
namespace {

constexpr std::array<BSNStatusInfo, 60> kStatusTable{{
    {BSN_STATUS_CANCELLED, "BSN_STATUS_CANCELLED", ""},
    {BSN_INTERNAL_ERROR, "BSN_INTERNAL_ERROR", "Internal error"},
    {BSN_MISSING_KNOWN_VARIANCES, "BSN_MISSING_KNOWN_VARIANCES",
     "Missing variances in the Independent algorithm when NORMAL Meandist is used"},
    {BSN_NO_VALID_CASES, "BSN_NO_VALID_CASES", "Error: No valid cases were found"},
    {BSN_TOO_FEW_CORR_VARIABLES, "BSN_TOO_FEW_CORR_VARIABLES",
     "Error: Not enough variables specified for Correlation. There should be at least 2"},
    {BSN_FEW_VALID_CASES_CORR, "BSN_FEW_VALID_CASES_CORR",
     "Warning: Not enough valid cases were found for some variables"},
    {BSN_CONSTANT_CORR_PAIRS, "BSN_CONSTANT_CORR_PAIRS",
     "Warning: There are constant variables in some variable pairs for Pearson Correlation"},
    {BSN_PERFECT_CORR_PAIRS, "BSN_PERFECT_CORR_PAIRS",
     "Warning: There is perfect linear correlation for some variable pairs for Pearson Correlation"},
    {BSN_CONSTANT_FIELDS, "BSN_CONSTANT_FIELDS", "Warning: some constant fields have been found"},
    {BSN_CONSTANT_DEPENDENT, "BSN_CONSTANT_DEPENDENT",
     "Error: the dependent variable for multiple regression is constant"},
    {BSN_NO_NONREDUNDANT_PREDICTORS, "BSN_NO_NONREDUNDANT_PREDICTORS",
     "Error: no non-redundant predictors are specified for multiple regression"},
    {BSN_DF_NOT_ABOVE_4, "BSN_DF_NOT_ABOVE_4",
     "Warning: the degrees of freedom in Bayesian analysis is not greater than 4"},
    {BSN_PERFECT_FIT, "BSN_PERFECT_FIT",
     "Warning: the multiple regression model has a perfect fit, R squared=1"},
    {BSN_FULL_MODEL_NOT_SUPERSET, "BSN_FULL_MODEL_NOT_SUPERSET",
     "Warning: the full model is not a superset of the original model"},
    {BSN_CANCELLED, "BSN_CANCELLED", "The analysis was abandoned following a cancellation request"},
    {BSN_PRIOR_NOT_SUPPORTED, "BSN_PRIOR_NOT_SUPPORTED",
     "Warning: The prior distribution is not supported by Bayes inference. Using Diffuse"},
    {BSN_NO_ALTERNATIVE_PRIOR_PARAMS, "BSN_NO_ALTERNATIVE_PRIOR_PARAMS",
     "Warning: The parameters for alternative prior for some fields are not specified"},
    {BSN_BAD_PARAMETER, "BSN_BAD_PARAMETER",
     "A parameter required for the selected option was not provided or is invalid"},
    {BSN_BAD_PRIOR_MEANS_LENGTH, "BSN_BAD_PRIOR_MEANS_LENGTH",
     "The specified prior mean vector has incorrect length"},
    {BSN_BAD_PRIOR_MATRIX_SIZE, "BSN_BAD_PRIOR_MATRIX_SIZE",
     "The specified matrix V has incorrect size. ID matrix used instead"},
    {BSN_REGRESSOR_MISMATCH, "BSN_REGRESSOR_MISMATCH",
     "Warning: Regressor values do not correspond to the predictors in the model"},
    {BSN_REDUNDANT_PARAMETERS, "BSN_REDUNDANT_PARAMETERS",
     "Warning: one or more redundant parameters were discovered"},
    {BSN_DF_NOT_ABOVE_2, "BSN_DF_NOT_ABOVE_2",
     "Warning: the degrees of freedom in Bayesian analysis is not greater than 2"},
    {BSN_FEW_VALID_CASES_NORMAL, "BSN_FEW_VALID_CASES_NORMAL",
     "Warning: Not enough valid cases were found for some variables"},
    {BSN_DF_NOT_ABOVE_3_JEFFREYS2, "BSN_DF_NOT_ABOVE_3_JEFFREYS2",
     "Warning: the degrees of freedom is not greater than 3 for Jeffrey2"},
    {BSN_DF_NOT_ABOVE_5_DIFFUSE, "BSN_DF_NOT_ABOVE_5_DIFFUSE",
     "Warning: the degrees of freedom is not greater than 5 for Diffuse"},
    {BSN_CONSTANT_PAIR_NORMAL, "BSN_CONSTANT_PAIR_NORMAL",
     "Warning: There are constant variables in some variable pairs for normal"},
    {BSN_FEW_VALID_CASES_PAIR, "BSN_FEW_VALID_CASES_PAIR",
     "Warning: Not enough valid cases were found for a variable pair"},
    {BSN_FEW_VALID_CASES_INDEPENDENT, "BSN_FEW_VALID_CASES_INDEPENDENT",
     "Warning: Not enough valid cases for Two Sample Independent analysis"},
    {BSN_BAD_BINOMIAL_FACTORS, "BSN_BAD_BINOMIAL_FACTORS",
     "Error: no factors specified for binomial analysis, or bad numbers of categories"},
    {BSN_PLOT_FACTOR_NOT_FOUND, "BSN_PLOT_FACTOR_NOT_FOUND",
     "Error in factor plot spec: not found in the factor list"},
    {BSN_PLOT_COVARIATE_NOT_FOUND, "BSN_PLOT_COVARIATE_NOT_FOUND",
     "Error in covariate plot spec: not found in the covariate list"},
    {BSN_NO_DEPENDENT, "BSN_NO_DEPENDENT",
     "Error in multiple regression or ANOVA: the dependent is not defined"},
    {BSN_NO_PREDICTORS, "BSN_NO_PREDICTORS", "Error in multiple regression: no predictors specified"},
    {BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY, "BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY",
     "Warning: Independent analysis with unknown and unequal variances can only use Diffuse"},
    {BSN_SAMPLE_TOO_SMALL, "BSN_SAMPLE_TOO_SMALL",
     "Warning: The sample size to estimate is not sufficient. No statistics(or plots) are generated"},
    {BSN_ALL_CASES_MISSING, "BSN_ALL_CASES_MISSING",
     "Warning: All the cases are missing. No statistics or plots are generated"},
    {BSN_NO_COVARIATES, "BSN_NO_COVARIATES",
     "Error: no covariates specified. At least one covariate is required"},
    {BSN_NO_GROUP_VARIABLE, "BSN_NO_GROUP_VARIABLE", "Error: no group variable specified for Independent"},
    {BSN_LOG_FACTOR, "BSN_LOG_FACTOR",
     "Warning: To avoid underflow or overflow, the factor value is log(factor)"},
    // The two pieces of this message meet with a blank on each side: two blanks after "Independent".
    {BSN_INDEPENDENT_DIFFUSE_FEW_CASES, "BSN_INDEPENDENT_DIFFUSE_FEW_CASES",
     "Warning: The number of valid cases in Bayesian Independent  analysis is not above 5 for each group for "
     "Diffuse prior distribution"},
    {BSN_FTEST_VALUES_MISMATCH, "BSN_FTEST_VALUES_MISMATCH",
     "Warning: The number of testing values does not match the number of the parameters. This F test is "
     "skipped."},
    {BSN_PREDICTOR_NOT_FOUND, "BSN_PREDICTOR_NOT_FOUND",
     "Warning: the predictor is not found in the factor or covariate list."},
    {BSN_ZERO_POOLED_SD, "BSN_ZERO_POOLED_SD",
     "Warning: Bayes factor cannot be computed because the pooled standard deviation is 0."},
    {BSN_BOTH_GROUPS_CONSTANT, "BSN_BOTH_GROUPS_CONSTANT",
     "Warning: Both of the testing groups are constant. No outputs are generated for posterior analysis."},
    {BSN_ONE_GROUP_CONSTANT, "BSN_ONE_GROUP_CONSTANT",
     "Warning: At least one of the testing groups is constant. No outputs are generated for posterior "
     "analysis."},
    {BSN_FTEST_NO_L_ROWS, "BSN_FTEST_NO_L_ROWS",
     "F test cannot be performed because there are no L matrix rows corresponding to non-redundant "
     "parameters."},
    {BSN_LOGLINEAR_NOT_TWO_FACTORS, "BSN_LOGLINEAR_NOT_TWO_FACTORS",
     "Error: Log Linear model requires exactly two factors."},
    {BSN_LOGLINEAR_LAMBDA_COUNT, "BSN_LOGLINEAR_LAMBDA_COUNT",
     "Error: Log Linear nonparametric model requires a certain number of lambda values."},
    {BSN_LOGLINEAR_ONE_ROW_CATEGORY, "BSN_LOGLINEAR_ONE_ROW_CATEGORY",
     "Warning: the row factor in LogLinear has only one category."},
    {BSN_LOGLINEAR_ONE_COLUMN_CATEGORY, "BSN_LOGLINEAR_ONE_COLUMN_CATEGORY",
     "Warning: the column factor in LogLinear has only one category."},
    {BSN_INTRINSIC_NOT_2X2, "BSN_INTRINSIC_NOT_2X2",
     "Warning: Intrinsic priors can't be used for more than 2x2."},
    {BSN_NONPARAMETRIC_NOT_2XK, "BSN_NONPARAMETRIC_NOT_2XK",
     "Warning: Nonparametric priors can't be used for more than 2xK."},
    {BSN_PRIOR_COMPONENT_TOO_SMALL, "BSN_PRIOR_COMPONENT_TOO_SMALL",
     "Warning: Bayes factor cannot be estimated because at least one component for the prior is too small."},
    {BSN_NONPARAMETRIC_FIXED_TOTAL, "BSN_NONPARAMETRIC_FIXED_TOTAL",
     "Error: nonparametric priors are not compatible with Total fixed margin"},
    {BSN_TOO_MANY_PARAMETERS, "BSN_TOO_MANY_PARAMETERS",
     "Error: the number of parameters in regression or Anova model is too high."},
    {BSN_FULL_MODEL_TOO_MANY_PARAMETERS, "BSN_FULL_MODEL_TOO_MANY_PARAMETERS",
     "Warning: number of parameters in full model for regression is too high. No BF"},
    {BSN_NUMERICAL_PROBLEM, "BSN_NUMERICAL_PROBLEM",
     "Warning: A numerical problem prevented the computation of Bayes factor."},
    {BSN_BAD_LOGLINEAR_SHAPES, "BSN_BAD_LOGLINEAR_SHAPES",
     "Error: The number of shape parameters in Loglinear model is wrong."},
    {BSN_COUNT_TOO_LARGE, "BSN_COUNT_TOO_LARGE",
     "Warning: A weighted count is too large for its integer field and is shown as the largest integer."},
}};

}  // namespace

std::span<const BSNStatusInfo> StatusTable() noexcept { return kStatusTable; }

const BSNStatusInfo* FindStatusInfo(int code) noexcept {
  for (const BSNStatusInfo& info : kStatusTable)
    if (info.code == code) return &info;
  return nullptr;
}

void StatusMessageText(int code, std::string& text) {
  const BSNStatusInfo* info = FindStatusInfo(code);
  text.assign(info != nullptr ? info->message : std::string_view{});
}

KQCommon_850::KQStatus HostStatus(const KQCommon_850::KQStatus& status) {
  const int code = status.GetErrorCode();
  if (code == 0 || code == BSN_STATUS_CANCELLED) return status;
  if (const BSNStatusInfo* info = FindStatusInfo(code); info != nullptr && !info->message.empty())
    return status;
  KQCommon_850::KQStatus shown(status.IsWarning() ? BSN_NUMERICAL_PROBLEM : BSN_INTERNAL_ERROR,
                               status.IsWarning());
  for (std::size_t i = 0; i < status.GetNDiscreteData(); ++i)
    if (status.HasDiscreteDatum(i)) shown.SetDiscreteDatum(i, status.GetDiscreteDatum(i));
  for (std::size_t i = 0; i < status.GetNScaleData(); ++i)
    if (status.HasScaleDatum(i)) shown.SetScaleDatum(i, status.GetScaleDatum(i));
  shown.SetDiscreteDatum(status.GetNDiscreteData(), code);
  return shown;
}

}  // namespace KQBSN_850
