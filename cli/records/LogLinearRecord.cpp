// The record of the log-linear analysis: the table of the row factor by the column factor with its
// margins and expected counts, the chi-square tests (and for a 2 x 2 table Yates' correction and
// Fisher's exact test), the Bayes factor BF01 of "the factors are independent" against "they are
// associated", and the posterior of the log odds ratio of each pair of categories against the last
// row and column. The JSON output holds the record's getters; the tables lay the same values out.

#include <cstddef>
#include <string>

#include "cli/records/Describers.h"
#include "frame/detail/EnumWords.h"
#include "loglinear/BSNLogLinearOutputStats.h"

namespace kqcli {
namespace {

using KQBSN_850::BSNContingency;

Json ContingencyToJson(const BSNContingency& table) {
  return Json{{"AllCounts", ToJson(table.GetAllCounts())},
              {"RowTotals", ToJson(table.GetRowTotals())},
              {"ColTotals", ToJson(table.GetColTotals())},
              {"TotalWeight", JsonNumber(table.GetTotalWeight())},
              {"ExpectedCounts", ToJson(table.GetExpectedCounts())},
              {"NonEmptyRows", ToJson(table.GetNonEmptyRows())},
              {"NonEmptyCols", ToJson(table.GetNonEmptyCols())},
              {"NCellsExpLess5", table.GetNCellsExpLess5()},
              {"PctCellsExpLess5", JsonNumber(table.GetPctCellsExpLess5())},
              {"MinExpectedCount", JsonNumber(table.GetMinExpectedCount())}};
}

/// The counts with their expected counts in brackets, the margins, and the small expected counts.
void AddCountTables(RecordView& view, const BSNContingency& table, const std::string& rowName,
                    const std::string& colName) {
  const auto& counts = table.GetAllCounts();
  const auto& expected = table.GetExpectedCounts();
  std::vector<std::vector<std::string>> lines{{rowName + " \\ " + colName}};
  for (std::size_t j = 0; j < table.GetColTotals().size(); ++j) lines[0].push_back(std::to_string(j));
  lines[0].push_back("Total");
  for (std::size_t i = 0; i < counts.size(); ++i) {
    std::vector<std::string> line{std::to_string(i)};
    for (std::size_t j = 0; j < counts[i].size(); ++j)
      line.push_back(ShortNumber(counts[i][j]) + " (" + ShortNumber(expected[i][j]) + ")");
    line.push_back(ShortNumber(table.GetRowTotals()[i]));
    lines.push_back(std::move(line));
  }
  std::vector<std::string> totals{"Total"};
  for (double total : table.GetColTotals()) totals.push_back(ShortNumber(total));
  totals.push_back(ShortNumber(table.GetTotalWeight()));
  lines.push_back(std::move(totals));
  view.textTables.push_back({Family::Data, "Counts (expected counts under independence)", std::move(lines)});
  view.textTables.push_back(
      {Family::Data,
       "Cells with an expected count below 5: " + std::to_string(table.GetNCellsExpLess5()) + " (" +
           ShortNumber(table.GetPctCellsExpLess5()) + "%); smallest expected count " +
           ShortNumber(table.GetMinExpectedCount()),
       {}});
}

void AddTestTable(RecordView& view, const KQBSN_850::BSNLogLinearOutputStats& r) {
  std::vector<std::vector<std::string>> lines{{"Test", "Statistic", "df", "Sig."}};
  auto add = [&](const std::string& name, const KQMath_850::KQTestStats& test) {
    lines.push_back(
        {name, ShortNumber(test.GetWald()), ShortNumber(test.GetDF()), ShortNumber(test.GetSig())});
  };
  add("Pearson chi-square", r.GetChiSquareResult());
  add("Likelihood ratio", r.GetLikeRatioResult());
  if (!KQCommon_850::KQMV::IsMissing(r.GetFisher2SidedSig())) {
    add("Continuity correction", r.GetContCorrectResult());
    lines.push_back({"Fisher's exact test, 2-sided", "", "", ShortNumber(r.GetFisher2SidedSig())});
    lines.push_back({"Fisher's exact test, 1-sided", "", "", ShortNumber(r.GetFisher1SidedSig())});
  }
  view.textTables.push_back({Family::Test, "Tests of independence", std::move(lines)});
}

void AddPosteriorTable(RecordView& view, const KQBSN_850::BSNLogLinearOutputStats& r,
                       const std::string& rowName, const std::string& colName) {
  const auto& estimations = r.GetPosteriorEstimations();
  if (estimations.empty()) return;
  const auto& rows = r.GetContingencyMatrix().GetNonEmptyRows();
  const auto& cols = r.GetContingencyMatrix().GetNonEmptyCols();
  std::vector<std::vector<std::string>> lines{
      {"Log odds ratio", "Median", "Mean", "Variance", "Lower", "Upper"}};
  for (std::size_t pair = 0; pair < estimations.size(); ++pair) {
    const std::size_t a = pair / (cols.size() - 1), b = pair % (cols.size() - 1);
    const auto& e = estimations[pair];
    lines.push_back({rowName + " " + std::to_string(rows[a]) + " vs " + std::to_string(rows.back()) + ", " +
                         colName + " " + std::to_string(cols[b]) + " vs " + std::to_string(cols.back()),
                     ShortNumber(e.mode), ShortNumber(e.mean), ShortNumber(e.variance), ShortNumber(e.lower),
                     ShortNumber(e.upper)});
  }
  const KQBSN_850::BSNSettings& s = r.GetSettings();
  view.textTables.push_back(
      {Family::Posterior,
       "Posterior of the log odds ratios against the last row and column (flat priors, " +
           std::to_string(s.GetPosteriorSamples()) + " draws, joint " + CredibleLevel(s) +
           " credible limits)",
       std::move(lines)});
}

/// The prior of the factor in words.
std::string PriorWords(const KQBSN_850::BSNSettings& s) {
  using KQBSN_850::EnumWord;
  using Dist = KQBSN_850::BSNConst::DistTypes;
  if (s.GetLogLinModel() == Dist::Poisson) return "conjugate priors, Poisson sampling";
  std::string words = s.GetLogLinModel() == Dist::Nonparametric
                          ? std::string("nonparametric priors")
                          : std::string(EnumWord(s.GetLogLinPriorType())) + " priors";
  return words + ", " + std::string(EnumWord(s.GetFixType()));
}

}  // namespace

RecordView DescribeLogLinear(const KQBSN_850::BSNLogLinearOutputStats& r, const DataColumns& columns) {
  const KQBSN_850::BSNSettings& s = r.GetSettings();
  const std::vector<std::string> names = ColumnLabels(s.GetFactors(), columns.names);
  const std::string rowName = names.size() > 0 ? names[0] : "rows";
  const std::string colName = names.size() > 1 ? names[1] : "columns";
  RecordView view;
  view.record = "BSNLogLinearOutputStats";
  view.rows = {rowName + " by " + colName};
  view.rowHeader = "Table";
  view.hypotheses = {{rowName + " and " + colName + " are independent", "they are associated"}};
  const bool hasFactor = s.GetAnalysType() != KQBSN_850::BSNConst::AnalysTypes::Posterior;
  const Family factorFamily = hasFactor ? Family::BayesFactor : Family::None;
  view.familyTitles = {
      {Family::BayesFactor, "Bayes factor BF01: independence against association (" + PriorWords(s) + ")"}};
  if (hasFactor) {
    view.factorKey = "BayesFactor";
    view.logFlagKey = "IsLogBayesFactor";
  }
  AddCountTables(view, r.GetContingencyMatrix(), rowName, colName);
  AddTestTable(view, r);
  AddPosteriorTable(view, r, rowName, colName);

  view.Add("Settings", s);
  view.fields.push_back({"ContingencyMatrix", ContingencyToJson(r.GetContingencyMatrix()), Family::Data, ""});
  view.Add("BayesFactor", r.GetBayesFactor(), factorFamily, "BF01");
  view.Add("IsLogBayesFactor", r.IsLogBayesFactor(), factorFamily, "Logarithm");
  view.Add("ChiSquareResult", r.GetChiSquareResult(), Family::Test);
  view.Add("LikeRatioResult", r.GetLikeRatioResult(), Family::Test);
  view.Add("ContCorrectResult", r.GetContCorrectResult(), Family::Test);
  view.Add("Fisher2SidedSig", r.GetFisher2SidedSig(), Family::Test);
  view.Add("Fisher1SidedSig", r.GetFisher1SidedSig(), Family::Test);
  view.Add("PosteriorEstimations", r.GetPosteriorEstimations(), Family::Posterior);
  const bool intrinsic = r.GetT() >= 0;
  view.Add("T", r.GetT(), intrinsic ? factorFamily : Family::None, "T");
  view.Add("T1", r.GetT1(), intrinsic && r.GetT1() >= 0 ? factorFamily : Family::None, "T1");
  view.Add("T2", r.GetT2(), intrinsic && r.GetT2() >= 0 ? factorFamily : Family::None, "T2");
  return view;
}

}  // namespace kqcli
