#include "onesample/detail/BSN1SampleBinomial.h"

#include "onesample/BSN1SampleBinoOutputStats.h"

namespace KQBSN_850 {

using KQCommon_850::KQVarList;

BSN1SampleBinomial::BSN1SampleBinomial(const BSNSettings& settings, const KQVarList& varList)
    : CountAnalysisDriver(settings, varList) {
  MakeCalculators();
}

BSN1SampleBinomial::~BSN1SampleBinomial() = default;

std::unique_ptr<BSN1SampleBinoBayesFactor> BSN1SampleBinomial::MakeBayesFactor() {
  return std::make_unique<BSN1SampleBinoBayesFactor>(settings_, warnings_);
}

std::unique_ptr<BSN1SampleBinoPosterior> BSN1SampleBinomial::MakePosterior(
    const std::vector<detail::CountSums>* sums) {
  if (sums == nullptr) return std::make_unique<BSN1SampleBinoPosterior>(settings_, warnings_);
  return std::make_unique<BSN1SampleBinoPosterior>(settings_, warnings_, *sums);
}

std::unique_ptr<BSNOutputStats> BSN1SampleBinomial::MakeOutputStats() {
  return std::make_unique<BSN1SampleBinoOutputStats>(settings_, *this);
}

void BSN1SampleBinomial::Display(std::ostream& os) const {
  detail::DisplayBinomialAnalysis(settings_, *this, os);
}

}  // namespace KQBSN_850
