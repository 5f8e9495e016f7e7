#pragma once
// CountAnalysisDriver: the steps of OneSampleCountAnalysis written once for a pair of calculators.
// BayesFactor reads the records (Compute(pass, iter)) and keeps its sums (GetSums()); Posterior reads
// them itself (ReadAndCompute(pass, iter)) or takes the Bayes-factor sums, and computes (Compute()).
// An analysis says only how it makes its two calculators and its result record.

#include <memory>
#include <vector>

#include "onesample/detail/OneSampleCounts.h"

namespace KQBSN_850::detail {

template <class BayesFactor, class Posterior>
class CountAnalysisDriver : public OneSampleCountAnalysis {
 public:
  /// The Bayes-factor calculator; null unless the analysis type asks for Bayes factors.
  const BayesFactor* GetBayesFactorCalculator() const noexcept { return bayesFactor_.get(); }
  /// The posterior calculator; null for the type Bayes Factor, and for Both until the build makes it.
  const Posterior* GetPosteriorCalculator() const noexcept { return posterior_.get(); }

 protected:
  using OneSampleCountAnalysis::OneSampleCountAnalysis;

  /// Makes the Bayes-factor calculator for the types that ask for one, the posterior one otherwise;
  /// the analysis' constructor calls it, once its own members are set.
  void MakeCalculators() {
    if (WantsBayesFactor())
      bayesFactor_ = MakeBayesFactor();
    else
      posterior_ = MakePosterior(nullptr);
  }
  virtual std::unique_ptr<BayesFactor> MakeBayesFactor() = 0;
  /// A posterior calculator over the given sums, or one that reads the records (null).
  virtual std::unique_ptr<Posterior> MakePosterior(const std::vector<CountSums>* sums) = 0;

 private:
  KQCommon_850::KQStatus RunBayesFactor(KQCommon_850::MultiPassRecordIter& iter) final {
    RecordPass pass = MakeCountPass();
    return bayesFactor_->Compute(pass, iter);
  }
  KQCommon_850::KQStatus RunPosteriorOnBayesFactorSums() final {
    posterior_ = MakePosterior(&bayesFactor_->GetSums());
    return posterior_->Compute();
  }
  KQCommon_850::KQStatus RunPosterior(KQCommon_850::MultiPassRecordIter& iter) final {
    RecordPass pass = MakeCountPass();
    return posterior_->ReadAndCompute(pass, iter);
  }
  const std::vector<CountSums>* GetCountSums() const noexcept final {
    if (bayesFactor_ != nullptr) return &bayesFactor_->GetSums();
    return posterior_ != nullptr ? &posterior_->GetSums() : nullptr;
  }

  std::unique_ptr<BayesFactor> bayesFactor_;
  std::unique_ptr<Posterior> posterior_;
};

}  // namespace KQBSN_850::detail
