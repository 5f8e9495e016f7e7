#include "cli/Runner.h"

#include "cli/ModelExport.h"

namespace kqcli {
namespace {

void Write(std::ostream& out, const RunOptions& options, const RunReport& report) {
  if (options.json)
    WriteJson(out, ReportToJson(report));
  else
    PrintTables(out, report);
}

}  // namespace

int RunCommand(const RunOptions& options, std::ostream& out, std::ostream& err,
               KQCommon_850::KQQueryCancel& interrupt) {
  FittedRun run;
  const int status = FitFromFiles(options, err, interrupt, run);
  if (status != kExitOK && status != kExitAnalysisError) return status;
  Write(out, options, run.report);
  if (status != kExitOK || options.pmmlPath.empty()) return status;
  return WriteModelFile(run, options, err);
}

}  // namespace kqcli
