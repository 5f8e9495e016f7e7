#pragma once
// Settings, data and checks shared by the one-sample tests. Reference values for NormalData come from
// tests/reference/normal_onesample.R (output in normal_onesample.out).

#include <numeric>
#include <string>
#include <vector>

#include "companion/KQMV.h"
#include "onesample/BSN1SampleNormOutputStats.h"
#include "tests/support/BuiltAnalysis.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/ReferenceTable.h"

namespace kqtest {

inline constexpr double kMissing = KQCommon_850::KQMV::Missing();

/// One-sample settings on variables 0 .. nVars - 1: factors for the binomial, covariates otherwise.
inline KQBSN_850::BSNSettings OneSampleSettings(KQBSN_850::BSNConst::DistTypes dist,
                                                KQBSN_850::BSNConst::AnalysTypes type, int nVars) {
  KQBSN_850::BSNSettings settings;
  settings.SetModelType(KQBSN_850::BSNConst::ModelTypes::OneSample, true);
  settings.SetTestDistType(dist);
  settings.SetAnalysType(type);
  std::vector<int> vars(static_cast<std::size_t>(nVars));
  std::iota(vars.begin(), vars.end(), 0);
  dist == KQBSN_850::BSNConst::DistTypes::Binomial ? settings.SetFactors(vars) : settings.SetCovariates(vars);
  return settings;
}

/// Binomial or Poisson settings: alternative priors (1, 1) for every variable, posterior prior (p1, p2).
inline KQBSN_850::BSNSettings ConjugateSettings(KQBSN_850::BSNConst::DistTypes dist,
                                                KQBSN_850::BSNConst::AnalysTypes type, int nVars, double p1,
                                                double p2) {
  KQBSN_850::BSNSettings settings = OneSampleSettings(dist, type, nVars);
  settings.SetAlterPrior1s(std::vector<double>(static_cast<std::size_t>(nVars), 1.0));
  settings.SetAlterPrior2s(std::vector<double>(static_cast<std::size_t>(nVars), 1.0));
  settings.SetPriorParam1(p1);
  settings.SetPriorParam2(p2);
  return settings;
}

/// The numbers of a row of tests/reference/normal_onesample.out.
inline std::vector<double> NormalReference(const std::string& label) {
  static const std::vector<ReferenceRow> rows = ReadReferenceTable("normal_onesample.out");
  return ReferenceValues(rows, label);
}

/// Columns x and y (one missing value).
inline Rows NormalData() {
  return FromColumns({{5.1, 4.9, 6.2, 5.8, 6.0, 5.5, 5.3, 6.8, 4.7, 5.9},
                      {1.2, -0.4, 2.3, kMissing, 0.8, 1.9, -1.1, 0.5, 3.1, 1.4}});
}

/// One-sample normal settings testing x against 5 and y against 0.
inline KQBSN_850::BSNSettings NormalSettings(KQBSN_850::BSNConst::AnalysTypes type) {
  KQBSN_850::BSNSettings settings = OneSampleSettings(KQBSN_850::BSNConst::DistTypes::Normal, type, 2);
  settings.SetNullValues({5.0, 0.0});
  return settings;
}

/// A one-sample normal analysis built over rows.
using NormalRun = BuiltAnalysis<KQBSN_850::BSN1SampleNormOutputStats>;

}  // namespace kqtest
