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
#include <vector>

#include "onesample/detail/BSN1SampleBinoBayesFactor.h"
#include "onesample/detail/BSN1SampleBinoPosterior.h"
#include "onesample/detail/CountAnalysisDriver.h"

namespace KQBSN_850 {

class BSN1SampleBinomial final
    : public detail::CountAnalysisDriver<BSN1SampleBinoBayesFactor, BSN1SampleBinoPosterior> {
 public:
  /// Makes the Bayes-factor calculator for the types Bayes Factor and Both, the posterior one otherwise.
  BSN1SampleBinomial(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSN1SampleBinomial() override;

  /// Prints the current results of the calculators.
  void Display(std::ostream& os) const override;

 private:
  std::unique_ptr<BSN1SampleBinoBayesFactor> MakeBayesFactor() override;
  std::unique_ptr<BSN1SampleBinoPosterior> MakePosterior(const std::vector<detail::CountSums>* sums) override;
  std::unique_ptr<BSNOutputStats> MakeOutputStats() override;
};

}  // namespace KQBSN_850
