#pragma once
// The data set and the build helper shared by the one-sample normal tests. Reference values for this
// data come from tests/reference/normal_onesample.R (output in normal_onesample.out).

#include "companion/KQMV.h"
#include "onesample/BSN1SampleNormOutputStats.h"
#include "tests/support/BuiltAnalysis.h"

namespace kqtest {

inline constexpr double kMissing = KQCommon_850::KQMV::Missing();

/// Columns x, y (one missing value) and w (frequency weights 1 2 0.4 1.5 missing 3 1 0.6 1 1, which
/// round to 1 2 0 2 0 3 1 1 1 1).
inline Rows NormalData() {
  const std::vector<std::vector<double>> rows = {
      {5.1, 1.2, 1.0}, {4.9, -0.4, 2.0}, {6.2, 2.3, 0.4}, {5.8, kMissing, 1.5}, {6.0, 0.8, kMissing},
      {5.5, 1.9, 3.0}, {5.3, -1.1, 1.0}, {6.8, 0.5, 0.6}, {4.7, 3.1, 1.0},      {5.9, 1.4, 1.0}};
  return Rows(rows.begin(), rows.end());
}

/// One-sample normal settings testing x against 5 and y against 0.
inline KQBSN_850::BSNSettings NormalSettings(KQBSN_850::BSNConst::AnalysTypes type) {
  KQBSN_850::BSNSettings settings;
  settings.SetModelType(KQBSN_850::BSNConst::ModelTypes::OneSample, true);
  settings.SetTestDistType(KQBSN_850::BSNConst::DistTypes::Normal);
  settings.SetCovariates({0, 1});
  settings.SetNullValues({5.0, 0.0});
  settings.SetAnalysType(type);
  return settings;
}

/// A one-sample normal analysis built over rows.
using NormalRun = BuiltAnalysis<KQBSN_850::BSN1SampleNormOutputStats>;

}  // namespace kqtest
