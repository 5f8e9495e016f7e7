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

/// R's mtcars columns mpg, wt and am (0 automatic: group 1; 1 manual: group 2), from mtcars_mpg_wt_am.out,
/// then three cars whose grouping values 2, 0.5 and missing put them in neither group.
inline std::vector<std::vector<double>> MtcarsRows() {
  std::vector<std::vector<double>> rows;
  for (const ReferenceRow& row : ReadReferenceTable("mtcars_mpg_wt_am.out")) rows.push_back(row.values);
  rows.insert(rows.end(), {{99.0, 9.0, 2.0}, {-50.0, 0.1, 0.5}, {70.0, 7.0, kMissing}});
  return rows;
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
