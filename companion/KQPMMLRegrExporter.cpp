#include "companion/KQPMMLRegrExporter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "companion/KQMV.h"

namespace KQMath_850 {
namespace {

using KQXML_850::FormatNumber;
using KQXML_850::XMLElement;

void AppendOnce(std::vector<int>& list, int var) {
  if (std::find(list.begin(), list.end(), var) == list.end()) list.push_back(var);
}

std::unique_ptr<XMLElement> PredictorList(const char* name, const std::vector<std::string>& names) {
  if (names.empty()) return nullptr;
  auto list = std::make_unique<XMLElement>(name);
  for (const std::string& predictor : names) list->AddChild("Predictor").SetAttribute("name", predictor);
  return list;
}

}  // namespace

KQPMMLRegrExporter::KQPMMLRegrExporter(const KQRegSettings& settings, const KQCommon_850::KQVarList& vars,
                                       const std::vector<KQRegrParameter>& parameters,
                                       const std::vector<double>& coefficients, const KQBitSet& nonRedundant,
                                       const KQBitSet* exported)
    : settings_(settings),
      vars_(vars),
      parameters_(parameters),
      coefficients_(coefficients),
      nonRedundant_(nonRedundant) {
  if (exported != nullptr) exported_ = *exported;
}

std::string KQPMMLRegrExporter::ParameterName(int i) {
  std::string name(1, 'p');
  name.append(std::to_string(i));
  return name;
}

std::string KQPMMLRegrExporter::VarName(int var) const {
  const KQCommon_850::KQVariable* variable = vars_.GetVarAt(var);
  return variable != nullptr ? variable->GetName() : std::string();
}

std::string KQPMMLRegrExporter::CategoryLabel(int var, int code) const {
  const KQCommon_850::KQCategVar* categorical = vars_.GetCategVarAt(var);
  return categorical != nullptr ? categorical->GetLabel(code) : std::to_string(code);
}

bool KQPMMLRegrExporter::IsWritten(int parameter, bool withRedundant) const {
  if (exported_ && !(parameter < exported_->Size() && exported_->IsIn(parameter))) return false;
  return withRedundant || (parameter < nonRedundant_.Size() && nonRedundant_.IsIn(parameter));
}

std::vector<int> KQPMMLRegrExporter::GetActiveFactors() const {
  std::vector<int> factors;
  for (const auto& [var, nCategories] : settings_.GetFactors()) AppendOnce(factors, var);
  return factors;
}

std::vector<int> KQPMMLRegrExporter::GetActiveCovariates() const {
  std::vector<int> covariates;
  for (int var : settings_.GetCovariates()) AppendOnce(covariates, var);
  return covariates;
}

std::unique_ptr<XMLElement> KQPMMLRegrExporter::ExportMiningSchema(
    int frequencyWeightVar, int analysisWeightVar, const std::vector<double>* importances) const {
  auto schema = std::make_unique<XMLElement>("MiningSchema");
  std::vector<int> active = GetActiveFactors();
  for (int var : GetActiveCovariates()) AppendOnce(active, var);
  const bool withImportance = importances != nullptr && importances->size() == active.size();
  for (std::size_t i = 0; i < active.size(); ++i) {
    XMLElement& field = schema->AddChild("MiningField");
    field.SetAttribute("name", VarName(active[i]));
    field.SetAttribute("usageType", "active");
    if (withImportance) {
      const std::string importance = FormatNumber((*importances)[i]);
      if (!importance.empty()) field.SetAttribute("importance", importance);
    }
  }
  XMLElement& target = schema->AddChild("MiningField");
  target.SetAttribute("name", VarName(settings_.GetDepVar()));
  target.SetAttribute("usageType", "target");
  const auto addWeight = [&](int var, const char* usage) {
    if (var < 0) return;
    XMLElement& field = schema->AddChild("MiningField");
    field.SetAttribute("name", VarName(var));
    field.SetAttribute("usageType", usage);
  };
  addWeight(frequencyWeightVar, "frequencyWeight");
  addWeight(analysisWeightVar, "analysisWeight");
  return schema;
}

std::unique_ptr<XMLElement> KQPMMLRegrExporter::ExportParameterList() const {
  auto list = std::make_unique<XMLElement>("ParameterList");
  for (std::size_t i = 0; i < parameters_.size(); ++i) {
    const KQRegrParameter& parameter = parameters_[i];
    XMLElement& element = list->AddChild("Parameter");
    element.SetAttribute("name", ParameterName(static_cast<int>(i)));
    std::string label = "Intercept";
    if (parameter.IsFactorCategory()) {
      label = VarName(parameter.var);
      label.append(1, '=').append(CategoryLabel(parameter.var, parameter.category));
    } else if (!parameter.IsIntercept())
      label = VarName(parameter.var);
    element.SetAttribute("label", label);
  }
  return list;
}

std::unique_ptr<XMLElement> KQPMMLRegrExporter::ExportFactorList() const {
  std::vector<std::string> names;
  for (int var : GetActiveFactors()) names.push_back(VarName(var));
  return PredictorList("FactorList", names);
}

std::unique_ptr<XMLElement> KQPMMLRegrExporter::ExportCovariateList() const {
  std::vector<std::string> names;
  for (int var : GetActiveCovariates()) names.push_back(VarName(var));
  return PredictorList("CovariateList", names);
}

std::unique_ptr<XMLElement> KQPMMLRegrExporter::ExportPPMatrix() const {
  auto matrix = std::make_unique<XMLElement>("PPMatrix");
  for (std::size_t i = 0; i < parameters_.size(); ++i) {
    const KQRegrParameter& parameter = parameters_[i];
    if (parameter.IsIntercept()) continue;
    XMLElement& cell = matrix->AddChild("PPCell");
    cell.SetAttribute("value",
                      parameter.IsFactorCategory() ? CategoryLabel(parameter.var, parameter.category) : "1");
    cell.SetAttribute("predictorName", VarName(parameter.var));
    cell.SetAttribute("parameterName", ParameterName(static_cast<int>(i)));
  }
  return matrix;
}

std::unique_ptr<XMLElement> KQPMMLRegrExporter::ExportPCovMatrix(const KQSymMatrix& covariance,
                                                                 int covarianceType, bool withRedundant,
                                                                 int digits) const {
  const int n = static_cast<int>(parameters_.size());
  if (covariance.Size() != n) return nullptr;
  auto matrix = std::make_unique<XMLElement>("PCovMatrix");
  matrix->SetAttribute("type", covarianceType == 1 ? "robust" : "model");
  for (int row = 0; row < n; ++row) {
    if (!IsWritten(row, withRedundant)) continue;
    for (int col = 0; col <= row; ++col) {
      if (!IsWritten(col, withRedundant)) continue;
      const std::string value = FormatNumber(covariance(row, col), digits);
      if (value.empty()) continue;
      XMLElement& cell = matrix->AddChild("PCovCell");
      cell.SetAttribute("pRow", ParameterName(row));
      cell.SetAttribute("pCol", ParameterName(col));
      cell.SetAttribute("value", value);
    }
  }
  return matrix;
}

std::unique_ptr<XMLElement> KQPMMLRegrExporter::ExportParamMatrix(bool withRedundant, int digits) const {
  auto matrix = std::make_unique<XMLElement>("ParamMatrix");
  for (std::size_t i = 0; i < parameters_.size() && i < coefficients_.size(); ++i) {
    const int parameter = static_cast<int>(i);
    if (!IsWritten(parameter, withRedundant)) continue;
    const bool redundant = !(parameter < nonRedundant_.Size() && nonRedundant_.IsIn(parameter));
    const std::string beta = FormatNumber(redundant ? 0.0 : coefficients_[i], digits);
    if (beta.empty()) continue;
    XMLElement& cell = matrix->AddChild("PCell");
    cell.SetAttribute("parameterName", ParameterName(parameter));
    cell.SetAttribute("beta", beta);
  }
  return matrix;
}

}  // namespace KQMath_850
