#pragma once
// BSN1SampleNormBayesFactor: the t statistics, two-sided significances and Bayes factors BF01 of the
// one-sample normal analysis, one per test variable, from the variables' accumulators and standard
// errors.
//
// t = (xbar - mu0) / (s / sqrt(n)), mu0 the variable's entry of NullValues (0 when the list is empty
// or the entry missing), for variables with n >= 2 and a non-zero standard error. The factor of each
// variable with a t: the known-variance factor when DataVarVals has one entry per variable and the
// variable's entry is present; otherwise the one EstBFType names (JZS, or Simple: the fixed-g factor),
// none for Fraction and Custom (see NormalMeanFactors.h for the formulas).
// Input: NullValues empty or of at least V entries and, where used, AlterGValues of V entries (at
// least V for Simple); otherwise Compute stops with BSN_BAD_PARAMETER. A cancellation noticed before
// a factor stops it with BSN_CANCELLED. Factors that cannot be computed stay missing without warning.
// Accuracy: tests/onesample/BSN1SampleNormBayesFactor_test.cpp.

#include <cstddef>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQContStats.h"
#include "companion/KQStatus.h"
#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {

class BSN1SampleNormBayesFactor {
 public:
  using DoubleList = std::vector<double>;

  /// Every argument is the owning analysis' and must outlive this object; warnings receive the
  /// quadrature's warnings and cancel is polled before each factor.
  BSN1SampleNormBayesFactor(const BSNSettings& settings, const std::vector<KQMath_850::KQContStats>& stats,
                            const DoubleList& stdErrors, KQCommon_850::KQWarnings& warnings,
                            KQCommon_850::KQCancelInfo& cancel);

  /// Computes the t values, significances and factors; returns (and keeps) the status.
  KQCommon_850::KQStatus Compute();
  KQCommon_850::KQStatus GetStatus() const { return status_; }

  const DoubleList& GetBayesFactors() const noexcept { return bayesFactors_; }
  const DoubleList& GetTValues() const noexcept { return tValues_; }
  const DoubleList& GetSigs() const noexcept { return sigs_; }

 private:
  double TestValue(std::size_t i) const;

  const BSNSettings& settings_;
  const std::vector<KQMath_850::KQContStats>& stats_;
  const DoubleList& stdErrors_;
  KQCommon_850::KQWarnings& warnings_;
  KQCommon_850::KQCancelInfo& cancel_;
  DoubleList bayesFactors_;
  DoubleList tValues_;
  DoubleList sigs_;
  KQCommon_850::KQStatus status_;
};

}  // namespace KQBSN_850
