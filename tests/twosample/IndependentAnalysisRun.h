#pragma once
// Data and the build helper of the independent-samples tests. Reference values for these data come
// from tests/reference/independent_twosample.R (output in independent_twosample.out).

#include <string>
#include <vector>

#include "companion/KQMV.h"
#include "tests/support/BuiltAnalysis.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"
#include "twosample/BSN2SampleIndOutputStats.h"

namespace kqtest {

inline constexpr double kMissing = KQCommon_850::KQMV::Missing();

/// Every row of tests/reference/<file> with this label, in file order (a label repeats per data set).
inline std::vector<std::vector<double>> ReferenceRows(const std::string& file, const std::string& label) {
  std::vector<std::vector<double>> found;
  for (const ReferenceRow& row : ReadReferenceTable(file))
    if (row.label == label) found.push_back(row.values);
  return found;
}

/// Element by element, each difference reported with its position.
inline void ExpectAllNear(const std::vector<double>& actual, const std::vector<double>& expected,
                          double relTol) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t k = 0; k < actual.size(); ++k) EXPECT_NEAR_REL(actual[k], expected[k], relTol) << k;
}

/// R's mtcars columns mpg, wt and am (0 automatic: group 1; 1 manual: group 2), then three cars whose
/// grouping values 2, 0.5 and missing put them in neither group.
inline std::vector<std::vector<double>> MtcarsRows() {
  return {{21.0, 2.620, 1}, {21.0, 2.875, 1}, {22.8, 2.320, 1}, {21.4, 3.215, 0},  {18.7, 3.440, 0},
          {18.1, 3.460, 0}, {14.3, 3.570, 0}, {24.4, 3.190, 0}, {22.8, 3.150, 0},  {19.2, 3.440, 0},
          {17.8, 3.440, 0}, {16.4, 4.070, 0}, {17.3, 3.730, 0}, {15.2, 3.780, 0},  {10.4, 5.250, 0},
          {10.4, 5.424, 0}, {14.7, 5.345, 0}, {32.4, 2.200, 1}, {30.4, 1.615, 1},  {33.9, 1.835, 1},
          {21.5, 2.465, 0}, {15.5, 3.520, 0}, {15.2, 3.435, 0}, {13.3, 3.840, 0},  {19.2, 3.845, 0},
          {27.3, 1.935, 1}, {26.0, 2.140, 1}, {30.4, 1.513, 1}, {15.8, 3.170, 1},  {19.7, 2.770, 1},
          {15.0, 3.570, 1}, {21.4, 2.780, 1}, {99.0, 9.0, 2.0}, {-50.0, 0.1, 0.5}, {70.0, 7.0, kMissing}};
}

/// R's sleep as two independent groups: columns extra and group (0 for R's group 1, 1 for group 2).
inline std::vector<std::vector<double>> SleepRows() {
  const std::vector<double> extra = {0.7, -1.6, -0.2, -1.2, -0.1, 3.4, 3.7, 0.8, 0.0, 2.0,
                                     1.9, 0.8,  1.1,  0.1,  -0.1, 4.4, 5.5, 1.6, 4.6, 3.4};
  std::vector<std::vector<double>> rows;
  for (std::size_t i = 0; i < extra.size(); ++i) rows.push_back({extra[i], i < 10 ? 0.0 : 1.0});
  return rows;
}

/// Independent-samples settings; a negative grouping variable is refused and leaves none.
inline KQBSN_850::BSNSettings IndependentSettings(KQBSN_850::BSNConst::AnalysTypes type,
                                                  std::vector<int> covariates, int groupVar) {
  KQBSN_850::BSNSettings settings;
  settings.SetModelType(KQBSN_850::BSNConst::ModelTypes::Independent, true);
  settings.SetCovariates(covariates);
  settings.SetGroupVar(groupVar);
  settings.SetAnalysType(type);
  return settings;
}

/// An independent-samples analysis built over rows.
struct IndependentRun : BuiltAnalysis<KQBSN_850::BSN2SampleIndOutputStats> {
  IndependentRun(const KQBSN_850::BSNSettings& settings, const std::vector<std::vector<double>>& rows)
      : BuiltAnalysis(settings, Rows(rows.begin(), rows.end())) {}
};

}  // namespace kqtest
