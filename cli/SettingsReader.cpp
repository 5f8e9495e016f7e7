#include "cli/SettingsReader.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "cli/AnalysisKeys.h"
#include "cli/JsonWriter.h"
#include "cli/SettingsRules.h"
#include "cli/SettingsValues.h"
#include "cli/Text.h"
#include "frame/detail/EnumWords.h"

namespace kqcli {
namespace {

using namespace KQBSN_850;

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
