#pragma once
// The mtcars records of tests/reference/regression_fit.out and a run of a regression or ANOVA over records,
// shared by the regression, ANOVA, scoring and export tests. Columns: mpg, wt, hp, cyl code (0, 1, 2 for 4,
// 6, 8 cylinders), regression weight w, frequency weight f, carb code (0 .. 5 for 1, 2, 3, 4, 6, 8).

#include <optional>
#include <string>
#include <vector>

#include "companion/KQStatus.h"
#include "companion/KQVarList.h"
#include "companion/Record.h"
#include "frame/BSNComponent.h"
#include "frame/BSNSettings.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "tests/support/Fakes.h"
#include "tests/support/ReferenceTable.h"

namespace kqtest {

using Rows = std::vector<std::optional<std::vector<double>>>;

inline Rows Cars() {
  Rows rows;
  for (const ReferenceRow& row : ReadReferenceTable("regression_fit.out"))
    if (row.label == "car mpg, wt, hp, cyl code, w, f, carb code") rows.push_back(row.values);
  return rows;
}

inline KQCommon_850::KQVarList CarVars() {
  KQCommon_850::KQVarList vars;
  vars.AddContVar("mpg", 10.4, 33.9);
  vars.AddContVar("wt", 1.513, 5.424);
  vars.AddContVar("hp", 52, 335);
  vars.AddCategVar("cyl", 3);
  vars.AddContVar("w", 0.5, 2);
  vars.AddContVar("f", 1, 3);
  vars.AddCategVar("carb", 6);
  return vars;
}

/// mpg on the cyl factor, wt and hp under the reference prior.
inline KQBSN_850::BSNSettings CarSettings(KQBSN_850::BSNConst::AnalysTypes type) {
  using namespace KQBSN_850;
  BSNSettings s;
  s.SetModelType(BSNConst::ModelTypes::Regression, true);
  s.SetDependVar(0);
  s.SetFactors({3});
  s.SetFactorNCategs({3});
  s.SetCovariates({1, 2});
  s.SetAnalysType(type);
  s.SetPriorType(BSNConst::PriorTypes::Reference);
  s.SetRegrCompType(BSNConst::RegrCompute::Siow);
  s.SetTolValue(1e-10);
  return s;
}

/// The model of carb (6 levels) and wt instead: 8 parameters for 2 effects, so design rows take the
/// sparse form.
inline KQBSN_850::BSNSettings WithCarbAndWeight(KQBSN_850::BSNSettings s) {
  s.SetFactors({6});
  s.SetFactorNCategs({6});
  s.SetCovariates({1});
  return s;
}

struct RegrRun {
  RegrRun(const KQBSN_850::BSNSettings& settings, Rows rows, const KQCommon_850::KQVarList& vars = CarVars())
      : component(settings, vars), iter(std::move(rows)) {
    status = component.BuildModel(iter);
  }
  const KQBSN_850::BSNMultiRegOutputStats& Record() const {
    return dynamic_cast<const KQBSN_850::BSNMultiRegOutputStats&>(*component.GetOutputStats());
  }
  /// The codes of the warnings, in order.
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (std::size_t i = 0; i < component.GetWarningMessages().Size(); ++i)
      codes.push_back(component.GetWarningMessages()[i].GetErrorCode());
    return codes;
  }
  KQBSN_850::BSNComponent component;
  VectorRecordIter iter;
  KQCommon_850::KQStatus status;
};

/// A record of given values, for scoring.
class ValuesRecord final : public KQCommon_850::Record {
 public:
  explicit ValuesRecord(std::vector<double> values) : values_(std::move(values)) {}
  double operator[](int var) const override { return values_.at(static_cast<std::size_t>(var)); }
  const std::vector<double>& GetAll() const override { return values_; }

 private:
  std::vector<double> values_;
};

}  // namespace kqtest
