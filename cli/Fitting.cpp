#include "cli/Fitting.h"

#include "cli/AnalysisKeys.h"
#include "cli/CellScreening.h"
#include "cli/CsvReader.h"
#include "cli/FactorSizes.h"
#include "cli/RecordRegistry.h"
#include "cli/SettingsReader.h"
#include "cli/Text.h"
#include "frame/detail/EnumWords.h"

namespace kqcli {

using KQBSN_850::BSNSettings;

int InputFailure(std::ostream& err, const InputError& error) {
  err << "kqbayes: " << OneLine(error.message) << '\n';
  return kExitInputError;
}

int Interrupted(std::ostream& err) {
  err << "kqbayes: interrupted\n";
  return kExitInterrupted;
}

void Warn(std::ostream& err, const std::string& note) {
  err << "kqbayes: warning: " << OneLine(note) << '\n';
}

std::optional<InputError> CheckExportOptions(const RunOptions& options, const BSNSettings& settings) {
  using KQBSN_850::BSNConst::ModelTypes;
  const ModelTypes type = settings.GetModelType();
  if (type == ModelTypes::Regression || type == ModelTypes::Anova) return std::nullopt;
  const std::string family(KQBSN_850::EnumWord(type));
  if (options.scoring)
    return InputError{"score: only a Regression or an Anova model scores records, not " + family};
  if (!options.pmmlPath.empty())
    return InputError{"--pmml: only a Regression or an Anova model can be written as PMML, not " + family};
  return std::nullopt;
}

int FitFromFiles(const RunOptions& options, std::ostream& err, KQCommon_850::KQQueryCancel& interrupt,
                 FittedRun& run) {
  Result<SettingsDocument> document = ReadSettingsFile(options.settingsPath);
  if (!document.IsOK()) return InputFailure(err, document.Error());

  std::optional<BSNSettings>& settings = run.settings;
  CsvOptions csvOptions;
  csvOptions.onHeader = [&](const std::vector<std::string>& names) -> Result<std::vector<ColumnUse>> {
    Result<BSNSettings> applied = ApplySettings(document.Value(), names);
    if (!applied.IsOK()) return applied.Error();
    if (!options.skipValidation)
      if (std::optional<InputError> problem = ScreenSettings(document.Value(), applied.Value()))
        return *problem;
    if (std::optional<InputError> problem = CheckExportOptions(options, applied.Value())) return *problem;
    settings = applied.Value();
    return ColumnUses(*settings, names.size());
  };
  csvOptions.shouldStop = [&interrupt] { return interrupt.IsCancel(); };
  csvOptions.threads = options.threads;
  Result<CsvTable> table = ReadCsvFile(options.dataPath, csvOptions);
  if (interrupt.IsCancel()) return Interrupted(err);
  if (!table.IsOK()) return InputFailure(err, table.Error());

  // Factor sizes that the settings leave out come from the data. The note is written at once, so that
  // a message about a factor's codes that may follow reads against it.
  Result<std::optional<std::string>> sized =
      SizeFactorsFromData(table.Value(), document.Value(), *settings, options.dataPath);
  if (!sized.IsOK()) return InputFailure(err, sized.Error());
  if (sized.Value()) Warn(err, *sized.Value());

  // Other notes about the settings and the data are written once both have been accepted.
  std::vector<std::string> notes = UnreadKeys(document.Value(), *settings);
  if (const AnalysisKeys* analysis = FindAnalysisKeys(*settings);
      analysis != nullptr && Reads(*analysis, "GroupVar")) {
    Result<std::optional<std::string>> grouped =
        CodeGroups(table.Value(), *settings, GroupValues(document.Value()), options.dataPath);
    if (!grouped.IsOK()) return InputFailure(err, grouped.Error());
    if (grouped.Value()) notes.push_back(*grouped.Value());
  }
  if (std::optional<std::string> note = FrequencyWeightNote(table.Value(), *settings, options.dataPath))
    notes.push_back(*note);

  RunReport& report = run.report;
  report.dataFile = options.dataPath;
  report.nRecords = table.Value().GetNRows();
  for (std::size_t j = 0; j < table.Value().names.size(); ++j)
    if (!table.Value().categories[j].empty())
      report.categoryCodes.emplace_back(table.Value().names[j], table.Value().categories[j]);
  run.columnNames = table.Value().names;
  run.categoryTexts = table.Value().categories;

  if (std::optional<InputError> missing = FindMissingCell(table.Value(), *settings, options.dataPath))
    return InputFailure(err, *missing);
  Result<PreparedData> prepared = PrepareData(std::move(table.Value()), *settings, options.dataPath);
  if (!prepared.IsOK()) return InputFailure(err, prepared.Error());
  run.prepared = std::move(prepared.Value());
  for (const std::string& note : notes) Warn(err, note);
  report.screened = run.prepared.screened;
  report.recordsDropped = run.prepared.recordsDropped;

  if (!options.skipValidation) {
    report.validation = settings->IsValidSettings();
    if (report.validation->IsError()) {
      report.settings = *settings;
      return kExitAnalysisError;
    }
  }

  if (options.threads > 1) {
    settings->SetThreadFactory(&run.threadFactory);
    settings->SetMaxThreadNum(options.threads);
  }
  run.progress = std::make_unique<ProgressBar>(err, run.prepared.data.GetNRows());
  if (options.showProgress) settings->SetProgressListener(run.progress.get());
  settings->SetCancelPointer(&interrupt);
  report.settings = *settings;

  run.component = std::make_unique<KQBSN_850::BSNComponent>(*settings, run.prepared.varList);
  KQCommon_850::KQMemoryRecordIter records(run.prepared.data);
  run.component->BuildModel(records);
  report.status = run.component->GetStatus();
  run.progress->Finish();
  if (interrupt.IsCancel()) return Interrupted(err);

  report.warnings = run.component->GetWarningMessages().GetWarnings(true);
  report.built = run.component->IsModelBuilt();
  if (const KQBSN_850::BSNOutputStats* record = run.component->GetOutputStats()) {
    report.view = DescribeRecord(*record, DataColumns{run.columnNames, run.categoryTexts});
    report.result = RecordToJson(*record, *report.view);
  }
  return report.status->IsError() ? kExitAnalysisError : kExitOK;
}

}  // namespace kqcli
