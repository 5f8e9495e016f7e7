#pragma once
// BSN2SampleIndBasicStats: the weighted descriptive statistics of one group of cases for each test
// variable of the independent-samples analysis.
//
// Per variable it keeps the case count n (sum of rounded frequency weights), the total weight W (sum
// of frequency times regression weights), the weighted mean and the weighted sum of squared deviations
// M2, through the common library's stable accumulator. Derived: mean (missing when n = 0), variance
// M2 / (n - 1) (missing when n <= 1; the case count, not W, is the divisor), standard deviation, and
// standard error sqrt(variance / n).
// A missing value leaves that variable alone; an unusable case weight leaves the whole case out.
// Accuracy: tests/twosample/BSN2SampleIndBasicStats_test.cpp checks R's mean/var on repeated rows.

#include <cstddef>
#include <ostream>
#include <span>
#include <vector>

#include "companion/KQContStats.h"
#include "companion/Record.h"
#include "frame/CaseWeights.h"

namespace KQBSN_850 {

class BSN2SampleIndBasicStats {
 public:
  /// Statistics over the test variables `vars` (record positions); the list must outlive the object.
  explicit BSN2SampleIndBasicStats(const std::vector<int>& vars);

  /// Unweighted update with a record; always true.
  bool Update(const KQCommon_850::Record& record);
  /// Weighted update with a record, its frequency weight (rounded here, halves up) and its regression
  /// weight; false (nothing updated) when either weight is missing or not positive after rounding.
  bool Update(const KQCommon_850::Record& record, double frequencyWeight, double regressionWeight);
  /// Weighted update with a record's values and a case weight already decided; false (nothing
  /// updated) when the weight is not usable.
  bool Update(const std::vector<double>& values, const CaseWeight& weight);
  /// Adds a block of rows, row r holding the test variables' values at [r * stride, r * stride +
  /// number of variables), with the rows' frequency weights and case weights (frequency times
  /// regression weight), as the weighted updates would one record at a time (see
  /// KQContStats::UpdateRows for the stride).
  void UpdateRows(std::span<const double> rows, std::size_t stride, std::span<const double> frequencyWeights,
                  std::span<const double> caseWeights);

  std::vector<double> GetNWeightedCases() const;
  std::vector<int> GetNWeightedIntCases() const;
  std::vector<double> GetMeans() const;
  std::vector<double> GetVariances() const;
  std::vector<double> GetStdDevs() const;
  std::vector<double> GetStdErrors() const;
  const std::vector<int>& GetVarIndices() const noexcept { return *vars_; }
  void Display(std::ostream& os) const;

 private:
  template <class Get>
  std::vector<double> Collect(Get get) const;

  const std::vector<int>* vars_;
  std::vector<KQMath_850::KQContStats> stats_;
};

}  // namespace KQBSN_850
