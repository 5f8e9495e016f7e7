#pragma once
// SettingsValues: the JSON values of a settings file as the setters take them (whole numbers, numbers
// with null as the missing value, true or false, enumeration numbers or words, columns by name or
// index, lists of these, F test objects) and the fields' values back as JSON. A value that does not
// convert gives an input error that says what was expected and what the file holds; the caller adds
// the file and the key.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/InputError.h"
#include "cli/SettingsReader.h"
#include "frame/BayesFTest.h"
#include "frame/detail/EnumWords.h"

namespace kqcli {

/// The value as a message shows it: short scalars as written, lists and objects by their kind.
std::string Got(const Json& value);

/// "expected <what>, got <the value>".
std::string Expected(std::string_view what, const Json& value);

/// A double as a message writes it: at most 15 significant digits, "null" for the missing value.
std::string NumberText(double x);

/// A whole number within [lowest, highest].
Result<long long> ToWhole(const Json& value, long long lowest, long long highest);

/// A whole number that an int holds.
Result<int> ToInt(const Json& value);

/// A number; null is the missing value.
Result<double> ToReal(const Json& value);

/// true or false.
Result<bool> ToBool(const Json& value);

/// A word as enumeration words are compared: lower case, without blanks, hyphens and underscores, so
/// that "One-Sample", "one sample" and "OneSample" are the same word.
std::string Folded(std::string_view word);

/// A column of the data, by name (which must be unique) or by index.
Result<int> ToVariable(const Json& value, const std::vector<std::string>& columns);

/// A list of columns, each as ToVariable takes it.
Result<std::vector<int>> ToVariables(const Json& value, const std::vector<std::string>& columns);

/// An F test object: "UseIntercept", "Predictors", "TestValues" and "Label", each optional.
Result<KQBSN_850::BayesFTest> ToFTest(const Json& value, const std::vector<std::string>& columns);

/// The F tests as the objects ToFTest reads.
Json FTestsToJson(const std::vector<KQBSN_850::BayesFTest>& tests);

/// Numbers, the missing value as null.
Json RealsToJson(const std::vector<double>& values);

/// The number of values of an enumeration: its words run from 0 to the first number without one.
template <class Enum>
std::int32_t NEnumValues() {
  std::int32_t n = 0;
  while (!KQBSN_850::EnumWord(static_cast<Enum>(n)).empty()) ++n;
  return n;
}

/// The words of an enumeration with their numbers: 0 "Posterior", 1 "Bayes Factor", ...
template <class Enum>
std::string EnumWords() {
  std::string words;
  for (std::int32_t i = 0; i < NEnumValues<Enum>(); ++i)
    words += (i == 0 ? "" : ", ") + std::to_string(i) + " \"" +
             std::string(KQBSN_850::EnumWord(static_cast<Enum>(i))) + "\"";
  return words;
}

/// An enumeration value, by number or by word (compared as Folded).
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
      if (Folded(value.get<std::string>()) == Folded(KQBSN_850::EnumWord(static_cast<Enum>(i))))
        return static_cast<Enum>(i);
  return InputError{Expected("a number or a word of " + EnumWords<Enum>(), value)};
}

/// A list whose entries each convert with element; an error names the entry.
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

}  // namespace kqcli
