#include "cli/SettingsValues.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <optional>

#include "cli/JsonWriter.h"
#include "companion/KQMV.h"

namespace kqcli {

using KQBSN_850::BayesFTest;
using KQCommon_850::KQMV;

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

Json RealsToJson(const std::vector<double>& values) {
  Json list = Json::array();
  for (double x : values) list.push_back(JsonNumber(x));
  return list;
}

}  // namespace kqcli
