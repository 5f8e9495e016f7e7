#include "cli/Runner.h"

#include <optional>

#include "cli/AnalysisKeys.h"
#include "cli/CellScreening.h"
#include "cli/CsvReader.h"
#include "cli/DataPreparation.h"
#include "cli/ProgressBar.h"
#include "cli/RecordRegistry.h"
#include "cli/Report.h"
#include "cli/SettingsReader.h"
#include "cli/Text.h"
#include "companion/KQThread.h"
#include "frame/BSNComponent.h"

namespace kqcli {
namespace {

using KQBSN_850::BSNSettings;

int InputFailure(std::ostream& err, const InputError& error) {
  err << "kqbayes: " << OneLine(error.message) << '\n';
  return kExitInputError;
}

void Warn(std::ostream& err, const std::string& note) {
  err << "kqbayes: warning: " << OneLine(note) << '\n';
}

int Interrupted(std::ostream& err) {
  err << "kqbayes: interrupted\n";
  return kExitInterrupted;
}

void Write(std::ostream& out, const RunOptions& options, const RunReport& report) {
  if (options.json)
    WriteJson(out, ReportToJson(report));
  else
    PrintTables(out, report);
}

}  // namespace

int RunCommand(const RunOptions& options, std::ostream& out, std::ostream& err,
               KQCommon_850::KQQueryCancel& interrupt) {
  Result<SettingsDocument> document = ReadSettingsFile(options.settingsPath);
  if (!document.IsOK()) return InputFailure(err, document.Error());

  std::optional<BSNSettings> settings;
  CsvOptions csvOptions;
  csvOptions.onHeader = [&](const std::vector<std::string>& names) -> Result<std::vector<ColumnUse>> {
    Result<BSNSettings> applied = ApplySettings(document.Value(), names);
    if (!applied.IsOK()) return applied.Error();
    if (!options.skipValidation)
      if (std::optional<InputError> problem = ScreenSettings(document.Value(), applied.Value()))
        return *problem;
    settings = applied.Value();
    return ColumnUses(*settings, names.size());
  };
  csvOptions.shouldStop = [&interrupt] { return interrupt.IsCancel(); };
  csvOptions.threads = options.threads;
  Result<CsvTable> table = ReadCsvFile(options.dataPath, csvOptions);
  if (interrupt.IsCancel()) return Interrupted(err);
  if (!table.IsOK()) return InputFailure(err, table.Error());

  // Notes about the settings and the data are written once both have been accepted.
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

  RunReport report;
  report.dataFile = options.dataPath;
  report.nRecords = table.Value().GetNRows();
  for (std::size_t j = 0; j < table.Value().names.size(); ++j)
    if (!table.Value().categories[j].empty())
      report.categoryCodes.emplace_back(table.Value().names[j], table.Value().categories[j]);
  const std::vector<std::string> columnNames = table.Value().names;

  if (std::optional<InputError> missing = FindMissingCell(table.Value(), *settings, options.dataPath))
    return InputFailure(err, *missing);
  Result<PreparedData> prepared = PrepareData(std::move(table.Value()), *settings, options.dataPath);
  if (!prepared.IsOK()) return InputFailure(err, prepared.Error());
  for (const std::string& note : notes) Warn(err, note);
  report.screened = prepared.Value().screened;
  report.recordsDropped = prepared.Value().recordsDropped;

  if (!options.skipValidation) {
    report.validation = settings->IsValidSettings();
    if (report.validation->IsError()) {
      report.settings = *settings;
      Write(out, options, report);
      return kExitAnalysisError;
    }
  }

  KQThread_850::KQStdThreadFactory threadFactory;
  if (options.threads > 1) {
    settings->SetThreadFactory(&threadFactory);
    settings->SetMaxThreadNum(options.threads);
  }
  ProgressBar progress(err, prepared.Value().data.GetNRows());
  if (options.showProgress) settings->SetProgressListener(&progress);
  settings->SetCancelPointer(&interrupt);
  report.settings = *settings;

  KQBSN_850::BSNComponent component(*settings, prepared.Value().varList);
  KQCommon_850::KQMemoryRecordIter records(prepared.Value().data);
  component.BuildModel(records);
  report.status = component.GetStatus();
  progress.Finish();
  if (interrupt.IsCancel()) return Interrupted(err);

  report.warnings = component.GetWarningMessages().GetWarnings(true);
  report.built = component.IsModelBuilt();
  if (const KQBSN_850::BSNOutputStats* record = component.GetOutputStats()) {
    report.view = DescribeRecord(*record, columnNames);
    report.result = RecordToJson(*record, report.view);
  }
  Write(out, options, report);
  return report.status->IsError() ? kExitAnalysisError : kExitOK;
}

}  // namespace kqcli
