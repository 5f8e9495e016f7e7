#include "cli/FactorSummary.h"

#include <cmath>

#include "cli/Evidence.h"
#include "companion/KQMV.h"

namespace kqcli {
namespace {

// A factor that over- or underflows the double range is null, never 0 or infinity.
Json InRange(double factor) {
  return factor > 0.0 && std::isfinite(factor) ? JsonNumber(factor) : Json(nullptr);
}

}  // namespace

Json FactorsToJson(const RecordView& view) {
  Json list = Json::array();
  const Field* factors = view.Find(view.factorKey);
  if (factors == nullptr) return list;
  const std::vector<std::string> rows = FactorRows(view);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Json& value = Entry(factors->value, i);
    const double factor = value.is_number() ? value.get<double>() : KQCommon_850::KQMV::Missing();
    const bool isLog = IsLogFactor(view, i);
    // ln of the stored factor; a stored factor of 0 or infinity (outside the range without its
    // logarithm) or a missing one has none.
    double logStored = KQCommon_850::KQMV::Missing();
    if (isLog && std::isfinite(factor) && !KQCommon_850::KQMV::IsMissing(factor))
      logStored = factor;
    else if (!isLog && factor > 0.0 && std::isfinite(factor))
      logStored = std::log(factor);
    const bool known = !KQCommon_850::KQMV::IsMissing(logStored);
    const double logBf10 = known ? (view.factorFavoursNull ? -logStored : logStored) : 0.0;
    const auto [null, alternative] = NamedHypotheses(view, i);
    Json entry = Json::object();
    entry["label"] = rows[i];
    entry["BF01"] = known ? InRange(std::exp(-logBf10)) : Json(nullptr);
    entry["BF10"] = known ? InRange(std::exp(logBf10)) : Json(nullptr);
    entry["log_BF10"] = known ? JsonNumber(logBf10) : Json(nullptr);
    entry["verdict"] = known ? Json(EvidenceWording(logBf10, alternative, null)) : Json(nullptr);
    list.push_back(std::move(entry));
  }
  return list;
}

}  // namespace kqcli
