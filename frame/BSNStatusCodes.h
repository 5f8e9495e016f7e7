#pragma once
// The status codes of the analyses and their message texts. The table exists once, as data
// (BSNStatusCodes.cpp); the message lookup, the display and the tests all read it.

#include <span>
#include <string>
#include <string_view>

#include "companion/KQStatus.h"

namespace KQBSN_850 {

enum BSNStatusCode : int {
  BSN_STATUS_CANCELLED = 1,
  BSN_INTERNAL_ERROR = 410001,
  BSN_MISSING_KNOWN_VARIANCES = 410002,
  BSN_NO_VALID_CASES = 410003,
  BSN_TOO_FEW_CORR_VARIABLES = 410004,
  BSN_FEW_VALID_CASES_CORR = 410006,
  BSN_CONSTANT_CORR_PAIRS = 410008,
  BSN_PERFECT_CORR_PAIRS = 410009,
  BSN_CONSTANT_FIELDS = 410010,
  BSN_CONSTANT_DEPENDENT = 410011,
  BSN_NO_NONREDUNDANT_PREDICTORS = 410012,
  BSN_DF_NOT_ABOVE_4 = 410013,
  BSN_PERFECT_FIT = 410014,
  BSN_FULL_MODEL_NOT_SUPERSET = 410015,
  BSN_CANCELLED = 410016,
  BSN_PRIOR_NOT_SUPPORTED = 410017,
  BSN_NO_ALTERNATIVE_PRIOR_PARAMS = 410018,
  BSN_BAD_PARAMETER = 410019,
  BSN_BAD_PRIOR_MEANS_LENGTH = 410020,
  BSN_BAD_PRIOR_MATRIX_SIZE = 410021,
  BSN_REGRESSOR_MISMATCH = 410022,
  BSN_REDUNDANT_PARAMETERS = 410023,
  BSN_DF_NOT_ABOVE_2 = 410024,
  BSN_FEW_VALID_CASES_NORMAL = 410025,
  BSN_DF_NOT_ABOVE_3_JEFFREYS2 = 410026,
  BSN_DF_NOT_ABOVE_5_DIFFUSE = 410027,
  BSN_CONSTANT_PAIR_NORMAL = 410028,
  BSN_FEW_VALID_CASES_PAIR = 410029,
  BSN_FEW_VALID_CASES_INDEPENDENT = 410030,
  BSN_BAD_BINOMIAL_FACTORS = 410031,
  BSN_PLOT_FACTOR_NOT_FOUND = 410032,
  BSN_PLOT_COVARIATE_NOT_FOUND = 410033,
  BSN_NO_DEPENDENT = 410034,
  BSN_NO_PREDICTORS = 410035,
  BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY = 410036,
  BSN_SAMPLE_TOO_SMALL = 410037,
  BSN_ALL_CASES_MISSING = 410038,
  BSN_NO_COVARIATES = 410039,
  BSN_NO_GROUP_VARIABLE = 410040,
  BSN_LOG_FACTOR = 410041,
  BSN_INDEPENDENT_DIFFUSE_FEW_CASES = 410042,
  BSN_FTEST_VALUES_MISMATCH = 410043,
  BSN_PREDICTOR_NOT_FOUND = 410044,
  BSN_ZERO_POOLED_SD = 410045,
  BSN_BOTH_GROUPS_CONSTANT = 410046,
  BSN_ONE_GROUP_CONSTANT = 410047,
  BSN_FTEST_NO_L_ROWS = 410048,
  BSN_LOGLINEAR_NOT_TWO_FACTORS = 410049,
  BSN_LOGLINEAR_LAMBDA_COUNT = 410050,
  BSN_LOGLINEAR_ONE_ROW_CATEGORY = 410051,
  BSN_LOGLINEAR_ONE_COLUMN_CATEGORY = 410052,
  BSN_INTRINSIC_NOT_2X2 = 410053,
  BSN_NONPARAMETRIC_NOT_2XK = 410054,
  BSN_PRIOR_COMPONENT_TOO_SMALL = 410055,
  BSN_NONPARAMETRIC_FIXED_TOTAL = 410056,
  BSN_TOO_MANY_PARAMETERS = 410057,
  BSN_FULL_MODEL_TOO_MANY_PARAMETERS = 410058,
  BSN_NUMERICAL_PROBLEM = 410059,
  BSN_BAD_LOGLINEAR_SHAPES = 410060,
  // Beyond the codes above, warnings that say why a value is shown other than as computed.
  BSN_COUNT_TOO_LARGE = 410061,
};

/// One row of the status table.
struct BSNStatusInfo {
  int code;
  std::string_view name;
  std::string_view message;  ///< empty for a code without a message
};

/// Every code with its name and message, in code order.
std::span<const BSNStatusInfo> StatusTable() noexcept;

/// The table row of a code, or null for a code the analyses never raise.
const BSNStatusInfo* FindStatusInfo(int code) noexcept;

/// Writes into text the message of a code; leaves it empty for a code without a message.
void StatusMessageText(int code, std::string& text);

/// The status as a host receives it. OK, the cancellation (code 1) and every code with a message
/// text pass unchanged. An error without a text (a common-library code, say) becomes
/// BSN_INTERNAL_ERROR and a warning without a text BSN_NUMERICAL_PROBLEM; either keeps the data items
/// and carries the original code as the next discrete datum.
KQCommon_850::KQStatus HostStatus(const KQCommon_850::KQStatus& status);

}  // namespace KQBSN_850
