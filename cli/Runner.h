#pragma once
// Runner: the "run" command: fits the analysis the settings describe (cli/Fitting.h), writes the result
// as JSON or as tables and, when asked, the fitted regression or ANOVA model as a PMML document.
//
// Exit status: 0 when the build ended without an error status (warnings allowed); 1 when the
// validation or the build returned an error status, or the model could not be exported; 2 for an
// input error (unreadable file, bad CSV, bad settings, a PMML file that cannot be written); 130 when
// the run was interrupted, in which case nothing is written to out.

#include <ostream>

#include "cli/Fitting.h"
#include "companion/KQCancel.h"

namespace kqcli {

/// Runs the command: the result goes to out, messages and the progress bar to err. interrupt answers
/// whether the user asked to stop; it is polled while the data are read and by the analysis.
int RunCommand(const RunOptions& options, std::ostream& out, std::ostream& err,
               KQCommon_850::KQQueryCancel& interrupt);

}  // namespace kqcli
