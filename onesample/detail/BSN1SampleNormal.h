#pragma once
// BSN1SampleNormal: the one-sample analysis of normal test variables (the settings' Covariates).
//
// One pass over the records accumulates, per variable, the frequency-weighted count n, mean xbar and
// variance s^2 (each variable over its own non-missing values). Then, as AnalysType asks, the
// one-sample t test of mu = mu0 with a Bayes factor BF01 (BSN1SampleNormBayesFactor), the posterior
// of the mean (BSNNormalInference), or both, Bayes factor first. The result record is a
// BSN1SampleNormOutputStats.
// Input: at least one test variable (else BSN_TOO_FEW_CORR_VARIABLES), none with a negative index (else
// BSN_BAD_PARAMETER, its position as datum 0) and at least one record (else BSN_NO_VALID_CASES). A variable
// with n < 2 gets BSN_FEW_VALID_CASES_NORMAL, a constant one BSN_CONSTANT_FIELDS (its position as datum 0);
// their t, factor and posterior stay missing. A cancellation during the pass ends the build with code 1, one
// noticed between the steps with BSN_CANCELLED; neither leaves a result record. Accuracy:
// tests/onesample/BSN1SampleNormal_test.cpp compares with R's t.test and BayesFactor.

#include <cstddef>
#include <memory>
#include <ostream>
#include <vector>

#include "companion/KQContStats.h"
#include "frame/BSNAlgorithm.h"
#include "onesample/detail/NormalPosteriorLists.h"

namespace KQBSN_850 {

class BSN1SampleNormBayesFactor;
class BSNNormalInference;

class BSN1SampleNormal final : public BSNAlgorithm {
 public:
  BSN1SampleNormal(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSN1SampleNormal() override;

  KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter) override;
  void Display(std::ostream& os) const override;

 private:
  using DoubleList = std::vector<double>;
  friend class BSN1SampleNormOutputStats;  // copies the result lists

  KQCommon_850::KQStatus Initialise();
  KQCommon_850::KQStatus AccumulateStatistics(KQCommon_850::MultiPassRecordIter& iter);
  void SummariseVariable(std::size_t i);
  KQCommon_850::KQStatus RunAnalyses();
  void CopyResults();

  std::vector<KQMath_850::KQContStats> stats_;
  DoubleList means_, stdDevs_, stdErrors_, bayesFactors_, tValues_, dfs_, weights_, sigs_;
  detail::NormalPosteriorLists posterior_;
  std::unique_ptr<BSN1SampleNormBayesFactor> bayesFactor_;
  std::unique_ptr<BSNNormalInference> inference_;
};

}  // namespace KQBSN_850
