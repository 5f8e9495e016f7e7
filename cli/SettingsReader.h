#pragma once
// SettingsReader: turns a settings file (one JSON object) into a BSNSettings.
//
// Each key is the name of a BSNSettings setter without its "Set" prefix ("CILevel", "Covariates",
// "2ndRelatedList", ...). "ModelType" is applied first, with the model's defaults; then the variable
// lists ("Factors", "Covariates", "FullModFactors", "FullModCovariates"), so that the setters that
// check a list against them see them; then every other key in file order. Variables are 0-based
// column indices or column names. A JSON null is the missing value wherever a real number is expected
// (also inside lists). Enumerations take their number or their display word ("Both", "JZS"), in any
// case and with or without blanks and hyphens ("bayes factor", "OneSample").
// "FTests" is a list of objects with the keys "UseIntercept", "Predictors", "TestValues", "Label".
// Comments (// and /* */) are allowed, so that a settings file can say why a value was chosen.
//
// An unknown or repeated key, a value of the wrong type, an unknown column name, an index outside the
// data's columns, or a value that its setter refuses is an input error naming the file and the key.
// "GroupValues" is the command's own key (two values of the grouping column); it sets no field.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/CsvReader.h"
#include "cli/InputError.h"
#include "frame/BSNSettings.h"

namespace kqcli {

using Json = nlohmann::ordered_json;

/// A settings file read as JSON whose keys are all known, not yet applied.
struct SettingsDocument {
  std::string fileName;
  Json root;
};

/// Parses settings text; messages name it fileName.
Result<SettingsDocument> ParseSettingsText(std::string_view text, const std::string& fileName);
Result<SettingsDocument> ReadSettingsFile(const std::string& path);

/// Applies the document to new settings, resolving variables against the data's column names.
Result<KQBSN_850::BSNSettings> ApplySettings(const SettingsDocument& document,
                                             const std::vector<std::string>& columnNames);

/// Per column, how the data reader treats it: a column the settings use only as a factor or as the
/// group variable may hold text coded as categories, another column they use holds numbers, and a
/// column they do not use is skipped.
std::vector<ColumnUse> ColumnUses(const KQBSN_850::BSNSettings& settings, std::size_t nColumns);

/// The first value, among the keys of the document that the chosen analysis reads (every key for an
/// analysis the command does not know), that makes no sense: an enumeration number without a word, a
/// credible level outside (0, 100), a Beta or Gamma prior parameter that is not positive. The library
/// would answer such values with a misleading result or an unrelated message.
std::optional<InputError> ScreenSettings(const SettingsDocument& document,
                                         const KQBSN_850::BSNSettings& settings);

/// One note for each key of the document that the chosen analysis does not read.
std::vector<std::string> UnreadKeys(const SettingsDocument& document, const KQBSN_850::BSNSettings& settings);

/// The command-only key "GroupValues": the values of the grouping column (numbers or texts) that stand
/// for the first and the second group.
std::optional<std::array<Json, 2>> GroupValues(const SettingsDocument& document);

/// The settings reference as a Markdown table: each key with its kind of value, its default under
/// each model type, its words and the analyses that read it.
std::string SettingsReferenceMarkdown();

/// The settings as an object with the keys a settings file uses, in the order they are applied.
Json SettingsToJson(const KQBSN_850::BSNSettings& settings);

/// Every key a settings file may hold, in the order they are applied.
std::vector<std::string_view> SettingsKeys();

}  // namespace kqcli
