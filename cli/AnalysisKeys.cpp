#include "cli/AnalysisKeys.h"

#include <algorithm>

namespace kqcli {
namespace {

using namespace KQBSN_850::BSNConst;

using Keys = std::vector<std::string_view>;

Keys Join(std::initializer_list<Keys> parts) {
  Keys keys;
  for (const Keys& part : parts) keys.insert(keys.end(), part.begin(), part.end());
  return keys;
}

}  // namespace

const std::vector<AnalysisKeys>& AllAnalysisKeys() {
  // The keys of the shared pieces: the JZS factor of a t statistic (quadrature or Monte Carlo), the
  // normal-mean Bayes factors and posteriors of the one-sample normal and related analyses, and the
  // Beta or Gamma priors of the count analyses.
  const Keys jzs = {"MethodType", "MaxIterations", "TolValue", "RandomSeed", "MCSamples"};
  const Keys normalMean =
      Join({{"NullValues", "DataVarVals", "AlterGValues", "EstBFType"},
            jzs,
            {"CILevel", "KappaValue", "MeanDistType", "MeanDistParam1", "MeanDistParam2", "PriorDistType",
             "PriorDistParam1", "PriorDistParam2", "NPlotPoints", "PlotDomainLevel"}});
  const Keys countPriors = {"NullPrior1s", "NullPrior2s", "AlterPrior1s", "AlterPrior2s", "PriorType",
                            "PriorParam1", "PriorParam2", "CILevel",      "NPlotPoints"};
  static const std::vector<AnalysisKeys> analyses = {
      {"one-sample binomial", ModelTypes::OneSample, DistTypes::Binomial,
       Join({{"TestDistType", "Factors", "FactorNCategs"}, countPriors})},
      {"one-sample Poisson", ModelTypes::OneSample, DistTypes::Poisson,
       Join({{"TestDistType", "Covariates"}, countPriors, {"PlotDomainLevel"}})},
      {"one-sample normal", ModelTypes::OneSample, DistTypes::Normal,
       Join({{"TestDistType", "Covariates"}, normalMean})},
      {"related samples", ModelTypes::Related, std::nullopt,
       Join({{"Covariates", "2ndRelatedList"}, normalMean})},
      {"independent samples", ModelTypes::Independent, std::nullopt,
       Join({{"Covariates", "GroupVar", "GroupValues", "RegrWeightVar", "RegrCompType", "RegrComPar",
              "SecondGonenPar"},
             jzs,
             {"CILevel", "PriorType", "DataVarVals", "EqualDataVar", "MeanDistType", "MeanDistParam1",
              "MeanDistParam2", "MeanDistParam3", "MeanDistParam4", "PriorDistType", "PriorDistParam1",
              "PriorDistParam2", "NPlotPoints", "PlotDomainLevel"}})},
      {"Pearson correlation",
       ModelTypes::Correlation,
       std::nullopt,
       {"Covariates", "MissScope", "EstBFType", "NullValue", "CorrCValue", "RegrComPar", "MaxIterations",
        "TolValue", "MCSamples", "RandomSeed", "CILevel", "PosteriorSamples", "NPlotPoints", "MaxNPlots",
        "MaxThreadNum", "NPairsPerTask"}},
      {"multiple regression",
       ModelTypes::Regression,
       std::nullopt,
       {"DependVar",
        "Covariates",
        "Factors",
        "FactorNCategs",
        "FullModFactors",
        "FullModCovariates",
        "FullModFactorNCategs",
        "RegrWeightVar",
        "MissScope",
        "CompareType",
        "RegrCompType",
        "RegrComPar",
        "PriorType",
        "PriorShape",
        "PriorScale",
        "PriorMeans",
        "PriorCovMatrix",
        "Regressors",
        "FTests",
        "CILevel",
        "TolValue",
        "MaxIterations",
        "NPlotPoints",
        "PlotDomainLevel",
        "PlotFactors",
        "PlotFactorCats",
        "PlotCovars",
        "MaxNPlotCategories",
        "ComputeVarianceInScoring"}},
      {"one-way ANOVA",
       ModelTypes::Anova,
       std::nullopt,
       {"DependVar", "Factors", "FactorNCategs", "RegrWeightVar", "RegrCompType", "RegrComPar", "PriorType",
        "PriorShape", "PriorScale", "PriorMeans", "PriorCovMatrix", "FTests", "CILevel", "TolValue",
        "MaxIterations", "NPlotPoints", "PlotDomainLevel", "PlotFactorCats", "ComputeVarianceInScoring"}},
      {"log-linear independence",
       ModelTypes::LogLinear,
       std::nullopt,
       {"Factors", "FactorNCategs", "MissScope", "LogLinModel", "FixType", "LogLinPriorType", "PriorScale",
        "LogLinShapes", "Lambdas", "LogLinIntrinsicT", "MaxIterations", "TolValue", "CILevel",
        "PosteriorSamples", "RandomSeed"}},
  };
  return analyses;
}

const std::vector<std::string_view>& CommonKeys() {
  static const std::vector<std::string_view> keys = {"ModelType", "AnalysType", "FrequencyWeightVar",
                                                     "ProgressFrequency"};
  return keys;
}

const AnalysisKeys* FindAnalysisKeys(const KQBSN_850::BSNSettings& settings) {
  for (const AnalysisKeys& analysis : AllAnalysisKeys())
    if (analysis.modelType == settings.GetModelType() &&
        (!analysis.testDistType || *analysis.testDistType == settings.GetTestDistType()))
      return &analysis;
  return nullptr;
}

bool Reads(const AnalysisKeys& analysis, std::string_view key) {
  const auto has = [key](const std::vector<std::string_view>& keys) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
  };
  return has(CommonKeys()) || has(analysis.keys);
}

}  // namespace kqcli
