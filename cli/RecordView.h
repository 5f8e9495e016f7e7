#pragma once
// RecordView: one result record as an ordered list of fields, each the value of one getter keyed by
// the getter's name without "Get". The JSON output writes the fields as they are; the tables for a
// person group the same fields by family (descriptives, classical test, Bayes factor, posterior),
// so that the two outputs cannot drift apart. Each record type has one function that fills a view
// (cli/records/), registered in RecordRegistry.cpp.

#include <algorithm>
#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "cli/JsonWriter.h"
#include "cli/SettingsReader.h"
#include "companion/KQRegrTables.h"
#include "frame/BSNSettings.h"
#include "frame/BayesEstimation.h"

namespace kqcli {

/// The table a field belongs to; None keeps it to the JSON output (lists of curves, indices).
enum class Family { None, Data, Test, BayesFactor, Posterior };

/// What the describers know of the data's columns: their names and, for a column that held text, the
/// texts of its categories by code (empty for a column of numbers).
struct DataColumns {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> categories;
};

struct Field {
  std::string key;
  Json value;
  Family family = Family::None;
  std::string column;  ///< the field's column header in its family's table
};

/// The two hypotheses that one Bayes factor weighs, in words.
struct Hypotheses {
  std::string null;
  std::string alternative;
};

/// A table for a person that the describer lays out itself (cells as text, the first line the header),
/// printed before the family's own table (Family::None: after all the families' tables); for results
/// that are not one row per variable (a contingency table, tests in rows, a correlation matrix).
struct TextTable {
  Family family;
  std::string title;
  std::vector<std::vector<std::string>> lines;
};

struct RecordView {
  std::string record;                  ///< the record's class name
  std::vector<std::string> rows;       ///< one label per variable (or pair, or coefficient)
  std::string rowHeader = "Variable";  ///< the header of the label column
  std::vector<Field> fields;
  std::vector<std::pair<Family, std::string>> familyTitles;  ///< the title of each family's table

  /// The field with the Bayes factors, the field flagging those stored as logarithms (may be empty),
  /// and whether the factor is the evidence for the null model over the alternative (BF01).
  std::string factorKey;
  std::string logFlagKey;
  bool factorFavoursNull = true;
  std::vector<Hypotheses> hypotheses;  ///< per row
  std::vector<TextTable> textTables;

  /// Appends a field holding the getter's value.
  template <class T>
  void Add(std::string key, const T& value, Family family = Family::None, std::string column = {});
  const Field* Find(std::string_view key) const;
};

/// The JSON form of a getter's value: numbers (the missing value, NaN and infinities as null),
/// flags, texts, lists of them, pairs as two-element lists, and the library's value records.
template <class T>
Json ToJson(const T& value) {
  if constexpr (std::is_same_v<T, bool>) {
    return value;
  } else if constexpr (std::is_integral_v<T>) {
    return static_cast<long long>(value);
  } else if constexpr (std::is_floating_point_v<T>) {
    return JsonNumber(static_cast<double>(value));
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<long long>(value);
  } else if constexpr (std::is_same_v<T, std::string>) {
    return value;
  } else if constexpr (std::is_same_v<T, KQBSN_850::BSNSettings>) {
    return SettingsToJson(value);
  } else if constexpr (std::is_same_v<T, KQBSN_850::BayesEstimation>) {
    return Json{{"mode", JsonNumber(value.mode)},
                {"mean", JsonNumber(value.mean)},
                {"variance", JsonNumber(value.variance)},
                {"lower", JsonNumber(value.lower)},
                {"upper", JsonNumber(value.upper)}};
  } else if constexpr (std::is_same_v<T, KQMath_850::KQTestStats>) {
    return Json{{"type", value.GetTestType()},
                {"statistic", JsonNumber(value.GetWald())},
                {"df", JsonNumber(value.GetDF())},
                {"df2", JsonNumber(value.GetDF2())},
                {"sig", JsonNumber(value.GetSig())}};
  } else if constexpr (std::is_same_v<T, KQMath_850::KQRegANOVA>) {
    return Json{{"ss_reg", JsonNumber(value.ssReg)},     {"df_reg", JsonNumber(value.dfReg)},
                {"ms_reg", JsonNumber(value.msReg)},     {"f", JsonNumber(value.f)},
                {"sig", JsonNumber(value.sig)},          {"ss_res", JsonNumber(value.ssRes)},
                {"df_res", JsonNumber(value.dfRes)},     {"ms_res", JsonNumber(value.msRes)},
                {"ss_total", JsonNumber(value.ssTotal)}, {"df_total", JsonNumber(value.dfTotal)}};
  } else if constexpr (std::is_same_v<T, KQMath_850::KQRegrParameter>) {
    return Json{{"effect", value.effect}, {"var", value.var}, {"category", value.category}};
  } else if constexpr (requires { value.first, value.second; }) {
    return Json::array({ToJson(value.first), ToJson(value.second)});
  } else if constexpr (requires { value.begin(), value.end(); }) {
    // Ranges of any element type, std::vector<bool> included (its elements are proxies).
    using Element = std::remove_cvref_t<decltype(*value.begin())>;
    using Stored = std::conditional_t<std::is_same_v<T, std::vector<bool>>, bool, Element>;
    Json list = Json::array();
    for (auto&& item : value) list.push_back(ToJson(static_cast<Stored>(item)));
    return list;
  } else {
    static_assert(!sizeof(T), "no JSON form for this getter's type");
  }
}

template <class T>
void RecordView::Add(std::string key, const T& value, Family family, std::string column) {
  fields.push_back({std::move(key), ToJson(value), family, std::move(column)});
}

inline const Field* RecordView::Find(std::string_view key) const {
  for (const Field& field : fields)
    if (field.key == key) return &field;
  return nullptr;
}

/// Entry i of a field's value; a plain value is its own only entry.
inline const Json& Entry(const Json& value, std::size_t i) { return value.is_array() ? value[i] : value; }

/// True when entry i of the view's factor field is kept as its logarithm.
inline bool IsLogFactor(const RecordView& view, std::size_t i) {
  const Field* flags = view.logFlagKey.empty() ? nullptr : view.Find(view.logFlagKey);
  if (flags == nullptr || (flags->value.is_array() && i >= flags->value.size())) return false;
  const Json& flag = Entry(flags->value, i);
  return flag.is_boolean() && flag.get<bool>();
}

/// The labels of the view's Bayes factors: the rows, for a list of factors (one per row); for a record
/// with one factor of the whole model, its only row, or "Model" when it has several (coefficients).
inline std::vector<std::string> FactorRows(const RecordView& view) {
  const Field* factors = view.Find(view.factorKey);
  if (factors == nullptr) return {};
  if (factors->value.is_array())
    return {view.rows.begin(), view.rows.begin() + static_cast<std::ptrdiff_t>(
                                                       std::min(factors->value.size(), view.rows.size()))};
  return {view.rows.size() == 1 ? view.rows[0] : std::string("Model")};
}

/// The hypotheses of row i in words, as the verdicts name them: "H0 (mean = 0)", "H1 (mean != 0)".
inline Hypotheses NamedHypotheses(const RecordView& view, std::size_t i) {
  const Hypotheses words = i < view.hypotheses.size() ? view.hypotheses[i] : Hypotheses{"H0", "H1"};
  return {"H0 (" + words.null + ")", "H1 (" + words.alternative + ")"};
}

}  // namespace kqcli
