#pragma once
// SettingsRules: one rule per settings key. A rule says in which phase the key is applied, parses its
// JSON value and hands it to the setter, reads the field back for the output, says why a checking
// setter refuses a value, screens the applied value where the library would take nonsense, and
// describes the key for the settings reference.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/SettingsReader.h"
#include "frame/BSNSettings.h"

namespace kqcli {

/// What went wrong with one value, without the file and key; an empty text means that the setter
/// refused the value, which the key's rule then explains.
using Problem = std::optional<std::string>;

/// When a key is applied: the model type first (it brings its model's defaults), then the variable
/// lists (setters that check a list against them see them), then every other key in file order.
enum class Phase { ModelType, VariableLists, Rest };

/// Parses a key's value and hands it to the setter; columns are the data's column names.
using ApplyFn = Problem (*)(KQBSN_850::BSNSettings&, const Json&, const std::vector<std::string>& columns);
/// The field's value as JSON, for the output.
using ReadFn = Json (*)(const KQBSN_850::BSNSettings&);
/// Judges the applied value before the library sees it: a problem when it makes no sense.
using ScreenFn = Problem (*)(const KQBSN_850::BSNSettings&);
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

/// Every key, the model type first, then the variable lists, then the others in the order of the
/// settings reference.
const std::vector<KeyRule>& Rules();
/// The rule of a key; null for an unknown key.
const KeyRule* FindRule(std::string_view key);
/// " (did you mean \"Key\"?)" naming the known key closest to an unknown one, when it is close enough
/// to be a slip; empty otherwise.
std::string Suggestion(std::string_view key);

}  // namespace kqcli
