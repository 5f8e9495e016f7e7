#pragma once
// BSN1SamplePoisson: the one-sample Poisson analysis. For every test variable of the settings'
// Covariates it treats the case values as counts and computes, as the analysis type asks, the Bayes
// factor BF01 of two Gamma priors on the rate (BSN1SamplePoisnBayesFactor), the conjugate Gamma
// posterior with its summaries (BSN1SamplePoisnPosterior), or both from one pass over the records. A
// successful build leaves a BSN1SamplePoisnOutputStats, which computes the plot curves when it is made.
// Input: settings for the Poisson one-sample model. Otherwise: an iterator without records, or no
// variable with a case, is the error BSN_NO_VALID_CASES; the calculators' errors end the build; a
// warning they return is listed and the record is still made. A cancellation noticed after the
// computation is the error BSN_STATUS_CANCELLED.
// Accuracy: tests/onesample/BSN1SamplePoisson_test.cpp runs the analysis through BSNComponent.

#include <memory>
#include <ostream>

#include "onesample/detail/BSN1SamplePoisnBayesFactor.h"
#include "onesample/detail/BSN1SamplePoisnPosterior.h"
#include "onesample/detail/OneSampleCounts.h"

namespace KQBSN_850 {

class BSN1SamplePoisson final : public detail::OneSampleCountAnalysis {
 public:
  /// Makes the Bayes-factor calculator for the types Bayes Factor and Both, the posterior one otherwise.
  BSN1SamplePoisson(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSN1SamplePoisson() override;

  /// Prints the current results of the calculators.
  void Display(std::ostream& os) const override;

  /// The Bayes-factor calculator; null unless the analysis type asks for Bayes factors.
  const BSN1SamplePoisnBayesFactor* GetBayesFactorCalculator() const noexcept { return bayesFactor_.get(); }
  /// The posterior calculator; null for the type Bayes Factor, and for Both until the build makes it.
  const BSN1SamplePoisnPosterior* GetPosteriorCalculator() const noexcept { return posterior_.get(); }

 private:
  KQCommon_850::KQStatus RunBayesFactor(KQCommon_850::MultiPassRecordIter& iter) override;
  KQCommon_850::KQStatus RunPosteriorOnBayesFactorSums() override;
  KQCommon_850::KQStatus RunPosterior(KQCommon_850::MultiPassRecordIter& iter) override;
  std::unique_ptr<BSNOutputStats> MakeOutputStats() override;
  const std::vector<detail::CountSums>* GetCountSums() const noexcept override;

  std::unique_ptr<BSN1SamplePoisnBayesFactor> bayesFactor_;
  std::unique_ptr<BSN1SamplePoisnPosterior> posterior_;
};

}  // namespace KQBSN_850
