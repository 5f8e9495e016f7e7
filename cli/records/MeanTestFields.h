#pragma once
// The fields that the records of a normal mean share, the one-sample mean and the mean of paired
// differences: after the counts and the mean, the standard deviations and errors, the Bayes factor
// BF01 of "the mean equals its test value" against "it differs", the t test, the posterior summaries
// and the six plot lists, in the records' getter order; and the tables' titles and hypotheses.

#include <string>

#include "cli/records/Describers.h"
#include "frame/detail/EnumWords.h"

namespace kqcli {

/// parameter names what is tested ("mean", "mean difference"); test names the t test ("One-sample").
template <class Record>
void AddMeanTestFields(RecordView& view, const Record& r, const std::string& parameter,
                       const std::string& test) {
  const KQBSN_850::BSNSettings& s = r.GetSettings();
  // The test value of row i is entry i of NullValues, 0 when the list is empty or the entry missing.
  std::string testValueWords;
  for (std::size_t i = 0; i < view.rows.size(); ++i) {
    const std::string testValue = ShortNumber(ListEntry(s.GetNullValues(), i, 0.0));
    testValueWords += (i == 0 ? "" : ", ") + view.rows[i] + " = " + testValue;
    view.hypotheses.push_back({parameter + " = " + testValue, parameter + " != " + testValue});
  }
  view.familyTitles = {
      {Family::Data, "Descriptive statistics"},
      {Family::Test, test + " t test (test value: " + testValueWords + ")"},
      {Family::BayesFactor, "Bayes factor BF01: the " + parameter +
                                " equals the test value, against it differs (" +
                                std::string(KQBSN_850::EnumWord(s.GetEstBFType())) + ")"},
      {Family::Posterior, "Posterior of the " + parameter + " (" + CredibleLevel(s) + " credible interval)"}};
  view.factorKey = "BayesFactors";

  view.Add("StdDevs", r.GetStdDevs(), Family::Data, "Std. deviation");
  view.Add("EMs", r.GetEMs(), Family::Data, "Std. error");
  view.Add("BayesFactors", r.GetBayesFactors(), Family::BayesFactor, "BF01");
  view.Add("TValues", r.GetTValues(), Family::Test, "t");
  view.Add("DFValues", r.GetDFValues(), Family::Test, "df");
  view.Add("Sigs", r.GetSigs(), Family::Test, "Sig. (2-tailed)");
  view.Add("ModeValues", r.GetModeValues(), Family::Posterior, "Mode");
  view.Add("PostMeanValues", r.GetPostMeanValues(), Family::Posterior, "Mean");
  view.Add("VarianceValues", r.GetVarianceValues(), Family::Posterior, "Variance");
  view.Add("LowerLimits", r.GetLowerLimits(), Family::Posterior, "Lower");
  view.Add("UpperLimits", r.GetUpperLimits(), Family::Posterior, "Upper");
  view.Add("PlotArguments4Likelihoods", r.GetPlotArguments4Likelihoods());
  view.Add("PlotArguments4Prior", r.GetPlotArguments4Prior());
  view.Add("PlotArguments4Posterior", r.GetPlotArguments4Posterior());
  view.Add("PlotLikelihoods", r.GetPlotLikelihoods());
  view.Add("PlotPosterior", r.GetPlotPosterior());
  view.Add("PlotPrior", r.GetPlotPrior());
}

}  // namespace kqcli
