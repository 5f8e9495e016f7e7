#pragma once
// BSN1SampleBinomial: the one-sample binomial analysis. For every test variable of the settings'
// Factors it treats the case values as numbers of successes and computes, as the analysis type asks,
// the Bayes factor BF01 of two Beta priors on the success proportion (BSN1SampleBinoBayesFactor), the
// conjugate Beta posterior with its summaries and plot curves (BSN1SampleBinoPosterior), or both from
// one pass over the records. A successful build leaves a BSN1SampleBinoOutputStats.
// Input: settings for the binomial one-sample model. Otherwise: an iterator without records, or no
// variable with a weighted count of at least 1, is the error BSN_NO_VALID_CASES; the calculators' errors
// end the build; their warnings are listed and the record is still made. A cancellation noticed after
// the computation is the error BSN_STATUS_CANCELLED.
// Accuracy: tests/onesample/BSN1SampleBinomial_test.cpp runs the analysis through BSNComponent.

#include <memory>
#include <ostream>

#include "onesample/detail/BSN1SampleBinoBayesFactor.h"
#include "onesample/detail/BSN1SampleBinoPosterior.h"
#include "onesample/detail/OneSampleCounts.h"

namespace KQBSN_850 {

class BSN1SampleBinomial final : public detail::OneSampleCountAnalysis {
 public:
  /// Makes the Bayes-factor calculator for the types Bayes Factor and Both, the posterior one otherwise.
  BSN1SampleBinomial(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSN1SampleBinomial() override;

  /// Prints the current results of the calculators.
  void Display(std::ostream& os) const override;

  /// The Bayes-factor calculator; null unless the analysis type asks for Bayes factors.
  const BSN1SampleBinoBayesFactor* GetBayesFactorCalculator() const noexcept { return bayesFactor_.get(); }
  /// The posterior calculator; null for the type Bayes Factor, and for Both until the build makes it.
  const BSN1SampleBinoPosterior* GetPosteriorCalculator() const noexcept { return posterior_.get(); }

 private:
  KQCommon_850::KQStatus RunBayesFactor(KQCommon_850::MultiPassRecordIter& iter) override;
  KQCommon_850::KQStatus RunPosteriorOnBayesFactorSums() override;
  KQCommon_850::KQStatus RunPosterior(KQCommon_850::MultiPassRecordIter& iter) override;
  std::unique_ptr<BSNOutputStats> MakeOutputStats() override;
  const std::vector<detail::CountSums>* GetCountSums() const noexcept override;

  std::unique_ptr<BSN1SampleBinoBayesFactor> bayesFactor_;
  std::unique_ptr<BSN1SampleBinoPosterior> posterior_;
};

}  // namespace KQBSN_850
