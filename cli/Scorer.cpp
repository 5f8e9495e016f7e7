#include "cli/Scorer.h"

#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

#include "cli/CsvReader.h"
#include "cli/Text.h"
#include "frame/BSNStatusCodes.h"
#include "regression/BSNMultiRegOutputStats.h"

namespace kqcli {
namespace {

using KQBSN_850::BayesEstimation;
using KQCommon_850::KQMV;

/// A variable the model reads from each record to score.
struct Predictor {
  int var;                ///< position in the fitting data (and in the model's records)
  bool isFactor;          ///< a factor of size categories, else a covariate
  int size;               ///< categories of a factor
  std::size_t newColumn;  ///< its column in NEWDATA
};

std::vector<Predictor> ModelPredictors(const KQBSN_850::BSNSettings& settings) {
  std::vector<Predictor> predictors;
  const std::vector<int>& factors = settings.GetFactors();
  const std::vector<int>& sizes = settings.GetFactorSizes();
  // The one-way ANOVA reads its first factor only, and no covariate.
  const bool anova = settings.GetModelType() == KQBSN_850::BSNConst::ModelTypes::Anova;
  const std::size_t nFactors = anova ? std::min<std::size_t>(1, factors.size()) : factors.size();
  for (std::size_t i = 0; i < nFactors; ++i)
    predictors.push_back({factors[i], true, i < sizes.size() ? sizes[i] : 0, 0});
  if (!anova)
    for (int var : settings.GetCovariates()) predictors.push_back({var, false, 0, 0});
  return predictors;
}

/// One record of the model's layout: the predictors' values at their positions, missing elsewhere.
class ScoredRecord final : public KQCommon_850::Record {
 public:
  explicit ScoredRecord(std::size_t width) : values_(width, KQMV::Missing()) {}
  double operator[](int var) const override { return values_[static_cast<std::size_t>(var)]; }
  const std::vector<double>& GetAll() const override { return values_; }
  double& At(int var) { return values_[static_cast<std::size_t>(var)]; }

