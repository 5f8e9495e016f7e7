#pragma once
// KQPMMLRegrExporter: the elements of a PMML GeneralRegressionModel that describe a fitted linear model
// in the coding of KQFastDesignMatrix. Parameters are named p0, p1, ... in design order and labelled
// "Intercept", "<factor>=<category label>" or "<covariate>". The predictor-to-parameter matrix has one
// cell per factor indicator (the category's label, KQCategVar::GetLabel; the code as text for a factor
// held in a continuous variable) and one cell of value 1 per covariate parameter; the intercept has none.
// Coefficients go to the parameter matrix. A redundant parameter (not in the non-redundant set) keeps its
// place in the parameter list and the predictor matrix but gets no cell in the parameter matrix or the
// covariance matrix unless asked for: a scorer reads a missing cell as a coefficient of 0, which is
// the redundant parameter's value.
// Numbers are written with FormatNumber: with digits 0 they read back as the same doubles.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "companion/KQBitSet.h"
#include "companion/KQRegSettings.h"
#include "companion/KQRegrTables.h"
#include "companion/KQSymMatrix.h"
#include "companion/KQVarList.h"
#include "companion/XMLElement.h"

namespace KQMath_850 {

class KQPMMLRegrExporter {
 public:
  /// The model: its settings, the variables, its parameters (design order) with one coefficient each,
  /// the non-redundant parameters and optionally the parameters whose cells may be written at all
  /// (null: every non-redundant one).
  KQPMMLRegrExporter(const KQRegSettings& settings, const KQCommon_850::KQVarList& vars,
                     const std::vector<KQRegrParameter>& parameters, const std::vector<double>& coefficients,
                     const KQBitSet& nonRedundant, const KQBitSet* exported);

  /// MiningSchema: the active factors and covariates, the dependent as target and, when their positions
  /// are not negative, the frequency-weight and analysis-weight fields. importances, when given with one
  /// entry per active field, become their importance attributes.
  std::unique_ptr<KQXML_850::XMLElement> ExportMiningSchema(int frequencyWeightVar, int analysisWeightVar,
                                                            const std::vector<double>* importances) const;
  std::unique_ptr<KQXML_850::XMLElement> ExportParameterList() const;
  /// FactorList, or null for a model without factors.
  std::unique_ptr<KQXML_850::XMLElement> ExportFactorList() const;
  /// CovariateList, or null for a model without covariates.
  std::unique_ptr<KQXML_850::XMLElement> ExportCovariateList() const;
  std::unique_ptr<KQXML_850::XMLElement> ExportPPMatrix() const;
  /// PCovMatrix of the lower triangle (diagonal included) of covariance, a matrix over all parameters;
  /// covarianceType 0 "model", 1 "robust"; withRedundant writes the redundant parameters' cells too;
  /// digits as FormatNumber takes them. Null when covariance is not of the parameters' size.
  std::unique_ptr<KQXML_850::XMLElement> ExportPCovMatrix(const KQSymMatrix& covariance, int covarianceType,
                                                          bool withRedundant, int digits) const;
  /// ParamMatrix: one PCell per written parameter with a finite coefficient (see above).
  std::unique_ptr<KQXML_850::XMLElement> ExportParamMatrix(bool withRedundant, int digits) const;

  /// The factors and covariates of the model (variable positions, in settings order, each once).
  std::vector<int> GetActiveFactors() const;
  std::vector<int> GetActiveCovariates() const;

  /// The name of parameter i in the document.
  static std::string ParameterName(int i);

 private:
  std::string VarName(int var) const;
  std::string CategoryLabel(int var, int code) const;
  bool IsWritten(int parameter, bool withRedundant) const;

  KQRegSettings settings_;
  KQCommon_850::KQVarList vars_;
  std::vector<KQRegrParameter> parameters_;
  std::vector<double> coefficients_;
  KQBitSet nonRedundant_;
  std::optional<KQBitSet> exported_;
};

}  // namespace KQMath_850
