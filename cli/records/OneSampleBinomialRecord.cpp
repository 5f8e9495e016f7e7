// The record of the one-sample binomial analysis: per test variable (the settings' Factors), the
// counts of cases with value 0 and with other values, the Bayes factor of a Beta null prior against a
// Beta alternative prior on the proportion, and the Beta posterior of the proportion.

#include "cli/records/Describers.h"
#include "onesample/BSN1SampleBinoOutputStats.h"

namespace kqcli {

RecordView DescribeOneSampleBinomial(const KQBSN_850::BSN1SampleBinoOutputStats& r,
                                     const DataColumns& columns) {
  const KQBSN_850::BSNSettings& s = r.GetSettings();
  RecordView view;
  view.record = "BSN1SampleBinoOutputStats";
  view.rows = ColumnLabels(r.GetVarIndices(), columns.names);
  view.familyTitles = {
      {Family::Data, "Counts (category 1 is the value 0)"},
      {Family::BayesFactor,
       "Bayes factor BF01: the null prior on the proportion against the alternative prior"},
      {Family::Posterior, "Posterior of the proportion (Beta; " + CredibleLevel(s) + " credible interval)"}};

  view.Add("Settings", s);
  view.Add("VarIndices", r.GetVarIndices());
  view.Add("BayesFactors", r.GetBayesFactors(), Family::BayesFactor, "BF01");
  view.Add("IsLogBayesFactor", r.GetIsLogBayesFactor());
  view.Add("Ns", r.GetNs(), Family::Data, "N");
  view.Add("Cat1Indices", r.GetCat1Indices());
  view.Add("Cat1Ns", r.GetCat1Ns(), Family::Data, "N value 0");
  view.Add("Cat2Ns", r.GetCat2Ns(), Family::Data, "N other");
  view.Add("Cat1Props", r.GetCat1Props(), Family::Data, "Proportion 0");
  view.Add("Cat2Props", r.GetCat2Props(), Family::Data, "Proportion other");
  view.Add("ModeValues", r.GetModeValues(), Family::Posterior, "Mode");
  view.Add("MeanValues", r.GetMeanValues(), Family::Posterior, "Mean");
  view.Add("VarianceValues", r.GetVarianceValues(), Family::Posterior, "Variance");
  view.Add("LowerLimits", r.GetLowerLimits(), Family::Posterior, "Lower");
  view.Add("UpperLimits", r.GetUpperLimits(), Family::Posterior, "Upper");
  view.Add("PlotArguments", r.GetPlotArguments());
  view.Add("PlotLikelihoods", r.GetPlotLikelihoods());
  view.Add("PlotPosterior", r.GetPlotPosterior());
  view.Add("PlotPrior", r.GetPlotPrior());

  view.factorKey = "BayesFactors";
  view.logFlagKey = "IsLogBayesFactor";
  // A missing null prior parameter means 2; a missing alternative one leaves the factor missing.
  constexpr double kDefaultNullShape = 2.0;
  const double unspecified = KQCommon_850::KQMV::Missing();
  for (std::size_t i = 0; i < view.rows.size(); ++i)
    view.hypotheses.push_back(
        {"proportion ~ Beta(" + ShortNumber(ListEntry(s.GetNullPrior1s(), i, kDefaultNullShape)) + ", " +
             ShortNumber(ListEntry(s.GetNullPrior2s(), i, kDefaultNullShape)) + ")",
         "proportion ~ Beta(" + ShortNumber(ListEntry(s.GetAlterPrior1s(), i, unspecified)) + ", " +
             ShortNumber(ListEntry(s.GetAlterPrior2s(), i, unspecified)) + ")"});
  return view;
}

}  // namespace kqcli
