#pragma once
// BSN2SampleIndependent: the analysis of two independent samples. For each test variable (the
// settings' Covariates) it compares the mean of group 2 (cases whose grouping value is exactly 1) with
// that of group 1 (grouping value exactly 0); every other grouping value, missing included, leaves the
// case out.
//
// One pass over the records accumulates each group's weighted counts, means and variances
// (BSN2SampleIndBasicStats). Then, as AnalysType asks, the pooled t test with a Bayes factor BF01 of the
// variant RegrCompType names (BSN2SampleIndBayesFactor), the posterior of the difference of the means
// (BSN2SampleIndPosterior), or both. The result record is a BSN2SampleIndOutputStats.
// Case weights: the frequency weight rounds to the nearest whole number (halves up); a case whose
// rounded frequency weight or regression weight is missing or not positive is left out of both groups.
// Input: a grouping variable (else BSN_NO_GROUP_VARIABLE) and at least one test variable (else
// BSN_NO_COVARIATES), both checked before any record is read. A test variable with two cases or fewer
// in the two groups together gives one BSN_FEW_VALID_CASES_INDEPENDENT and the build goes on; posterior
// settings the analysis cannot serve are the posterior's errors (BSN_PRIOR_NOT_SUPPORTED,
// BSN_MISSING_KNOWN_VARIANCES), raised before any factor is computed. A cancellation, asked before
// each record and between the steps, ends the build with code 1. No error leaves a result record.
// Accuracy: tests/twosample/BSN2SampleIndependent_test.cpp compares with R's t.test and BayesFactor.

#include <memory>
#include <ostream>

#include "frame/BSNAlgorithm.h"
#include "twosample/BSN2SampleIndBasicStats.h"

namespace KQBSN_850 {

class BSN2SampleIndBayesFactor;
class BSN2SampleIndPosterior;

class BSN2SampleIndependent final : public BSNAlgorithm {
 public:
  BSN2SampleIndependent(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSN2SampleIndependent() override;

  KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter) override;
  void Display(std::ostream& os) const override;

  /// Statistics of the cases with grouping value 0.
  const BSN2SampleIndBasicStats& GetBasicStatsGroup1() const noexcept { return group1_; }
  /// Statistics of the cases with grouping value 1.
  const BSN2SampleIndBasicStats& GetBasicStatsGroup2() const noexcept { return group2_; }
  /// The t tests and factors; null unless a Bayes factor was asked for.
  const BSN2SampleIndBayesFactor* GetBayesFactor() const noexcept { return bayesFactor_.get(); }
  /// The posteriors; null unless a posterior was asked for.
  const BSN2SampleIndPosterior* GetPosterior() const noexcept { return posterior_.get(); }

 private:
  /// The pass over the records; also checks the grouping and test variables.
  KQCommon_850::KQStatus ComputeBasicStats(KQCommon_850::MultiPassRecordIter& iter);
  /// Creates the Bayes-factor and posterior objects the analysis type asks for.
  KQCommon_850::KQStatus CreateCalculators();

  /// Both passes read the frequency and regression weights, skip null records, and count every record
  /// toward progress, whatever its group or weight.
  static constexpr PassOptions kPassOptions{.nullRecordEndsPass = false,
                                            .weights = WeightRule::FrequencyAndRegression,
                                            .progress = ProgressCount::EveryRecord};

  BSN2SampleIndBasicStats group1_;
  BSN2SampleIndBasicStats group2_;
  std::unique_ptr<BSN2SampleIndBayesFactor> bayesFactor_;
  std::unique_ptr<BSN2SampleIndPosterior> posterior_;
};

}  // namespace KQBSN_850
