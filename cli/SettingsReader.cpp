#include "cli/SettingsReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdio>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <type_traits>

#include "cli/AnalysisKeys.h"
#include "cli/JsonWriter.h"
#include "frame/detail/EnumWords.h"

namespace kqcli {
namespace {

using namespace KQBSN_850;
using KQCommon_850::KQMV;

/// What went wrong with one value, without the file and key; an empty text means that the setter
/// refused the value, which the key's rule then explains.
using Problem = std::optional<std::string>;

enum class Phase { ModelType, VariableLists, Rest };

using ApplyFn = Problem (*)(BSNSettings&, const Json&, const std::vector<std::string>& columns);
using ReadFn = Json (*)(const BSNSettings&);
/// Judges the applied value before the library sees it: a problem when it makes no sense.
using ScreenFn = Problem (*)(const BSNSettings&);
/// The words an enumeration key accepts, with their numbers: 0 "Posterior", 1 "Bayes Factor", ...
using WordsFn = std::string (*)();

struct KeyRule {
  std::string_view key;
  Phase phase;
  ApplyFn apply;
  ReadFn read;                 // null for a field without a getter
  std::string_view refusal{};  // why the setter refuses a value, for setters that check
  std::string_view type{};     // the kind of value, as the settings reference names it
  ScreenFn screen = nullptr;
  WordsFn words = nullptr;
  std::string_view fixedDefault{};  // the default the reference shows for a key without a getter
};

/// The value as a message shows it: short scalars as written, lists and objects by their kind.
std::string Got(const Json& value) {
  if (value.is_array()) return "a list";
  if (value.is_object()) return "an object";
  std::string text = value.dump();
  if (text.size() > 40) text = text.substr(0, 40) + "...";
  if (value.is_string()) return "the text " + text;
  return text;
}

std::string Expected(std::string_view what, const Json& value) {
  return "expected " + std::string(what) + ", got " + Got(value);
}

/// A double as a message writes it: at most 15 significant digits, "null" for the missing value.
std::string NumberText(double x) {
  if (KQMV::IsMissing(x)) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", x);
  return text;
}

Result<long long> ToWhole(const Json& value, long long lowest, long long highest) {
  if (!value.is_number_integer()) return InputError{Expected("a whole number", value)};
  if (value.is_number_unsigned() &&
      value.get<unsigned long long>() > static_cast<unsigned long long>(LLONG_MAX))
    return InputError{"the number " + value.dump() + " is too large"};
  const long long n = value.get<long long>();
  if (n < lowest || n > highest)
    return InputError{"the number " + value.dump() + " is outside " + std::to_string(lowest) + ".." +
                      std::to_string(highest)};
  return n;
}

Result<int> ToInt(const Json& value) {
  Result<long long> n = ToWhole(value, INT_MIN, INT_MAX);
  if (!n.IsOK()) return n.Error();
  return static_cast<int>(n.Value());
}

Result<double> ToReal(const Json& value) {
  if (value.is_null()) return KQMV::Missing();
  if (!value.is_number()) return InputError{Expected("a number or null", value)};
  return value.get<double>();
}

Result<bool> ToBool(const Json& value) {
  if (!value.is_boolean()) return InputError{Expected("true or false", value)};
  return value.get<bool>();
}

/// A word as enumeration words are compared: lower case, without blanks, hyphens and underscores, so
/// that "One-Sample", "one sample" and "OneSample" are the same word.
std::string Folded(std::string_view word) {
  std::string folded;
  for (const char c : word)
    if (c != ' ' && c != '\t' && c != '-' && c != '_')
      folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

template <class Enum>
std::int32_t NEnumValues() {
  std::int32_t n = 0;
  while (!EnumWord(static_cast<Enum>(n)).empty()) ++n;
  return n;
}

template <class Enum>
std::string EnumWords() {
  std::string words;
  for (std::int32_t i = 0; i < NEnumValues<Enum>(); ++i)
    words +=
        (i == 0 ? "" : ", ") + std::to_string(i) + " \"" + std::string(EnumWord(static_cast<Enum>(i))) + "\"";
  return words;
}

template <class Enum>
Result<Enum> ToEnum(const Json& value) {
  // The field stores any 32-bit number, so that a number outside the enumeration can still be handed
  // to the library when the screening is skipped; the screening refuses it.
  if (value.is_number_integer()) {
    Result<long long> n = ToWhole(value, INT32_MIN, INT32_MAX);
    if (!n.IsOK()) return n.Error();
    return static_cast<Enum>(n.Value());
  }
  if (value.is_string())
    for (std::int32_t i = 0; i < NEnumValues<Enum>(); ++i)
      if (Folded(value.get<std::string>()) == Folded(EnumWord(static_cast<Enum>(i))))
        return static_cast<Enum>(i);
  return InputError{Expected("a number or a word of " + EnumWords<Enum>(), value)};
}

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

Result<int> ToVariable(const Json& value, const std::vector<std::string>& columns) {
  if (value.is_string()) {
    const std::string name = value.get<std::string>();
    const auto count = std::count(columns.begin(), columns.end(), name);
    if (count == 0) return InputError{"no column of the data is named \"" + name + "\""};
    if (count > 1)
      return InputError{std::to_string(count) + " columns of the data are named \"" + name +
                        "\"; give its index"};
    return static_cast<int>(std::find(columns.begin(), columns.end(), name) - columns.begin());
  }
  if (!value.is_number_integer()) return InputError{Expected("a column index or name", value)};
  const long long last = static_cast<long long>(columns.size()) - 1;
  Result<long long> index = ToWhole(value, 0, last);
  if (!index.IsOK())
    return InputError{"column index " + value.dump() + " is outside the data's columns 0.." +
                      std::to_string(last)};
  return static_cast<int>(index.Value());
}

template <class Element>
Result<std::vector<Element>> ToList(const Json& value, Result<Element> (*element)(const Json&)) {
  if (!value.is_array()) return InputError{Expected("a list", value)};
  std::vector<Element> list;
  for (std::size_t i = 0; i < value.size(); ++i) {
    Result<Element> item = element(value[i]);
    if (!item.IsOK()) return InputError{"entry " + std::to_string(i) + ": " + item.Error().message};
    list.push_back(item.Value());
  }
  return list;
}

Result<std::vector<int>> ToVariables(const Json& value, const std::vector<std::string>& columns) {
  if (!value.is_array()) return InputError{Expected("a list of column indices or names", value)};
  std::vector<int> list;
  for (std::size_t i = 0; i < value.size(); ++i) {
    Result<int> item = ToVariable(value[i], columns);
    if (!item.IsOK()) return InputError{"entry " + std::to_string(i) + ": " + item.Error().message};
    list.push_back(item.Value());
  }
  return list;
}

Result<BayesFTest> ToFTest(const Json& value, const std::vector<std::string>& columns) {
  if (!value.is_object()) return InputError{Expected("an object", value)};
  BayesFTest test;
  for (const auto& [key, item] : value.items()) {
    std::optional<InputError> problem;
    if (key == "UseIntercept") {
      Result<bool> flag = ToBool(item);
      if (flag.IsOK())
        test.SetUseIntercept(flag.Value());
      else
        problem = flag.Error();
    } else if (key == "Predictors") {
      Result<std::vector<int>> vars = ToVariables(item, columns);
      if (vars.IsOK())
        test.SetPredictors(vars.Value());
      else
        problem = vars.Error();
    } else if (key == "TestValues") {
      Result<std::vector<double>> values = ToList(item, ToReal);
      if (values.IsOK())
        test.SetTestValues(values.Value());
      else
        problem = values.Error();
    } else if (key == "Label") {
      if (item.is_string())
        test.SetLabel(item.get<std::string>());
      else
        problem = InputError{Expected("a text", item)};
    } else {
      return InputError{"unknown key \"" + key +
                        "\" (an F test has \"UseIntercept\", \"Predictors\", "
                        "\"TestValues\" and \"Label\")"};
    }
    if (problem) return InputError{"\"" + key + "\": " + problem->message};
  }
  return test;
}

Json FTestsToJson(const std::vector<BayesFTest>& tests) {
  Json list = Json::array();
  for (const BayesFTest& test : tests) {
    Json values = Json::array();
    for (double x : test.GetTestValues()) values.push_back(JsonNumber(x));
    list.push_back(Json{{"UseIntercept", test.IsUseIntercept()},
                        {"Predictors", test.GetPredictors()},
                        {"TestValues", values},
                        {"Label", test.GetLabel()}});
  }
  return list;
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

Json RealsToJson(const std::vector<double>& values) {
  Json list = Json::array();
  for (double x : values) list.push_back(JsonNumber(x));
  return list;
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

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
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

/// The parser's message with each 'quoted' piece of the input cut to 40 characters: it quotes what it
/// last read, which may be a number of hundreds of digits or a long text.
std::string ShortQuotes(const std::string& message) {
  constexpr std::size_t kShown = 40;
  std::string shorter;
  std::size_t from = 0;
  for (;;) {
    const std::size_t open = message.find('\'', from);
    const std::size_t close = open == std::string::npos ? open : message.find('\'', open + 1);
    if (close == std::string::npos) break;
    shorter.append(message, from, open + 1 - from);
    const std::size_t length = close - open - 1;
    shorter.append(message, open + 1, std::min(length, kShown));
    if (length > kShown) shorter += "...";
    shorter += '\'';
    from = close + 1;
  }
  return shorter.append(message, from);
}

}  // namespace

Result<SettingsDocument> ParseSettingsText(std::string_view text, const std::string& fileName) {
  // The parser keeps the last of two equal keys; a settings file with both is almost surely a slip.
  std::vector<std::set<std::string>> keysSeen;
  std::optional<std::string> repeated;
  const Json::parser_callback_t noteKeys = [&](int, Json::parse_event_t event, Json& parsed) {
    if (event == Json::parse_event_t::object_start) keysSeen.emplace_back();
    if (event == Json::parse_event_t::object_end && !keysSeen.empty()) keysSeen.pop_back();
    if (event == Json::parse_event_t::key && !keysSeen.empty() &&
        !keysSeen.back().insert(parsed.get<std::string>()).second && !repeated)
      repeated = parsed.get<std::string>();
    return true;
  };
  SettingsDocument document{fileName, Json()};
  try {
    document.root = Json::parse(text.begin(), text.end(), noteKeys, true, true);
  } catch (const Json::exception& e) {
    // nlohmann's messages start with an identifier in brackets, then say where and what.
    std::string message = e.what();
    if (const auto end = message.find("] ");
        message.starts_with("[json.exception") && end != std::string::npos)
      message.erase(0, end + 2);
    message = ShortQuotes(message);
    return InputError{fileName + ": not valid JSON: " + message};
  }
  if (repeated) return InputError{fileName + ": key \"" + *repeated + "\" appears more than once"};
  if (!document.root.is_object())
    return InputError{fileName + ": the settings must be one JSON object ({\"key\": value, ...}), got " +
                      Got(document.root)};
  for (const auto& [key, value] : document.root.items())
    if (FindRule(key) == nullptr)
      return InputError{fileName + ": unknown key \"" + key + "\"" + Suggestion(key)};
  return document;
}

Result<SettingsDocument> ReadSettingsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return InputError{path + ": cannot open the settings file"};
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return InputError{path + ": cannot read the settings file"};
  return ParseSettingsText(text.str(), path);
}

Result<BSNSettings> ApplySettings(const SettingsDocument& document,
                                  const std::vector<std::string>& columnNames) {
  BSNSettings settings;
  for (const Phase phase : {Phase::ModelType, Phase::VariableLists, Phase::Rest}) {
    for (const auto& [key, value] : document.root.items()) {
      const KeyRule* rule = FindRule(key);
      if (rule == nullptr)
        return InputError{document.fileName + ": unknown key \"" + key + "\"" + Suggestion(key)};
      if (rule->phase != phase) continue;
      if (Problem problem = rule->apply(settings, value, columnNames))
        return InputError{document.fileName + ": key \"" + key + "\": " +
                          (problem->empty()
                               ? "the value " + Got(value) + " is refused: " + std::string(rule->refusal)
                               : *problem)};
    }
  }
  return settings;
}

std::vector<ColumnUse> ColumnUses(const BSNSettings& settings, std::size_t nColumns) {
  // A column is read when any key names it; it holds numbers unless it is only a factor or the group.
  // Plot factors and F test predictors name factors or covariates, so they decide nothing else.
  std::vector<bool> categorical(nColumns, false);
  std::vector<bool> numeric(nColumns, false);
  std::vector<bool> named(nColumns, false);
  const auto mark = [nColumns](std::vector<bool>& marks, int var) {
    if (var >= 0 && static_cast<std::size_t>(var) < nColumns) marks[static_cast<std::size_t>(var)] = true;
  };
  for (int var : settings.GetFactors()) mark(categorical, var);
  for (int var : settings.GetFullModFactors()) mark(categorical, var);
  mark(categorical, settings.GetGroupVar());
  for (int var : {settings.GetDependentVar(), settings.GetFrequencyWeightVar(), settings.GetRegrWeightVar()})
    mark(numeric, var);
  for (const auto* list : {&settings.GetCovariates(), &settings.GetFullModCovariates(),
                           &settings.Get2ndRelatedList(), &settings.GetPlotCovars()})
    for (int var : *list) mark(numeric, var);
  for (int var : settings.GetPlotFactors()) mark(named, var);
  for (const BayesFTest& test : settings.GetFTests())
    for (int var : test.GetPredictors()) mark(named, var);
  std::vector<ColumnUse> uses(nColumns, ColumnUse::Skipped);
  for (std::size_t j = 0; j < nColumns; ++j)
    if (numeric[j])
      uses[j] = ColumnUse::Numbers;
    else if (categorical[j])
      uses[j] = ColumnUse::Categories;
    else if (named[j])
      uses[j] = ColumnUse::Numbers;
  return uses;
}

Json SettingsToJson(const BSNSettings& settings) {
  Json object = Json::object();
  for (const Phase phase : {Phase::ModelType, Phase::VariableLists, Phase::Rest})
    for (const KeyRule& rule : Rules())
      if (rule.phase == phase && rule.read != nullptr) object[std::string(rule.key)] = rule.read(settings);
  return object;
}

std::vector<std::string_view> SettingsKeys() {
  std::vector<std::string_view> keys;
  for (const Phase phase : {Phase::ModelType, Phase::VariableLists, Phase::Rest})
    for (const KeyRule& rule : Rules())
      if (rule.phase == phase) keys.push_back(rule.key);
  return keys;
}

std::optional<InputError> ScreenSettings(const SettingsDocument& document, const BSNSettings& settings) {
  const AnalysisKeys* analysis = FindAnalysisKeys(settings);
  // A family the settings name correctly but that this version does not have yet gets its own reason
  // rather than the library's generic "parameter not provided" status.
  if (const std::string_view family = KQBSN_850::EnumWord(settings.GetModelType());
      analysis == nullptr && !family.empty()) {
    std::string available;
    for (const AnalysisKeys& known : AllAnalysisKeys())
      available.append(available.empty() ? "" : ", ").append(known.name);
    return InputError{document.fileName + ": key \"ModelType\": the " + std::string(family) +
                      " family is not available in this version of kqbayes (available: " + available + ")"};
  }
  for (const auto& [key, value] : document.root.items()) {
    const KeyRule* rule = FindRule(key);
    if (rule == nullptr || rule->screen == nullptr || (analysis != nullptr && !Reads(*analysis, key)))
      continue;
    if (Problem problem = rule->screen(settings))
      return InputError{document.fileName + ": key \"" + key + "\": " + *problem};
  }
  return std::nullopt;
}

std::vector<std::string> UnreadKeys(const SettingsDocument& document, const BSNSettings& settings) {
  std::vector<std::string> notes;
  const AnalysisKeys* analysis = FindAnalysisKeys(settings);
  if (analysis == nullptr) return notes;
  for (const auto& [key, value] : document.root.items()) {
    if (Reads(*analysis, key)) continue;
    std::string note = document.fileName + ": key \"" + key + "\" has no effect: the " +
                       std::string(analysis->name) + " analysis does not read it";
    // A key one slip away from one the analysis reads ("NullValue" for "NullValues") is named.
    constexpr std::size_t kMaxSlip = 2;
    for (const std::string_view read : analysis->keys)
      if (EditDistance(key, read) <= kMaxSlip) {
        note += " (did you mean \"" + std::string(read) + "\"?)";
        break;
      }
    notes.push_back(note);
  }
  return notes;
}

std::optional<std::array<Json, 2>> GroupValues(const SettingsDocument& document) {
  const auto found = document.root.find("GroupValues");
  if (found == document.root.end() || !found->is_array() || found->size() != 2) return std::nullopt;
  return std::array<Json, 2>{(*found)[0], (*found)[1]};
}

std::string SettingsReferenceMarkdown() {
  using namespace BSNConst;
  // The default of each key under each model's defaults; a key whose default is the same under every
  // model shows it once.
  std::vector<BSNSettings> models;
  for (std::int32_t type = 0; type < NEnumValues<ModelTypes>(); ++type) {
    models.emplace_back();
    models.back().SetModelType(static_cast<ModelTypes>(type), true);
  }
  const auto code = [](const std::string& text) { return "`" + text + "`"; };
  std::string table =
      "| key | kind of value | default | words | read by |\n"
      "|---|---|---|---|---|\n";
  for (const std::string_view key : SettingsKeys()) {
    const KeyRule& rule = *FindRule(key);
    std::string defaults;
    if (rule.read == nullptr) {
      defaults = rule.fixedDefault;
    } else {
      // The model type itself has one default, that of new settings.
      std::vector<std::string> texts;
      if (rule.phase == Phase::ModelType)
        texts.push_back(JsonText(rule.read(BSNSettings())));
      else
        for (const BSNSettings& model : models) texts.push_back(JsonText(rule.read(model)));
      if (std::all_of(texts.begin(), texts.end(), [&](const std::string& t) { return t == texts[0]; })) {
        defaults = code(texts[0]);
      } else {
        for (std::size_t i = 0; i < texts.size(); ++i)
          defaults +=
              (i == 0 ? "" : "; ") + std::string(EnumWord(static_cast<ModelTypes>(i))) + " " + code(texts[i]);
      }
    }
    std::string readers;
    if (std::find(CommonKeys().begin(), CommonKeys().end(), key) != CommonKeys().end()) {
      readers = "every analysis";
    } else {
      for (const AnalysisKeys& analysis : AllAnalysisKeys())
        if (Reads(analysis, key)) readers += (readers.empty() ? "" : ", ") + std::string(analysis.name);
      if (readers.empty()) readers = "no available analysis";
    }
    table += "| `" + std::string(key) + "` | " + std::string(rule.type) + " | " + defaults + " | " +
             (rule.words != nullptr ? rule.words() : std::string()) + " | " + readers + " |\n";
  }
  return table;
}

}  // namespace kqcli
