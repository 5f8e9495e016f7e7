#pragma once
// Status codes raised by the common and regression libraries themselves (the analyses' own
// codes live with the analyses). Each code has one message text, looked up by CommonMessageText.

#include <string_view>

namespace KQCommon_850 {

enum KQCommonCode : int {
  KQ_OK = 0,
  /// An active model variable is missing from the variable list, or fails its category check.
  KQ_VARIABLE_NOT_FOUND = 102,
  /// Numerical integration stopped at its iteration limit before reaching the requested tolerance.
  KQ_INTEGRATION_NOT_CONVERGED = 201,
  /// Numerical integration met a non-finite integrand value.
  KQ_INTEGRAND_NOT_FINITE = 202,
  /// A PMML export step failed.
  KQ_EXPORT_FAILED = 303,
};

/// The message of a common-library code; empty for a code without one.
std::string_view CommonMessageText(int code) noexcept;

}  // namespace KQCommon_850
