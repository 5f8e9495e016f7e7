#pragma once
// The choice of the independent-samples posterior variant from the settings.

#include <memory>

#include "companion/KQCancel.h"
#include "companion/KQStatus.h"
#include "companion/KQVarList.h"
#include "frame/BSNSettings.h"
#include "twosample/detail/BSN2SampleIndPosterior.h"

namespace KQBSN_850 {

/// The posterior variant that the settings ask for (prior type, known variances, mean and variance
/// priors, equal variances). `status` receives BSN_PRIOR_NOT_SUPPORTED or BSN_MISSING_KNOWN_VARIANCES
/// (errors, and then the result is null), the warning BSN_UNEQUAL_VARIANCES_DIFFUSE_ONLY, or OK.
std::unique_ptr<BSN2SampleIndPosterior> CreateIndependentPosterior(const BSNSettings& settings,
                                                                   const KQCommon_850::KQVarList& varList,
                                                                   KQCommon_850::KQCancelInfo& cancel,
                                                                   KQCommon_850::KQStatus& status);

}  // namespace KQBSN_850
