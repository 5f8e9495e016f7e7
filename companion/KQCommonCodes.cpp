#include "companion/KQCommonCodes.h"

#include <array>
#include <utility>

namespace KQCommon_850 {
namespace {

constexpr std::array<std::pair<int, std::string_view>, 4> kMessages{{
    {KQ_VARIABLE_NOT_FOUND, "Error: a model variable is not in the variable list or has invalid categories"},
    {KQ_INTEGRATION_NOT_CONVERGED, "Warning: numerical integration did not reach the requested tolerance"},
    {KQ_INTEGRAND_NOT_FINITE, "Warning: numerical integration met a value that is not finite"},
    {KQ_EXPORT_FAILED, "Error: the model could not be exported"},
}};

}  // namespace

std::string_view CommonMessageText(int code) noexcept {
  for (const auto& [entry, text] : kMessages)
    if (entry == code) return text;
  return {};
}

}  // namespace KQCommon_850
