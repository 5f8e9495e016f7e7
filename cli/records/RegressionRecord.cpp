// The record of the multiple regression and of the one-way ANOVA: one row per design parameter (the
// intercept, one indicator per category of each factor, each covariate; for the ANOVA one mean per
// category) with its least-squares coefficient, whether it was kept (a redundant one is a combination of
// those before it, or an ANOVA category without weight) and its posterior summary; the ANOVA table,
// R squared and the other statistics of the fit; the Bayes factor of the model against its comparison
// model; the posterior of the error variance and of the predicted value; the F tests.

#include "cli/records/Describers.h"
#include "frame/detail/EnumWords.h"
#include "regression/BSNMultiRegOutputStats.h"

namespace kqcli {

namespace {

std::string ParameterLabel(const KQMath_850::KQRegrParameter& parameter, const DataColumns& columns) {
  if (parameter.IsIntercept()) return "(Intercept)";
  std::string name = ColumnLabels({parameter.var}, columns.names).front();
  if (parameter.IsFactorCategory()) {
    // A category that the data file named by a text is labelled with it.
    const std::size_t var = static_cast<std::size_t>(parameter.var);
    const std::size_t code = static_cast<std::size_t>(parameter.category);
    const bool named = parameter.var >= 0 && parameter.category >= 0 && var < columns.categories.size() &&
                       code < columns.categories[var].size();
    name += "=" + (named ? columns.categories[var][code] : std::to_string(parameter.category));
  }
  return name;
}

}  // namespace

RecordView DescribeRegression(const KQBSN_850::BSNMultiRegOutputStats& r, const DataColumns& columns) {
  const KQBSN_850::BSNSettings& s = r.GetSettings();
  const bool anova = r.GetModelType() == KQBSN_850::BSNConst::ModelTypes::Anova;
  const bool full = !anova && s.GetCompareType() == KQBSN_850::BSNConst::CompareTypes::Full;
  const std::string comparison = anova  ? "the model of one common mean"
                                 : full ? "the full model"
                                        : "the intercept-only model";
  const std::string dependent = ColumnLabels({s.GetDependentVar()}, columns.names).front();
  RecordView view;
  view.record = "BSNMultiRegOutputStats";
  view.rowHeader = "Parameter";
  std::vector<bool> kept;
  for (std::size_t i = 0; i < r.GetRegrParameters().size(); ++i) {
    view.rows.push_back(ParameterLabel(r.GetRegrParameters()[i], columns));
    kept.push_back(r.GetRedundancy().IsIn(static_cast<int>(i)));
  }
  view.hypotheses = {{comparison, "the fitted model"}};
  view.factorFavoursNull = false;
  view.factorKey = "BayesFactor";
  view.logFlagKey = "IsLogBayesFactor";
  view.familyTitles = {
      {Family::Data, anova ? "Category means of " + dependent +
                                 " (a category not kept has too little weight: its mean is 0)"
                           : "Least-squares fit of " + dependent +
                                 " (a parameter not kept is redundant: its coefficient is 0)"},
      {Family::Test, "Fit statistics and F tests"},
      {Family::BayesFactor, "Bayes factor of the fitted model against " + comparison + " (" +
                                std::string(KQBSN_850::EnumWord(s.GetRegrCompType())) + ")"},
      {Family::Posterior, "Posterior (" + std::string(KQBSN_850::EnumWord(s.GetPriorType())) + " prior, " +
                              CredibleLevel(s) + " credible intervals)"}};

  view.Add("Settings", s);
  view.Add("ModelType", r.GetModelType());
  view.Add("RegrParameters", r.GetRegrParameters());
  view.Add("LeastSquaresCoefficients", r.GetLeastSquaresCoefficients(), Family::Data, "B");
  view.Add("Redundancy", kept, Family::Data, "Kept");
  view.Add("Anova", r.GetAnova(), Family::Test, "ANOVA");
  view.Add("RSquared", r.GetRSquared(), Family::Test, "R squared");
  view.Add("AdjRSquared", r.GetAdjRSquared(), Family::Test, "Adjusted R squared");
  view.Add("RSquaredFull", r.GetRSquaredFull(), Family::Test, "R squared of the full model");
  view.Add("StdError", r.GetStdError(), Family::Test, "Standard error of the fit");
  view.Add("SigmaSquared", r.GetSigmaSquared(), Family::Test, "Residual mean square");
  view.Add("FStat", r.GetFStat(), Family::Test, "Posterior overall F");
  view.Add("DF", r.GetDF(), Family::Test, "Degrees of freedom");
  view.Add("Sig", r.GetSig(), Family::Test, "Significance of the overall F");
  view.Add("FTestResults", r.GetFTestResults(), Family::Test, "F test");
  view.Add("BayesFactor", r.GetBayesFactor(), Family::BayesFactor, "BF10");
  view.Add("IsLogBayesFactor", r.IsLogBayesFactor(), Family::BayesFactor, "Kept as its logarithm");
  view.Add("VarCoeffBayesEstimations", r.GetVarCoeffBayesEstimations(), Family::Posterior, "");
  view.Add("ErrorBayesEstimation", r.GetErrorBayesEstimation(), Family::Posterior, "Error variance");
  view.Add("PredictedBayesEstimation", r.GetPredictedBayesEstimation(), Family::Posterior, "Predicted value");
  view.Add("ParamsArgumentsPlots4Likelihoods", r.GetParamsArgumentsPlots4Likelihoods());
  view.Add("ParamsArgumentsPlots4Prior", r.GetParamsArgumentsPlots4Prior());
  view.Add("ParamsArgumentsPlots4Posterior", r.GetParamsArgumentsPlots4Posterior());
  view.Add("LikelihoodParamPlots", r.GetLikelihoodParamPlots());
  view.Add("PriorParamPlots", r.GetPriorParamPlots());
  view.Add("PosteriorParamPlots", r.GetPosteriorParamPlots());
  view.Add("ArgumentErrorVarPlot4Likelihoods", r.GetArgumentErrorVarPlot4Likelihoods());
  view.Add("ArgumentErrorVarPlot4Prior", r.GetArgumentErrorVarPlot4Prior());
  view.Add("ArgumentErrorVarPlot4Posterior", r.GetArgumentErrorVarPlot4Posterior());
  view.Add("LikelihoodErrorVarPlot", r.GetLikelihoodErrorVarPlot());
  view.Add("PriorErrorVarPlot", r.GetPriorErrorVarPlot());
  view.Add("PosteriorErrorVarPlot", r.GetPosteriorErrorVarPlot());
  view.Add("ArgumentPredictedPlot4Likelihoods", r.GetArgumentPredictedPlot4Likelihoods());
  view.Add("ArgumentPredictedPlot4Prior", r.GetArgumentPredictedPlot4Prior());
  view.Add("ArgumentPredictedPlot4Posterior", r.GetArgumentPredictedPlot4Posterior());
  view.Add("LikelihoodPredictedPlot", r.GetLikelihoodPredictedPlot());
  view.Add("PriorPredictedPlot", r.GetPriorPredictedPlot());
  view.Add("PosteriorPredictedPlot", r.GetPosteriorPredictedPlot());
  return view;
}

}  // namespace kqcli
