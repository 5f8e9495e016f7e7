#include "onesample/detail/BSN1SampleBinomial.h"

#include "onesample/BSN1SampleBinoOutputStats.h"

namespace KQBSN_850 {

using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;

BSN1SampleBinomial::BSN1SampleBinomial(const BSNSettings& settings, const KQVarList& varList)
    : OneSampleCountAnalysis(settings, varList) {
  if (WantsBayesFactor())
    bayesFactor_ = std::make_unique<BSN1SampleBinoBayesFactor>(settings_, warnings_);
  else
    posterior_ = std::make_unique<BSN1SampleBinoPosterior>(settings_, warnings_);
}

BSN1SampleBinomial::~BSN1SampleBinomial() = default;

KQStatus BSN1SampleBinomial::RunBayesFactor(MultiPassRecordIter& iter) {
  RecordPass pass = MakeCountPass();
  return bayesFactor_->Compute(pass, iter);
}

KQStatus BSN1SampleBinomial::RunPosteriorOnBayesFactorSums() {
  posterior_ = std::make_unique<BSN1SampleBinoPosterior>(settings_, warnings_, bayesFactor_->GetSums());
  return posterior_->Compute();
}

KQStatus BSN1SampleBinomial::RunPosterior(MultiPassRecordIter& iter) {
  RecordPass pass = MakeCountPass();
  return posterior_->ReadAndCompute(pass, iter);
}

std::unique_ptr<BSNOutputStats> BSN1SampleBinomial::MakeOutputStats() {
  return std::make_unique<BSN1SampleBinoOutputStats>(settings_, *this);
}

void BSN1SampleBinomial::Display(std::ostream& os) const {
  detail::DisplayBinomialAnalysis(settings_, *this, os);
}

const std::vector<detail::CountSums>* BSN1SampleBinomial::GetCountSums() const noexcept {
  if (bayesFactor_ != nullptr) return &bayesFactor_->GetSums();
  return posterior_ != nullptr ? &posterior_->GetSums() : nullptr;
}

}  // namespace KQBSN_850
