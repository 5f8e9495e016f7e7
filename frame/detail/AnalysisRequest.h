#pragma once
// What the analysis type asks for: a Bayes factor for every type but Posterior, a posterior for every
// type but Bayes Factor (so Both asks for both, and a number outside the enumeration for both too).

#include "frame/BSNSettings.h"

namespace KQBSN_850::detail {

inline bool WantsBayesFactor(const BSNSettings& settings) noexcept {
  return settings.GetAnalysType() != BSNConst::AnalysTypes::Posterior;
}

inline bool WantsPosterior(const BSNSettings& settings) noexcept {
  return settings.GetAnalysType() != BSNConst::AnalysTypes::BayesFactor;
}

}  // namespace KQBSN_850::detail