 private:
  std::vector<double> values_;
};

/// The shortest text that reads back to the same double; empty for a missing value.
std::string CellText(double value) {
  if (KQMV::IsMissingOrNaN(value) || !std::isfinite(value)) return {};
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

/// The model's code of a factor cell: the cell's text (or its number) looked up among the fitting
/// data's category texts when that column held texts, else the number itself if it is one of the
/// factor's codes. Nothing for a missing cell or a category the model does not know.
std::optional<double> FactorCode(double cell, const std::vector<std::string>& newTexts,
                                 const std::vector<std::string>& fitTexts, int size) {
  if (KQMV::IsMissingOrNaN(cell)) return std::nullopt;
  std::optional<std::string_view> text;
  if (!newTexts.empty()) {
    if (cell < 0.0 || cell >= static_cast<double>(newTexts.size())) return std::nullopt;
    text = newTexts[static_cast<std::size_t>(cell)];
  }
  if (!fitTexts.empty()) {
    const std::string written = text ? std::string() : CellText(cell);
    if (!text) text = written;
    for (std::size_t code = 0; code < fitTexts.size(); ++code)
      if (fitTexts[code] == *text) return static_cast<double>(code);
    return std::nullopt;
  }
  if (text) {
    const Cell parsed = ParseCell(*text);
    if (parsed.kind != CellKind::Number) return std::nullopt;
    cell = parsed.value;
  }
  if (cell != std::floor(cell) || cell < 0.0 || cell >= size) return std::nullopt;
  return cell;
}

void WriteCsvRow(std::ostream& out, const BayesEstimation& e) {
  out << CellText(e.mode) << ',' << CellText(e.mean) << ',' << CellText(e.variance) << ','
      << CellText(e.lower) << ',' << CellText(e.upper) << '\n';
}

void WriteJsonRow(std::ostream& out, const BayesEstimation& e, bool first) {
  const auto field = [&out](const char* key, double value, bool last) {
    const std::string text = CellText(value);
    out << '"' << key << "\": " << (text.empty() ? "null" : text) << (last ? "" : ", ");
  };
  out << (first ? "\n  {" : ",\n  {");
  field("mode", e.mode, false);
  field("mean", e.mean, false);
  field("variance", e.variance, false);
  field("lower", e.lower, false);
  field("upper", e.upper, true);
  out << '}';
}

int AnalysisFailure(std::ostream& err, const RunReport& report) {
  const KQCommon_850::KQStatus& status =
      report.status && report.status->IsError() ? *report.status : *report.validation;
  std::string message;
  KQBSN_850::StatusMessageText(status.GetErrorCode(), message);
  err << "kqbayes: the model was not built: " << OneLine(message) << " (code " << status.GetErrorCode()
      << ")\n";
  return kExitAnalysisError;
}

}  // namespace

int ScoreCommand(const ScoreOptions& options, std::ostream& out, std::ostream& err,
                 KQCommon_850::KQQueryCancel& interrupt) {
  RunOptions fitOptions = options.fit;
  fitOptions.scoring = true;
  FittedRun run;
  const int status = FitFromFiles(fitOptions, err, interrupt, run);
  if (status == kExitAnalysisError) return AnalysisFailure(err, run.report);
  if (status != kExitOK) return status;
  const auto* model = dynamic_cast<const KQBSN_850::BSNMultiRegOutputStats*>(run.component->GetOutputStats());
  if (model == nullptr) {
    err << "kqbayes: the analysis made no model to score with\n";
    return kExitAnalysisError;
  }
  for (const KQCommon_850::KQStatus& warning : run.report.warnings) {
    std::string message;
    KQBSN_850::StatusMessageText(warning.GetErrorCode(), message);
    Warn(err, message);
  }

  std::vector<Predictor> predictors = ModelPredictors(*run.settings);
  CsvOptions csvOptions;
  csvOptions.threads = options.fit.threads;
  csvOptions.shouldStop = [&interrupt] { return interrupt.IsCancel(); };
  csvOptions.onHeader = [&](const std::vector<std::string>& names) -> Result<std::vector<ColumnUse>> {
    std::vector<ColumnUse> uses(names.size(), ColumnUse::Skipped);
    for (Predictor& predictor : predictors) {
      const std::string& name = run.columnNames[static_cast<std::size_t>(predictor.var)];
      const auto found = std::find(names.begin(), names.end(), name);
      if (found == names.end())
        return InputError{options.newDataPath + ": no column \"" + name + "\", which the model reads"};
      predictor.newColumn = static_cast<std::size_t>(found - names.begin());
      uses[predictor.newColumn] = predictor.isFactor ? ColumnUse::Categories : ColumnUse::Numbers;
    }
    return uses;
  };
  Result<CsvTable> table = ReadCsvFile(options.newDataPath, csvOptions);
  if (interrupt.IsCancel()) return Interrupted(err);
  if (!table.IsOK()) return InputFailure(err, table.Error());

  const CsvTable& records = table.Value();
  ScoredRecord record(run.columnNames.size());
  if (!options.fit.json) out << "mode,mean,variance,lower,upper\n";
  if (options.fit.json) out << '[';
  for (std::size_t i = 0; i < records.GetNRows(); ++i) {
    if (i % 65536 == 0 && interrupt.IsCancel()) return Interrupted(err);
    bool complete = true;
    for (const Predictor& predictor : predictors) {
      const double cell = records.columns[predictor.newColumn][i];
      if (predictor.isFactor) {
        const std::optional<double> code =
            FactorCode(cell, records.categories[predictor.newColumn],
                       run.categoryTexts[static_cast<std::size_t>(predictor.var)], predictor.size);
        complete = complete && code.has_value();
        record.At(predictor.var) = code.value_or(KQMV::Missing());
      } else {
        complete = complete && !KQMV::IsMissingOrNaN(cell);
        record.At(predictor.var) = cell;
      }
    }
    BayesEstimation prediction;
    if (complete) model->Score(record, prediction);
    if (options.fit.json)
      WriteJsonRow(out, prediction, i == 0);
    else
      WriteCsvRow(out, prediction);
  }
  if (options.fit.json) out << (records.GetNRows() == 0 ? "]\n" : "\n]\n");
  return kExitOK;
}

}  // namespace kqcli
