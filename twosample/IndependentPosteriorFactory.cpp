#include "twosample/detail/IndependentPosteriorFactory.h"

#include <vector>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "twosample/detail/DiffuseInverseChiPriorsEqualVariances.h"
#include "twosample/detail/DiffuseJeffreysPriorsEqualVariances.h"
#include "twosample/detail/DiffusePriorsKnownVariances.h"
#include "twosample/detail/DiffusePriorsUnequalVariances.h"
#include "twosample/detail/NormalPriorsKnownVariances.h"

namespace KQBSN_850 {

using BSNConst::DistTypes;
using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

std::unique_ptr<BSN2SampleIndPosterior> CreateIndependentPosterior(const BSNSettings& settings,
                                                                   const KQCommon_850::KQVarList& varList,
                                                                   KQCommon_850::KQCancelInfo& cancel,
                                                                   KQStatus& status) {
  status = KQStatus();
  if (settings.GetPriorType() != BSNConst::PriorTypes::Conjugate) {
    status = KQStatus(BSN_PRIOR_NOT_SUPPORTED, false);
    return nullptr;
  }
  const std::vector<double>& knownVariances = settings.GetDataVarVals();
  const auto isPositive = [](double v) { return !KQMV::IsMissingOrNaN(v) && v > 0.0; };
  const bool varianceKnown =
      knownVariances.size() == 2 && isPositive(knownVariances[0]) && isPositive(knownVariances[1]);
  const bool normalMeanPriors = settings.GetMeanDistType() == DistTypes::Normal;
  if (varianceKnown) {
    if (normalMeanPriors) return std::make_unique<NormalPriorsKnownVariances>(settings, varList, cancel);
    return std::make_unique<DiffusePriorsKnownVariances>(settings, varList, cancel);
  }
  if (normalMeanPriors) {
    status = KQStatus(BSN_MISSING_KNOWN_VARIANCES, false);
    return nullptr;
  }
  if (!settings.GetEqualDataVar()) {
    if (settings.GetPriorDistType() != DistTypes::Diffuse)
      status = KQStatus(BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY, true);
    return std::make_unique<DiffusePriorsUnequalVariances>(settings, varList, cancel);
  }
  if (settings.GetPriorDistType() == DistTypes::InverseChiSquare) {
    return std::make_unique<DiffuseInverseChiPriorsEqualVariances>(settings, varList, cancel);
  }
  return std::make_unique<DiffuseJeffreysPriorsEqualVariances>(settings, varList, cancel);
}

}  // namespace KQBSN_850
