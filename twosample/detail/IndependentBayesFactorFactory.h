#pragma once
// The choice of the independent-samples Bayes-factor variant from the settings.

#include <memory>

#include "companion/KQVarList.h"
#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"
#include "twosample/detail/BSN2SampleIndBayesFactor.h"

namespace KQBSN_850 {

/// The Bayes-factor variant that the settings' RegrCompType names: Hyper gives HyperPriorBayesFactor,
/// Gonen GonenBayesFactor, every other value RouderBayesFactor (which forwards its quadrature's
/// warnings to `warnings`). Every argument must outlive the object.
std::unique_ptr<BSN2SampleIndBayesFactor> CreateIndependentBayesFactor(const BSNSettings& settings,
                                                                       const KQCommon_850::KQVarList& varList,
                                                                       KQCommon_850::KQWarnings& warnings);

}  // namespace KQBSN_850
