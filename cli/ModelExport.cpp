#include "cli/ModelExport.h"

#include <fstream>
#include <sstream>

#include "cli/Text.h"
#include "companion/KQApplicInfo4XML.h"
#include "companion/KQCommonCodes.h"
#include "regression/BSNMultiRegOutputStats.h"

namespace kqcli {

int WriteModelFile(const FittedRun& run, const RunOptions& options, std::ostream& err) {
  const auto* model = dynamic_cast<const KQBSN_850::BSNMultiRegOutputStats*>(run.component->GetOutputStats());
  if (model == nullptr) {
    err << "kqbayes: --pmml: the analysis made no model to export\n";
    return kExitAnalysisError;
  }
  const KQXML_850::KQApplicInfo4XML application("kqbayes", "8.5.0");
  std::ostringstream document;
  const KQCommon_850::KQStatus status =
      model->ExportPMML(run.prepared.varList, document, options.pmmlCovariance, &application);
  if (status.IsError()) {
    err << "kqbayes: --pmml: the model could not be exported: "
        << OneLine(std::string(KQCommon_850::CommonMessageText(status.GetErrorCode()))) << " (code "
        << status.GetErrorCode() << ")\n";
    return kExitAnalysisError;
  }
  std::ofstream file(options.pmmlPath, std::ios::binary | std::ios::trunc);
  file << document.str();
  file.close();
  if (!file) return InputFailure(err, InputError{options.pmmlPath + ": cannot write the PMML document"});
  return kExitOK;
}

}  // namespace kqcli
