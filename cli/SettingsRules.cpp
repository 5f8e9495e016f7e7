#include "cli/SettingsRules.h"

#include <climits>
#include <type_traits>

#include "cli/JsonWriter.h"
#include "cli/SettingsValues.h"
#include "cli/Text.h"
#include "companion/KQMV.h"
#include "frame/detail/EnumWords.h"

namespace kqcli {
namespace {

using namespace KQBSN_850;
using KQCommon_850::KQMV;

/// A value outside the enumeration.
template <class Enum, auto Getter>
Problem ScreenEnum(const BSNSettings& s) {
  const Enum value = (s.*Getter)();
  if (!EnumWord(value).empty()) return std::nullopt;
  return "the number " + std::to_string(BSNConst::ToInt(value)) + " is not one of " + EnumWords<Enum>();
}

/// A credible level is a percentage strictly between 0 and 100.
Problem ScreenLevel(const BSNSettings& s) {
  const double level = s.GetCILevel();
  if (!KQMV::IsMissingOrNaN(level) && level > 0.0 && level < 100.0) return std::nullopt;
  return "the credible level must be a percentage greater than 0 and less than 100, got " + NumberText(level);
}

/// A Beta or Gamma prior parameter must be greater than 0; a missing one takes the analysis' default.
template <auto Getter>
Problem ScreenPositive(const BSNSettings& s) {
  const double x = (s.*Getter)();
  if (KQMV::IsMissing(x) || x > 0.0) return std::nullopt;
  return "a Beta or Gamma prior parameter must be greater than 0, got " + NumberText(x);
}

template <auto Getter>
Problem ScreenPositiveList(const BSNSettings& s) {
  const std::vector<double>& list = (s.*Getter)();
  for (std::size_t i = 0; i < list.size(); ++i)
    if (!KQMV::IsMissing(list[i]) && !(list[i] > 0.0))
      return "entry " + std::to_string(i) + ": a Beta or Gamma prior parameter must be greater than 0, got " +
             NumberText(list[i]);
  return std::nullopt;
}

/// Hands a parsed value to its setter; an empty problem when a checking setter refuses it.
template <auto Setter, class T>
Problem Call(BSNSettings& settings, const T& value) {
  if constexpr (std::is_same_v<decltype((settings.*Setter)(value)), bool>) {
    if (!(settings.*Setter)(value)) return std::string();
  } else {
    (settings.*Setter)(value);
  }
  return std::nullopt;
}

template <class T>
Problem Message(const Result<T>& result) {
  return result.IsOK() ? Problem() : Problem(result.Error().message);
}

// One rule maker per kind of field: it parses the JSON value, calls the setter, and reads the
// field back through its getter for the output.

template <auto Setter, auto Getter>
KeyRule IntRule(std::string_view key, std::string_view refusal = {}) {
  return {key,
          Phase::Rest,
          [](BSNSettings& s, const Json& v, const std::vector<std::string>&) -> Problem {
            Result<int> n = ToInt(v);
            return n.IsOK() ? Call<Setter>(s, n.Value()) : Message(n);
          },
          [](const BSNSettings& s) -> Json { return (s.*Getter)(); },
          refusal,
          "whole number"};
}

template <auto Setter, auto Getter>
KeyRule RealRule(std::string_view key, std::string_view refusal = {}, ScreenFn screen = nullptr) {
  return {key,
          Phase::Rest,
          [](BSNSettings& s, const Json& v, const std::vector<std::string>&) -> Problem {
            Result<double> x = ToReal(v);
            return x.IsOK() ? Call<Setter>(s, x.Value()) : Message(x);
          },
          [](const BSNSettings& s) -> Json { return JsonNumber((s.*Getter)()); },
          refusal,
          "number or null",
          screen};
}

template <auto Setter, auto Getter>
KeyRule BoolRule(std::string_view key) {
  return {key,
          Phase::Rest,
          [](BSNSettings& s, const Json& v, const std::vector<std::string>&) -> Problem {
            Result<bool> b = ToBool(v);
            return b.IsOK() ? Call<Setter>(s, b.Value()) : Message(b);
          },
          [](const BSNSettings& s) -> Json { return (s.*Getter)(); },
          {},
          "true or false"};
}

template <class Enum, auto Setter, auto Getter>
KeyRule EnumRule(std::string_view key) {
  return {key,
          Phase::Rest,
          [](BSNSettings& s, const Json& v, const std::vector<std::string>&) -> Problem {
            Result<Enum> e = ToEnum<Enum>(v);
            return e.IsOK() ? Call<Setter>(s, e.Value()) : Message(e);
          },
          [](const BSNSettings& s) -> Json { return BSNConst::ToInt((s.*Getter)()); },
          {},
          "number or word",
          &ScreenEnum<Enum, Getter>,
          &EnumWords<Enum>};
}

template <auto Setter, auto Getter>
KeyRule VariableRule(std::string_view key) {
  return {key,
          Phase::Rest,
          [](BSNSettings& s, const Json& v, const std::vector<std::string>& columns) -> Problem {
            Result<int> var = ToVariable(v, columns);
            return var.IsOK() ? Call<Setter>(s, var.Value()) : Message(var);
          },
          [](const BSNSettings& s) -> Json { return (s.*Getter)(); },
          {},
          "column name or index"};
}

template <auto Setter, auto Getter>
KeyRule VariablesRule(std::string_view key, Phase phase = Phase::Rest, std::string_view refusal = {}) {
  return {key,
          phase,
          [](BSNSettings& s, const Json& v, const std::vector<std::string>& columns) -> Problem {
            Result<std::vector<int>> vars = ToVariables(v, columns);
            return vars.IsOK() ? Call<Setter>(s, vars.Value()) : Message(vars);
          },
          [](const BSNSettings& s) -> Json { return (s.*Getter)(); },
          refusal,
          "list of column names or indices"};
}

template <auto Setter, auto Getter>
KeyRule IntsRule(std::string_view key, std::string_view refusal = {}) {
  return {key,
          Phase::Rest,
          [](BSNSettings& s, const Json& v, const std::vector<std::string>&) -> Problem {
            Result<std::vector<int>> list = ToList(v, ToInt);
            return list.IsOK() ? Call<Setter>(s, list.Value()) : Message(list);
          },
          [](const BSNSettings& s) -> Json { return (s.*Getter)(); },
          refusal,
          "list of whole numbers"};
}

template <auto Setter, auto Getter>
KeyRule RealsRule(std::string_view key, ScreenFn screen = nullptr) {
  return {key,
          Phase::Rest,
          [](BSNSettings& s, const Json& v, const std::vector<std::string>&) -> Problem {
            Result<std::vector<double>> list = ToList(v, ToReal);
            return list.IsOK() ? Call<Setter>(s, list.Value()) : Message(list);
          },
          [](const BSNSettings& s) -> Json { return RealsToJson((s.*Getter)()); },
          {},
          "list of numbers or nulls",
          screen};
}

}  // namespace

const std::vector<KeyRule>& Rules() {
  using S = BSNSettings;
  using namespace BSNConst;
  static const std::vector<KeyRule>
      rules =
          {
              {"ModelType",
               Phase::ModelType,
               [](S& s, const Json& v, const std::vector<std::string>&) -> Problem {
                 Result<ModelTypes> type = ToEnum<ModelTypes>(v);
                 if (type.IsOK()) s.SetModelType(type.Value(), true);
                 return Message(type);
               },
               [](const S& s) -> Json { return BSNConst::ToInt(s.GetModelType()); },
               {},
               "number or word",
               &ScreenEnum<ModelTypes, &S::GetModelType>,
               &EnumWords<ModelTypes>},
              VariablesRule<&S::SetFactors, &S::GetFactors>("Factors", Phase::VariableLists),
              VariablesRule<&S::SetCovariates, &S::GetCovariates>("Covariates", Phase::VariableLists),
              VariablesRule<&S::SetFullModFactors, &S::GetFullModFactors>("FullModFactors",
                                                                          Phase::VariableLists),
              VariablesRule<&S::SetFullModCovariates, &S::GetFullModCovariates>("FullModCovariates",
                                                                                Phase::VariableLists),
              // Model and variables.
              {"NCases",
               Phase::Rest,
               [](S& s, const Json& v, const std::vector<std::string>&) -> Problem {
                 Result<int> n = ToInt(v);
                 return n.IsOK() ? Call<&S::SetNCases>(s, n.Value()) : Message(n);
               },
               nullptr,
               {},
               "whole number",
               nullptr,
               nullptr,
               "`0`"},
              VariableRule<&S::SetDependVar, &S::GetDependentVar>("DependVar"),
              VariableRule<&S::SetFrequencyWeightVar, &S::GetFrequencyWeightVar>("FrequencyWeightVar"),
              VariableRule<&S::SetRegrWeightVar, &S::GetRegrWeightVar>("RegrWeightVar"),
              VariableRule<&S::SetGroupVar, &S::GetGroupVar>("GroupVar"),
              IntsRule<&S::SetFactorNCategs, &S::GetFactorSizes>(
                  "FactorNCategs",
                  "needs one number of categories, at least 1, for each entry of \"Factors\""),
              IntsRule<&S::SetFullModFactorNCategs, &S::GetFullModFactorSizes>(
                  "FullModFactorNCategs",
                  "needs one number of categories, at least 1, for each entry of \"FullModFactors\""),
              VariablesRule<&S::Set2ndRelatedList, &S::Get2ndRelatedList>(
                  "2ndRelatedList", Phase::Rest,
                  "needs as many entries as \"Covariates\" (they are paired in order)"),
              EnumRule<MissScope, &S::SetMissScope, &S::GetMissScope>("MissScope"),
              // Analysis choices and numerical controls.
              EnumRule<AnalysTypes, &S::SetAnalysType, &S::GetAnalysType>("AnalysType"),
              EnumRule<DistTypes, &S::SetTestDistType, &S::GetTestDistType>("TestDistType"),
              EnumRule<MethodTypes, &S::SetMethodType, &S::GetMethodType>("MethodType"),
              EnumRule<EstBFTypes, &S::SetEstBFType, &S::GetEstBFType>("EstBFType"),
              RealRule<&S::SetCILevel, &S::GetCILevel>("CILevel", {}, &ScreenLevel),
              IntRule<&S::SetMaxIterations, &S::GetMaxIterations>("MaxIterations"),
              RealRule<&S::SetTolValue, &S::GetTolValue>("TolValue"),
              {"RandomSeed",
               Phase::Rest,
               [](S& s, const Json& v, const std::vector<std::string>&) -> Problem {
                 if (v.is_number_unsigned() || (v.is_number_integer() && v.get<long long>() >= 0)) {
                   const unsigned long long seed = v.get<unsigned long long>();
                   if (seed > ULONG_MAX) return "the number " + v.dump() + " is too large";
                   return Call<&S::SetRandomSeed>(s, static_cast<unsigned long>(seed));
                 }
                 return Expected("a whole number of at least 0", v);
               },
               [](const S& s) -> Json { return s.GetRandomSeed(); },
               {},
               "whole number of at least 0"},
              IntRule<&S::SetMCSamples, &S::GetMCSamples>("MCSamples"),
              {"PosteriorSamples",
               Phase::Rest,
               [](S& s, const Json& v, const std::vector<std::string>&) -> Problem {
                 Result<long long> n = ToWhole(v, LONG_MIN, LONG_MAX);
                 return n.IsOK() ? Call<&S::SetPosteriorSamples>(s, static_cast<long>(n.Value()))
                                 : Message(n);
               },
               [](const S& s) -> Json { return s.GetPosteriorSamples(); },
               {},
               "whole number"},
              EnumRule<CorrTests, &S::SetCorrTest, &S::GetCorrTest>("CorrTest"),
              RealRule<&S::SetCorrCValue, &S::GetCorrCValue>("CorrCValue"),
              EnumRule<RegrCompute, &S::SetRegrCompType, &S::GetRegrCompType>("RegrCompType"),
              RealRule<&S::SetRegrComPar, &S::GetRegrComPar>("RegrComPar"),
              RealRule<&S::SetSecondGonenPar, &S::GetSecondGonenPar>("SecondGonenPar",
                                                                     "must be greater than 0"),
              RealRule<&S::SetRegrPrecision, &S::GetRegrPrecision>("RegrPrecision"),
              EnumRule<CompareTypes, &S::SetCompareType, &S::GetCompareType>("CompareType"),
              {"FTests",
               Phase::Rest,
               [](S& s, const Json& v, const std::vector<std::string>& columns) -> Problem {
                 if (!v.is_array()) return Expected("a list of F test objects", v);
                 std::vector<BayesFTest> tests;
                 for (std::size_t i = 0; i < v.size(); ++i) {
                   Result<BayesFTest> test = ToFTest(v[i], columns);
                   if (!test.IsOK()) return "entry " + std::to_string(i) + ": " + test.Error().message;
                   tests.push_back(test.Value());
                 }
                 s.SetFTests(tests);
                 return std::nullopt;
               },
               [](const S& s) -> Json { return FTestsToJson(s.GetFTests()); },
               {},
               "list of F test objects"},
              BoolRule<&S::SetComputeVarianceInScoring, &S::IsComputeVarianceInScoring>(
                  "ComputeVarianceInScoring"),
              // Test values and priors.
              RealsRule<&S::SetDataVarVals, &S::GetDataVarVals>("DataVarVals"),
              BoolRule<&S::SetEqualDataVar, &S::GetEqualDataVar>("EqualDataVar"),
              RealRule<&S::SetNullValue, &S::GetNullValue>("NullValue"),
              RealsRule<&S::SetNullValues, &S::GetNullValues>("NullValues"),
              RealsRule<&S::SetNullPrior1s, &S::GetNullPrior1s>("NullPrior1s",
                                                                &ScreenPositiveList<&S::GetNullPrior1s>),
              RealsRule<&S::SetNullPrior2s, &S::GetNullPrior2s>("NullPrior2s",
                                                                &ScreenPositiveList<&S::GetNullPrior2s>),
              RealsRule<&S::SetAlterGValues, &S::GetAlterGValues>("AlterGValues"),
              RealsRule<&S::SetAlterPrior1s, &S::GetAlterPrior1s>("AlterPrior1s",
                                                                  &ScreenPositiveList<&S::GetAlterPrior1s>),
              RealsRule<&S::SetAlterPrior2s, &S::GetAlterPrior2s>("AlterPrior2s",
                                                                  &ScreenPositiveList<&S::GetAlterPrior2s>),
              EnumRule<PriorTypes, &S::SetPriorType, &S::GetPriorType>("PriorType"),
              RealRule<&S::SetPriorParam1, &S::GetPriorParam1>("PriorParam1", {},
                                                               &ScreenPositive<&S::GetPriorParam1>),
              RealRule<&S::SetPriorParam2, &S::GetPriorParam2>("PriorParam2", {},
                                                               &ScreenPositive<&S::GetPriorParam2>),
              EnumRule<DistTypes, &S::SetPriorDistType, &S::GetPriorDistType>("PriorDistType"),
              RealRule<&S::SetPriorDistParam1, &S::GetPriorDistParam1>("PriorDistParam1"),
              RealRule<&S::SetPriorDistParam2, &S::GetPriorDistParam2>("PriorDistParam2"),
              EnumRule<DistTypes, &S::SetMeanDistType, &S::GetMeanDistType>("MeanDistType"),
              RealRule<&S::SetMeanDistParam1, &S::GetMeanDistParam1>("MeanDistParam1"),
              RealRule<&S::SetMeanDistParam2, &S::GetMeanDistParam2>("MeanDistParam2"),
              RealRule<&S::SetMeanDistParam3, &S::GetMeanDistParam3>("MeanDistParam3"),
              RealRule<&S::SetMeanDistParam4, &S::GetMeanDistParam4>("MeanDistParam4"),
              RealRule<&S::SetKappaValue, &S::GetKappaValue>("KappaValue"),
              RealRule<&S::SetPriorShape, &S::GetPriorShape>("PriorShape"),
              RealRule<&S::SetPriorScale, &S::GetPriorScale>("PriorScale"),
              RealsRule<&S::SetPriorMeans, &S::GetPriorMeans>("PriorMeans"),
              RealsRule<&S::SetPriorCovMatrix, &S::GetPriorCovMatrix>("PriorCovMatrix"),
              RealsRule<&S::SetRegressors, &S::GetRegressors>("Regressors"),
              // Log-linear analysis.
              EnumRule<LogLinPriorType, &S::SetLogLinPriorType, &S::GetLogLinPriorType>("LogLinPriorType"),
              EnumRule<DistTypes, &S::SetLogLinModel, &S::GetLogLinModel>("LogLinModel"),
              EnumRule<FixType, &S::SetFixType, &S::GetFixType>("FixType"),
              RealsRule<&S::SetLogLinShapes, &S::GetLogLinShapes>("LogLinShapes"),
              RealsRule<&S::SetLambdas, &S::GetLambdas>("Lambdas"),
              IntRule<&S::SetLogLinIntrinsicT, &S::GetLogLinIntrinsicT>("LogLinIntrinsicT"),
              // Plots.
              IntRule<&S::SetNPlotPoints, &S::GetNPlotPoints>("NPlotPoints"),
              RealRule<&S::SetPlotDomainLevel, &S::GetPlotDomainLevel>("PlotDomainLevel"),
              VariablesRule<&S::SetPlotFactors, &S::GetPlotFactors>("PlotFactors"),
              VariablesRule<&S::SetPlotCovars, &S::GetPlotCovars>("PlotCovars"),
              IntsRule<&S::SetPlotFactorCats, &S::GetPlotFactorCats>("PlotFactorCats"),
              IntRule<&S::SetMaxNPlotCategories, &S::GetMaxNPlotCategories>("MaxNPlotCategories"),
              IntRule<&S::SetMaxNPlots, &S::GetMaxNPlots>("MaxNPlots"),
              // Run-time services that a file can set (the listener, cancellation and thread factories are
              // the command's own).
              IntRule<&S::SetProgressFrequency, &S::GetProgressFrequency>("ProgressFrequency",
                                                                          "must be greater than 0"),
              IntRule<&S::SetMaxThreadNum, &S::GetMaxThreadNum>("MaxThreadNum"),
              IntRule<&S::SetNPairsPerTask, &S::GetNPairsPerTask>("NPairsPerTask"),
              IntRule<&S::SetMemCacheKB, &S::GetMemCacheKB>("MemCacheKB"),
              // The command's own: the two values of the grouping column that stand for the first and the
              // second group, when they are not 0 and 1 (GroupValues of this file reads them).
              {
                  "GroupValues",
                  Phase::Rest,
                  [](S&, const Json& v, const std::vector<std::string>&) -> Problem {
                    if (!v.is_array() || v.size() != 2) return Expected("a list of two values", v);
                    for (const Json& value : v)
                      if (!value.is_number() && !value.is_string())
                        return Expected("a number or a text", value);
                    if (v[0] == v[1]) return "the two group values are the same, " + Got(v[0]);
                    return std::nullopt;
                  },
                  nullptr,
                  {},
                  "list of two numbers or texts",
                  nullptr,
                  nullptr,
                  "none (the values 0 and 1)"},
          };
  return rules;
}

const KeyRule* FindRule(std::string_view key) {
  for (const KeyRule& rule : Rules())
    if (rule.key == key) return &rule;
  return nullptr;
}

/// The known key closest to an unknown one, when it is close enough to be a slip.
std::string Suggestion(std::string_view key) {
  constexpr std::size_t kMaxSlip = 3;
  const KeyRule* best = nullptr;
  std::size_t bestDistance = kMaxSlip + 1;
  for (const KeyRule& rule : Rules())
    if (const std::size_t d = EditDistance(key, rule.key); d < bestDistance) {
      best = &rule;
      bestDistance = d;
    }
  return best != nullptr ? " (did you mean \"" + std::string(best->key) + "\"?)" : std::string();
}

}  // namespace kqcli
