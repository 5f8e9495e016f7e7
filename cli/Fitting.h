#pragma once
// Fitting: the steps the "run" and "score" commands share. It reads the settings, then the data (the
// settings are applied, and unless asked not to screened for values that make no sense, as soon as the
// data's header is known, so that a settings error stops before any record is read, and only the
// columns the settings name are read), checks the grouping column, screens the records where the
// analysis leaves that to the host, validates the settings unless asked not to, and builds a
// BSNComponent over an in-memory multi-pass iterator of the data. Keys the analysis does not read,
// records left out by the group values and odd frequency weights are warnings on err, one line each.

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/DataPreparation.h"
#include "cli/ProgressBar.h"
#include "cli/Report.h"
#include "companion/KQCancel.h"
#include "companion/KQThread.h"
#include "frame/BSNComponent.h"

namespace kqcli {

inline constexpr int kExitOK = 0;
inline constexpr int kExitAnalysisError = 1;
inline constexpr int kExitInputError = 2;
inline constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report it

struct RunOptions {
  std::string settingsPath;
  std::string dataPath;
  bool json = false;
  bool skipValidation = false;
  int threads = 1;
  bool showProgress = false;    ///< draw a progress bar on err (the caller decides: a terminal, not --quiet)
  std::string pmmlPath;         ///< write the fitted model here as PMML (regression and ANOVA); empty: none
  bool pmmlCovariance = false;  ///< put the parameters' (X'WX)^-1 into the PMML document
  bool scoring = false;         ///< the fitted model will score new records (regression and ANOVA)
};

/// What a fit leaves for the command to report, score or export. The component reads its settings and
/// variable list through the members here: the object is not movable.
struct FittedRun {
  FittedRun() = default;
  FittedRun(const FittedRun&) = delete;
  FittedRun& operator=(const FittedRun&) = delete;

  std::optional<KQBSN_850::BSNSettings> settings;
  PreparedData prepared;
  /// Per column of the data file: its name, and the texts of its categories by code (empty for numbers).
  std::vector<std::string> columnNames;
  std::vector<std::vector<std::string>> categoryTexts;
  KQThread_850::KQStdThreadFactory threadFactory;
  std::unique_ptr<ProgressBar> progress;
  std::unique_ptr<KQBSN_850::BSNComponent> component;  ///< null when the validation stopped the run
  RunReport report;
};

/// Screens the options against the analysis: an input error when a PMML export or scoring is asked of
/// an analysis without a linear model.
std::optional<InputError> CheckExportOptions(const RunOptions& options,
                                             const KQBSN_850::BSNSettings& settings);

/// Reads, checks and builds. Answers kExitOK when the build ended without an error status,
/// kExitAnalysisError when the validation or the build returned one (the report says which), and
/// kExitInputError or kExitInterrupted when the command must stop; their message is already on err.
int FitFromFiles(const RunOptions& options, std::ostream& err, KQCommon_850::KQQueryCancel& interrupt,
                 FittedRun& run);

/// Writes one line "kqbayes: <message>" on err.
int InputFailure(std::ostream& err, const InputError& error);
/// Writes "kqbayes: interrupted" on err; answers kExitInterrupted.
int Interrupted(std::ostream& err);
/// Writes one line "kqbayes: warning: <note>" on err.
void Warn(std::ostream& err, const std::string& note);

}  // namespace kqcli
