// The record of the correlation analysis: per pair of the settings' covariates, the weighted number of
// cases and Pearson's r, the Bayes factor BF01 of "no correlation" (JZS) or "rho = the null value"
// (fractional) against "rho differs", and the posterior of rho.

#include "cli/records/Describers.h"
#include "correlation/BSNPearsonCorrelationOutputStats.h"

namespace kqcli {

RecordView DescribeCorrelation(const KQBSN_850::BSNPearsonCorrelationOutputStats& r,
                               const DataColumns& columns) {
  const KQBSN_850::BSNSettings& s = r.GetSettings();
  const bool jzs = s.GetEstBFType() == KQBSN_850::BSNConst::EstBFTypes::JZS;
  const std::string rho0 = jzs ? "0" : ShortNumber(s.GetNullValue());
  RecordView view;
  view.record = "BSNPearsonCorrelationOutputStats";
  view.rowHeader = "Pair";
  for (const auto& [first, second] : r.GetVarPairIndices()) {
    const std::vector<std::string> names = ColumnLabels({first, second}, columns.names);
    view.rows.push_back(names[0] + " ~ " + names[1]);
    view.hypotheses.push_back({"rho = " + rho0, "rho != " + rho0});
  }
  view.familyTitles = {
      {Family::Data, "Pearson correlation of each pair"},
      {Family::BayesFactor, std::string("Bayes factor BF01: rho = ") + rho0 + ", against rho != " + rho0 +
                                " (" + (jzs ? "JZS" : "fractional") + ")"},
      {Family::Posterior, "Posterior of rho (" + CredibleLevel(s) + " credible interval)"}};
  // The r matrix of the analysed variables, 1 on the diagonal, NA for a pair without r; after the
  // family tables.
  const std::vector<std::string> labels = ColumnLabels(s.GetCovariates(), columns.names);
  const std::size_t k = labels.size();
  std::vector<std::vector<std::string>> cells(k, std::vector<std::string>(k, "NA"));
  for (std::size_t i = 0, p = 0; i < k; ++i) {
    cells[i][i] = ShortNumber(1.0);
    for (std::size_t j = i + 1; j < k && p < r.GetPearsonCorrelation().size(); ++j, ++p)
      cells[i][j] = cells[j][i] = ShortNumber(r.GetPearsonCorrelation()[p]);
  }
  TextTable matrix{Family::None, "Correlation matrix (r)", {{""}}};
  matrix.lines[0].insert(matrix.lines[0].end(), labels.begin(), labels.end());
  for (std::size_t i = 0; i < k; ++i) {
    matrix.lines.push_back({labels[i]});
    matrix.lines.back().insert(matrix.lines.back().end(), cells[i].begin(), cells[i].end());
  }
  view.textTables.push_back(std::move(matrix));
  view.factorKey = "BayesFactor";
  view.logFlagKey = "IsLogBayesFactor";

  view.Add("Settings", s);
  view.Add("VarPairIndices", r.GetVarPairIndices());
  view.Add("VarPairN", r.GetVarPairN(), Family::Data, "N");
  view.Add("PearsonCorrelation", r.GetPearsonCorrelation(), Family::Data, "r");
  view.Add("BayesFactor", r.GetBayesFactor(), Family::BayesFactor, "BF01");
  view.Add("IsLogBayesFactor", r.GetIsLogBayesFactor());
  view.Add("IndIntegralFailed", r.GetIndIntegralFailed());
  view.Add("VarN", r.GetVarN());
  view.Add("PosteriorMode", r.GetPosteriorMode(), Family::Posterior, "Mode");
  view.Add("PosteriorMean", r.GetPosteriorMean(), Family::Posterior, "Mean");
  view.Add("PosteriorVariance", r.GetPosteriorVariance(), Family::Posterior, "Variance");
  view.Add("PosteriorLowerBound", r.GetPosteriorLowerBound(), Family::Posterior, "Lower");
  view.Add("PosteriorUpperBound", r.GetPosteriorUpperBound(), Family::Posterior, "Upper");
  view.Add("PlotXAxis", r.GetPlotXAxis());
  view.Add("PlotLogLikelihood", r.GetPlotLogLikelihood());
  view.Add("PlotPrior", r.GetPlotPrior());
  view.Add("PlotPosterior", r.GetPlotPosterior());
  return view;
}

}  // namespace kqcli
