// Export of a fitted regression or ANOVA as a PMML GeneralRegressionModel document.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "companion/KQCommonCodes.h"
#include "companion/KQFastDesignMatrix.h"
#include "companion/KQModelEffect.h"
#include "companion/KQPMMLExporter.h"
#include "companion/KQPMMLRegrExporter.h"
#include "companion/KQRegSettings.h"
#include "companion/KQSymMatrix.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "regression/detail/MultiRegOutputData.h"

namespace KQBSN_850 {
namespace {

using KQCommon_850::KQStatus;
using KQXML_850::XMLElement;

KQStatus ExportFailed() { return KQStatus(KQCommon_850::KQ_EXPORT_FAILED, false); }

/// The model as the export reads it: the dependent, then the design's factors (with their category
/// counts) and covariates in design order, one effect each.
KQMath_850::KQRegSettings ModelSettings(const BSNMultiRegOutputData& d) {
  KQMath_850::KQRegSettings model;
  const bool anova = d.settings->GetModelType() == BSNConst::ModelTypes::Anova;
  model.SetInterceptUse(!anova && d.design.HasIntercept());
  model.SetDepVar(d.settings->GetDependentVar());
  const int nEffects = d.design.GetNEffects();
  for (int e = 0; e < nEffects; ++e) {
    if (!d.design.IsFactorEffect(e)) continue;
    int first = 0, count = 0;
    d.design.GetParamsForEffect(e, first, count);
    model.AddFactor(d.design.GetEffectVar(e), count);
  }
  for (int e = 0; e < nEffects; ++e)
    if (!d.design.IsFactorEffect(e)) model.AddCovariate(d.design.GetEffectVar(e));
  KQMath_850::KQModelEffect effect;
  for (const auto& [var, nCategories] : model.GetFactors()) {
    effect.AddNewFactor(var, false);
    model.AddEffect(effect);
    effect.Reset();
  }
  for (int var : model.GetCovariates()) {
    effect.AddCovariate(var);
    model.AddEffect(effect);
    effect.Reset();
  }
  return model;
}

/// The category count of a factor in the model; 0 when it is not one of its factors.
int CategoryCount(const KQMath_850::KQRegSettings& model, int var) {
  for (const auto& [factor, nCategories] : model.GetFactors())
    if (factor == var) return nCategories;
  return 0;
}

/// Every active factor and covariate must be in the variable list; a categorical factor must also have
/// the model's categories, told apart by their labels (the document's cells name categories by label).
KQStatus CheckActiveVariables(const KQMath_850::KQPMMLRegrExporter& exporter,
                              const KQMath_850::KQRegSettings& model, const KQCommon_850::KQVarList& vars) {
  for (int var : exporter.GetActiveFactors()) {
    const KQCommon_850::KQVariable* variable = vars.GetVarAt(var);
    if (variable == nullptr) {
      KQStatus status(KQCommon_850::KQ_VARIABLE_NOT_FOUND, false);
      status.SetDiscreteDatum(0, var);
      status.SetDiscreteDatum(1, 0);
      return status;
    }
    const KQCommon_850::KQCategVar* categorical = vars.GetCategVarAt(var);
    if (categorical != nullptr && !categorical->HasDistinctCategories(CategoryCount(model, var)))
      return KQStatus(KQCommon_850::KQ_VARIABLE_NOT_FOUND, false);
  }
  for (int var : exporter.GetActiveCovariates()) {
    if (vars.GetVarAt(var) != nullptr) continue;
    KQStatus status(KQCommon_850::KQ_VARIABLE_NOT_FOUND, false);
    status.SetDiscreteDatum(0, var);
    status.SetDiscreteDatum(1, 1);
    return status;
  }
  return {};
}

void AppendIfAny(XMLElement& parent, std::unique_ptr<XMLElement> child) {
  if (child) parent.AppendChild(std::move(child));
}

}  // namespace

KQStatus BSNMultiRegOutputStats::ExportPMML(const KQCommon_850::KQVarList& vars, std::ostream& out,
                                            bool withCovariance,
                                            const KQXML_850::KQApplicInfo4XML* appInfo) const {
  const BSNMultiRegOutputData& d = *data_;
  const KQMath_850::KQRegSettings model = ModelSettings(d);
  const KQMath_850::KQPMMLRegrExporter regrExporter(model, vars, d.parameters, d.scoringCoefficients,
                                                    d.nonRedundant, nullptr);
  const KQMath_850::KQSymMatrix* covariance = withCovariance ? &d.xwxInverse : nullptr;
  if (covariance != nullptr && covariance->Size() != static_cast<int>(d.parameters.size()))
    return ExportFailed();
  if (const KQStatus status = CheckActiveVariables(regrExporter, model, vars); !status.IsOK()) return status;

  KQXML_850::KQPMMLExporter exporter(nullptr);
  std::unique_ptr<XMLElement> root = exporter.ExportPMMLElement();
  if (!root) return ExportFailed();
  if (!exporter.ExportHeader(appInfo, "", true, *root)) return ExportFailed();
  // The data dictionary holds every field the mining schema names: the dependent and the predictors.
  std::vector<int> fields{model.GetDepVar()};
  for (int var : regrExporter.GetActiveFactors()) fields.push_back(var);
  for (int var : regrExporter.GetActiveCovariates()) fields.push_back(var);
  std::unique_ptr<XMLElement> dictionary;
  if (!exporter.ExportDataDictionary(vars, fields, dictionary).IsOK() || !dictionary) return ExportFailed();
  root->AppendChild(std::move(dictionary));

  XMLElement& element = root->AddChild("GeneralRegressionModel");
  element.SetAttribute("modelType", "generalLinear");
  const BSNConst::ModelTypes type = d.settings->GetModelType();
  if (type == BSNConst::ModelTypes::Anova)
    element.SetAttribute("algorithmName", "BayesianAnova");
  else if (type == BSNConst::ModelTypes::Regression)
    element.SetAttribute("algorithmName", "BayesianMultipleRegression");
  element.SetAttribute("functionName", "regression");
  exporter.ExportExtension("modelID", "0", element);
  AppendIfAny(element, regrExporter.ExportMiningSchema(-1, -1, nullptr));
  AppendIfAny(element, regrExporter.ExportParameterList());
  AppendIfAny(element, regrExporter.ExportFactorList());
  AppendIfAny(element, regrExporter.ExportCovariateList());
  AppendIfAny(element, regrExporter.ExportPPMatrix());
  if (covariance != nullptr) AppendIfAny(element, regrExporter.ExportPCovMatrix(*covariance, 0, false, 0));
  AppendIfAny(element, regrExporter.ExportParamMatrix(false, 0));
  return exporter.WriteTree(out, "", *root, true);
}

}  // namespace KQBSN_850
