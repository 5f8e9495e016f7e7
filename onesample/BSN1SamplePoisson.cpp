#include "onesample/detail/BSN1SamplePoisson.h"

#include "onesample/BSN1SamplePoisnOutputStats.h"

namespace KQBSN_850 {

using KQCommon_850::KQVarList;

BSN1SamplePoisson::BSN1SamplePoisson(const BSNSettings& settings, const KQVarList& varList)
    : CountAnalysisDriver(settings, varList) {
  MakeCalculators();
}

BSN1SamplePoisson::~BSN1SamplePoisson() = default;

std::unique_ptr<BSN1SamplePoisnBayesFactor> BSN1SamplePoisson::MakeBayesFactor() {
  return std::make_unique<BSN1SamplePoisnBayesFactor>(settings_);
}

std::unique_ptr<BSN1SamplePoisnPosterior> BSN1SamplePoisson::MakePosterior(
    const std::vector<detail::CountSums>* sums) {
  if (sums == nullptr) return std::make_unique<BSN1SamplePoisnPosterior>(settings_);
  return std::make_unique<BSN1SamplePoisnPosterior>(settings_, *sums);
}

std::unique_ptr<BSNOutputStats> BSN1SamplePoisson::MakeOutputStats() {
  return std::make_unique<BSN1SamplePoisnOutputStats>(settings_, *this);
}

void BSN1SamplePoisson::Display(std::ostream& os) const {
  detail::DisplayPoissonAnalysis(settings_, *this, os);
}

}  // namespace KQBSN_850
