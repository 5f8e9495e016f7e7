// The record of the independent samples analysis: per test variable (the settings' Covariates), the
// descriptives of group 1 (grouping value 0) and group 2 (grouping value 1), the pooled-variance t test
// of the difference group 2 minus group 1, the Bayes factor BF01 of "the two means are equal" against
// "they differ", and the posterior of the mean difference.

#include "cli/records/Describers.h"
#include "frame/detail/EnumWords.h"
#include "twosample/BSN2SampleIndOutputStats.h"

namespace kqcli {

RecordView DescribeTwoSampleIndependent(const KQBSN_850::BSN2SampleIndOutputStats& r,
                                        const DataColumns& columns) {
  const KQBSN_850::BSNSettings& s = r.GetSettings();
  RecordView view;
  view.record = "BSN2SampleIndOutputStats";
  view.rows = ColumnLabels(r.GetGroupStatsVarIndices(), columns.names);
  for (std::size_t i = 0; i < view.rows.size(); ++i)
    view.hypotheses.push_back({"mean of group 1 = mean of group 2", "the two means differ"});
  view.familyTitles = {
      {Family::Data, "Group statistics (group 1: grouping value 0, group 2: grouping value 1)"},
      {Family::Test, "Pooled-variance t test of the mean difference (group 2 - group 1)"},
      {Family::BayesFactor, "Bayes factor BF01: equal means, against different means (" +
                                std::string(KQBSN_850::EnumWord(s.GetRegrCompType())) + ")"},
      {Family::Posterior,
       "Posterior of the mean difference group 2 - group 1 (" + CredibleLevel(s) + " credible interval)"}};
  view.factorKey = "BayesFactors";

  view.Add("Settings", s);
  view.Add("GroupStatsVarIndices", r.GetGroupStatsVarIndices());
  view.Add("Group1StatsNs", r.GetGroup1StatsNs(), Family::Data, "N1");
  view.Add("Group1MeanValues", r.GetGroup1MeanValues(), Family::Data, "Mean 1");
  view.Add("Group1StdDevs", r.GetGroup1StdDevs(), Family::Data, "Std. dev. 1");
  view.Add("Group1EMs", r.GetGroup1EMs(), Family::Data, "Std. error 1");
  view.Add("Group2StatsNs", r.GetGroup2StatsNs(), Family::Data, "N2");
  view.Add("Group2MeanValues", r.GetGroup2MeanValues(), Family::Data, "Mean 2");
  view.Add("Group2StdDevs", r.GetGroup2StdDevs(), Family::Data, "Std. dev. 2");
  view.Add("Group2EMs", r.GetGroup2EMs(), Family::Data, "Std. error 2");
  view.Add("TTestVarIndices", r.GetTTestVarIndices());
  view.Add("MeanDiffValues", r.GetMeanDiffValues(), Family::Test, "Mean difference");
  view.Add("PStdEDDevs", r.GetPStdEDDevs(), Family::Test, "Std. error");
  view.Add("BayesFactors", r.GetBayesFactors(), Family::BayesFactor, "BF01");
  view.Add("TValues", r.GetTValues(), Family::Test, "t");
  view.Add("DFValues", r.GetDFValues(), Family::Test, "df");
  view.Add("Sigs", r.GetSigs(), Family::Test, "Sig. (2-tailed)");
  view.Add("PostVarIndices", r.GetPostVarIndices());
  view.Add("ModeValues", r.GetModeValues(), Family::Posterior, "Mode");
  view.Add("PostMeanValues", r.GetPostMeanValues(), Family::Posterior, "Mean");
  view.Add("VarianceValues", r.GetVarianceValues(), Family::Posterior, "Variance");
  view.Add("LowerLimits", r.GetLowerLimits(), Family::Posterior, "Lower");
  view.Add("UpperLimits", r.GetUpperLimits(), Family::Posterior, "Upper");
  view.Add("PlotXArguments", r.GetPlotXArguments());
  view.Add("PlotYArguments", r.GetPlotYArguments());
  view.Add("PlotXLikelihoods", r.GetPlotXLikelihoods());
  view.Add("PlotYLikelihoods", r.GetPlotYLikelihoods());
  view.Add("PlotXPriorArguments", r.GetPlotXPriorArguments());
  view.Add("PlotYPriorArguments", r.GetPlotYPriorArguments());
  view.Add("PlotXPrior", r.GetPlotXPrior());
  view.Add("PlotYPrior", r.GetPlotYPrior());
  view.Add("PlotArguments", r.GetPlotArguments());
  view.Add("PlotPosterior", r.GetPlotPosterior());
  return view;
}

}  // namespace kqcli
