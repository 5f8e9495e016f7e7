#pragma once
// Runner: the "run" command. It reads the settings, then the data (the settings are applied, and
// unless asked not to screened for values that make no sense, as soon as the data's header is known,
// so that a settings error stops before any record is read, and only the columns the settings name
// are read), checks the grouping column, screens the records where the analysis leaves that to the
// host, validates the settings unless asked not to, builds a BSNComponent over an in-memory
// multi-pass iterator of the data, and writes the result as JSON or as tables. Keys the analysis does
// not read, records left out by the group values and odd frequency weights are warnings on err, one
// line each.
//
// Exit status: 0 when the build ended without an error status (warnings allowed); 1 when the
// validation or the build returned an error status; 2 for an input error (unreadable file, bad CSV,
// bad settings); 130 when the run was interrupted, in which case nothing is written to out.

#include <ostream>
#include <string>

#include "companion/KQCancel.h"

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
  bool showProgress = false;  ///< draw a progress bar on err (the caller decides: a terminal, not --quiet)
};

/// Runs the command: the result goes to out, messages and the progress bar to err. interrupt answers
/// whether the user asked to stop; it is polled while the data are read and by the analysis.
int RunCommand(const RunOptions& options, std::ostream& out, std::ostream& err,
               KQCommon_850::KQQueryCancel& interrupt);

}  // namespace kqcli
