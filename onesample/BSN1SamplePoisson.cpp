#include "onesample/detail/BSN1SamplePoisson.h"

#include "onesample/BSN1SamplePoisnOutputStats.h"

namespace KQBSN_850 {

using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;

BSN1SamplePoisson::BSN1SamplePoisson(const BSNSettings& settings, const KQVarList& varList)
    : OneSampleCountAnalysis(settings, varList) {
  if (WantsBayesFactor())
    bayesFactor_ = std::make_unique<BSN1SamplePoisnBayesFactor>(settings_);
  else
    posterior_ = std::make_unique<BSN1SamplePoisnPosterior>(settings_);
}

BSN1SamplePoisson::~BSN1SamplePoisson() = default;

KQStatus BSN1SamplePoisson::RunBayesFactor(MultiPassRecordIter& iter) {
  RecordPass pass = MakeCountPass();
  return bayesFactor_->Compute(pass, iter);
}

KQStatus BSN1SamplePoisson::RunPosteriorOnBayesFactorSums() {
  posterior_ = std::make_unique<BSN1SamplePoisnPosterior>(settings_, bayesFactor_->GetSums());
  return posterior_->Compute();
}

KQStatus BSN1SamplePoisson::RunPosterior(MultiPassRecordIter& iter) {
  RecordPass pass = MakeCountPass();
  return posterior_->ReadAndCompute(pass, iter);
}

std::unique_ptr<BSNOutputStats> BSN1SamplePoisson::MakeOutputStats() {
  return std::make_unique<BSN1SamplePoisnOutputStats>(settings_, *this);
}

void BSN1SamplePoisson::Display(std::ostream& os) const {
  detail::DisplayPoissonAnalysis(settings_, *this, os);
}

const std::vector<detail::CountSums>* BSN1SamplePoisson::GetCountSums() const noexcept {
  if (bayesFactor_ != nullptr) return &bayesFactor_->GetSums();
  return posterior_ != nullptr ? &posterior_->GetSums() : nullptr;
}

}  // namespace KQBSN_850
