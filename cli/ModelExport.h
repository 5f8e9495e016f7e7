#pragma once
// ModelExport: writes a fitted regression or ANOVA model as a PMML document (--pmml FILE). The variable
// list handed to the export names the categories of each factor by the texts the data file gave them
// (their codes when the column held numbers). The document is made in memory first, so that a failed
// export leaves no file behind and an existing file untouched.

#include <ostream>

#include "cli/Fitting.h"

namespace kqcli {

/// Exports the model of a successful build to options.pmmlPath. Answers kExitOK, kExitAnalysisError
/// when the export returned an error status (its message on err), or kExitInputError when the file
/// cannot be written.
int WriteModelFile(const FittedRun& run, const RunOptions& options, std::ostream& err);

}  // namespace kqcli
