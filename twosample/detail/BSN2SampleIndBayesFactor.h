#pragma once
// BSN2SampleIndBayesFactor: the classical two-sample statistics of every test variable of the
// independent-samples analysis and one Bayes factor BF01 (equal means over different means) per variable.
//
// With N1, N2 the case counts, M1, M2 the means and V1, V2 the variances of groups 1 and 2:
//   effective size h = N1 N2 / (N1 + N2), degrees of freedom nu = N1 + N2 - 2, difference d = M2 - M1;
//   pooled variance s^2 = ((N1 - 1) V1 + (N2 - 1) V2) / nu, standard error se = s sqrt(1/N1 + 1/N2),
//   t = d / se with two-sided significance 2 P(T_nu > |t|);
//   unpooled (Welch) standard error sqrt(V1/N1 + V2/N2), its t and the significance on the
//   Welch-Satterthwaite degrees of freedom (shown by Display only).
// The variant (RouderBayesFactor, GonenBayesFactor, HyperPriorBayesFactor) turns (h, nu, t) into BF01.
// Input: the two groups' statistics. A variable with an empty group or with two cases or fewer in all
// keeps missing entries without a warning (the analysis has warned already); one whose pooled standard
// deviation is 0 gets BSN_ZERO_POOLED_SD (datum 0 = its position) and no t, significance or factor.
// A group of one case has no variance: it weighs nothing in the pooled variance, and the unpooled
// statistics are then missing. Nothing here returns an error.
// Accuracy: tests/twosample/BSN2SampleIndBayesFactor_test.cpp compares with R's t.test (pooled and
// Welch) and each factor with R (tests/reference/independent_twosample.R).

#include <cstddef>
#include <memory>
#include <ostream>
#include <vector>

#include "companion/KQStatus.h"
#include "companion/KQVarList.h"
#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"
#include "frame/detail/FactorStore.h"
#include "twosample/BSN2SampleIndBasicStats.h"

namespace KQBSN_850 {

class BSN2SampleIndBayesFactor {
 public:
  using DoubleList = std::vector<double>;

  /// Keeps references to the settings and the variable list, which must outlive the object.
  BSN2SampleIndBayesFactor(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  BSN2SampleIndBayesFactor(const BSN2SampleIndBayesFactor&) = delete;
  BSN2SampleIndBayesFactor& operator=(const BSN2SampleIndBayesFactor&) = delete;
  virtual ~BSN2SampleIndBayesFactor() = default;

  /// Computes the classical statistics of every variable (zero pooled deviations warned in
  /// `warnings`), then the variant's factors; returns the status of the factors.
  KQCommon_850::KQStatus ComputeStatistics(const BSN2SampleIndBasicStats& group1,
                                           const BSN2SampleIndBasicStats& group2,
                                           KQCommon_850::KQWarnings& warnings);
  /// Sets the factor of every variable that has a pooled t; every variant answers OK.
  virtual KQCommon_850::KQStatus ComputeBayesFactors(KQCommon_850::KQWarnings& warnings) = 0;
  virtual void Display(std::ostream& os) const;

  const DoubleList& GetEffectiveSizes() const noexcept { return effectiveSizes_; }
  /// Pooled degrees of freedom N1 + N2 - 2.
  const DoubleList& GetDFs() const noexcept { return dfs_; }
  /// Group 2 mean minus group 1 mean.
  const DoubleList& GetMeanDiffs() const noexcept { return meanDiffs_; }
  const DoubleList& GetPooledVariances() const noexcept { return pooledVariances_; }
  const DoubleList& GetPooledStdDevs() const noexcept { return pooledStdDevs_; }
  /// Pooled standard error of the difference.
  const DoubleList& GetPooledStdErrors() const noexcept { return pooledStdErrors_; }
  const DoubleList& GetUnpooledStdErrors() const noexcept { return unpooledStdErrors_; }
  /// Pooled-variance t statistics.
  const DoubleList& GetTValues() const noexcept { return tValues_; }
  const DoubleList& GetUnpooledTValues() const noexcept { return unpooledTValues_; }
  /// Two-sided significances of the pooled t.
  const DoubleList& GetSigs() const noexcept { return sigs_; }
  const DoubleList& GetUnpooledSigs() const noexcept { return unpooledSigs_; }
  /// BF01 per variable.
  const DoubleList& GetBayesFactors() const noexcept { return bayesFactors_; }

 protected:
  /// Sets the factor of every variable with a pooled t to exp(logBf01(h, nu, t)); a factor beyond the
  /// range of doubles is left missing with a warning, as the record holds factors only.
  template <class LogFactor>
  void FillBayesFactors(LogFactor&& logBf01, KQCommon_850::KQWarnings& warnings) {
    for (std::size_t i = 0; i < tValues_.size(); ++i) {
      if (HasPooledT(i))
        detail::StoreFactorWithoutLog(logBf01(effectiveSizes_[i], dfs_[i], tValues_[i]), i, bayesFactors_[i],
                                      warnings);
    }
  }

  const BSNSettings& settings_;
  const KQCommon_850::KQVarList& varList_;

 private:
  /// One group's case count, mean and variance for one variable.
  struct Moments {
    double n, mean, variance, stdDev;
  };
  bool HasPooledT(std::size_t i) const noexcept;
  void ComputeVariable(std::size_t i, const Moments& group1, const Moments& group2,
                       KQCommon_850::KQWarnings& warnings);

  DoubleList effectiveSizes_, dfs_, meanDiffs_, pooledVariances_, pooledStdDevs_, pooledStdErrors_;
  DoubleList unpooledStdErrors_, tValues_, unpooledTValues_, sigs_, unpooledSigs_, bayesFactors_;
};

}  // namespace KQBSN_850
