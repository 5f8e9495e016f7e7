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
#include <vector>

#include "onesample/detail/BSN1SamplePoisnBayesFactor.h"
#include "onesample/detail/BSN1SamplePoisnPosterior.h"
#include "onesample/detail/CountAnalysisDriver.h"

namespace KQBSN_850 {

class BSN1SamplePoisson final
    : public detail::CountAnalysisDriver<BSN1SamplePoisnBayesFactor, BSN1SamplePoisnPosterior> {
 public:
  /// Makes the Bayes-factor calculator for the types Bayes Factor and Both, the posterior one otherwise.
  BSN1SamplePoisson(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSN1SamplePoisson() override;

  /// Prints the current results of the calculators.
  void Display(std::ostream& os) const override;

 private:
  std::unique_ptr<BSN1SamplePoisnBayesFactor> MakeBayesFactor() override;
  std::unique_ptr<BSN1SamplePoisnPosterior> MakePosterior(
      const std::vector<detail::CountSums>* sums) override;
  std::unique_ptr<BSNOutputStats> MakeOutputStats() override;
};

}  // namespace KQBSN_850
