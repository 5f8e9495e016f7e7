// A small host program: reads a CSV file of numbers into memory, describes a one-sample
// analysis in a settings object, validates and displays it, builds a component over the data and
// prints what the component reports.
//
//   kqhost DATA.csv

#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <kqbayes.h>

using namespace KQBSN_850;
using namespace KQCommon_850;

namespace {

// Reads a plain CSV file: a header of names, then numbers; an empty cell is missing.
bool ReadCsv(const std::string& path, KQMemoryDataSet& data) {
  std::ifstream in(path);
  std::string line;
  if (!std::getline(in, line)) return false;
  std::vector<std::string> names;
  std::stringstream header(line);
  for (std::string name; std::getline(header, name, ',');) names.push_back(name);
  std::vector<std::vector<double>> rows;
  while (std::getline(in, line)) {
    std::vector<double> row;
    std::size_t start = 0;
    for (std::size_t column = 0; column < names.size(); ++column) {
      const std::size_t end = std::min(line.find(',', start), line.size());
      double value = KQMV::Missing();
      if (end > start && std::from_chars(line.data() + start, line.data() + end, value).ec != std::errc{})
        return false;
      row.push_back(value);
      start = end + 1;
    }
    rows.push_back(row);
  }
  data = KQMemoryDataSet::FromRows(names, rows);
  return true;
}

void PrintStatus(const char* what, const KQStatus& status) {
  std::string message;
  StatusMessageText(status.GetErrorCode(), message);
  std::cout << what << ": code " << status.GetErrorCode() << (status.IsError() ? " (error)" : "")
            << (status.IsWarning() ? " (warning)" : "") << (message.empty() ? "" : " " + message) << '\n';
}

class PrintProgress final : public ProgressListener {
 public:
  void ReportProgress(const ProgressReport& report) override {
    std::cout << "  progress: " << report.DiscreteMeasure("records") << " records\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: kqhost DATA.csv\n";
    return 2;
  }
  KQMemoryDataSet data;
  if (!ReadCsv(argv[1], data)) {
    std::cerr << "cannot read " << argv[1] << '\n';
    return 2;
  }
  const KQVarList vars = data.MakeVarList();
  std::cout << "read " << data.GetNRows() << " records of " << vars.GetNVars() << " variables\n";

  // The mean of "score" and "gain" against 12 and 0, weighted by "weight".
  PrintProgress progress;
  BSNSettings settings;
  settings.SetModelType(BSNConst::ModelTypes::OneSample, true);
  settings.SetTestDistType(BSNConst::DistTypes::Normal);
  settings.SetAnalysType(BSNConst::AnalysTypes::Both);
  settings.SetCovariates({vars.FindVar("score"), vars.FindVar("gain")});
  settings.SetNullValues({12.0, 0.0});
  settings.SetFrequencyWeightVar(vars.FindVar("weight"));
  settings.SetProgressFrequency(4);
  settings.SetProgressListener(&progress);

  const BSNSettings copy = settings;  // settings are values: copies are independent
  settings = copy;
  const KQStatus validation = settings.IsValidSettings();
  PrintStatus("validation", validation);
  if (validation.IsError()) return 1;
  settings.Display(std::cout);

  BSNComponent component(settings, vars);
  KQMemoryRecordIter iter(data);
  const KQStatus status = component.BuildModel(iter);
  PrintStatus("build", status);
  std::cout << "built: " << (component.IsModelBuilt() ? "yes" : "no")
            << ", warnings: " << component.GetWarningMessages().Size()
            << ", result record: " << (component.GetOutputStats() != nullptr ? "yes" : "none") << '\n';
  for (const KQStatus& warning : component.GetWarningMessages().GetWarnings(true))
    PrintStatus("warning", warning);
  if (const BSNOutputStats* result = component.GetOutputStats()) result->Display(std::cout);

  std::cout << "status messages:\n";
  for (const BSNStatusInfo& info : StatusTable())
    std::cout << "  " << info.code << ' ' << info.name << ": " << info.message << '\n';
  return 0;
}
