// The record of the one-sample Poisson analysis: per test variable (the settings' Covariates), the
// counts of cases and the range of the values, the Bayes factor of a Gamma null prior against a Gamma
// alternative prior on the rate, and the Gamma posterior of the rate.

#include "cli/records/Describers.h"
#include "onesample/BSN1SamplePoisnOutputStats.h"

namespace kqcli {

RecordView DescribeOneSamplePoisson(const KQBSN_850::BSN1SamplePoisnOutputStats& r,
                                    const DataColumns& columns) {
  const KQBSN_850::BSNSettings& s = r.GetSettings();
  RecordView view;
  view.record = "BSN1SamplePoisnOutputStats";
  view.rows = ColumnLabels(r.GetVarIndices(), columns.names);
  view.familyTitles = {
      {Family::Data, "Counts"},
      {Family::BayesFactor, "Bayes factor BF01: the null prior on the rate against the alternative prior"},
      {Family::Posterior,
       "Posterior of the rate (Gamma, shape and rate; " + CredibleLevel(s) + " credible interval)"}};

  view.Add("Settings", s);
  view.Add("VarIndices", r.GetVarIndices());
  view.Add("BayesFactors", r.GetBayesFactors(), Family::BayesFactor, "BF01");
  view.Add("IsLogBayesFactor", r.GetIsLogBayesFactor());
  view.Add("Ns", r.GetNs(), Family::Data, "N");
  view.Add("MinCnts", r.GetMinCnts(), Family::Data, "Minimum");
  view.Add("MaxCnts", r.GetMaxCnts(), Family::Data, "Maximum");
  view.Add("ModeValues", r.GetModeValues(), Family::Posterior, "Mode");
  view.Add("MeanValues", r.GetMeanValues(), Family::Posterior, "Mean");
  view.Add("VarianceValues", r.GetVarianceValues(), Family::Posterior, "Variance");
  view.Add("LowerLimits", r.GetLowerLimits(), Family::Posterior, "Lower");
  view.Add("UpperLimits", r.GetUpperLimits(), Family::Posterior, "Upper");
  view.Add("PosteriorParams", r.GetPosteriorParams(), Family::Posterior, "(shape, rate)");
  view.Add("LikelihoodParams", r.GetLikelihoodParams());
  view.Add("PlotArguments4Likelihoods", r.GetPlotArguments4Likelihoods());
  view.Add("PlotArguments4Prior", r.GetPlotArguments4Prior());
  view.Add("PlotArguments4Posterior", r.GetPlotArguments4Posterior());
  view.Add("PlotLikelihoods", r.GetPlotLikelihoods());
  view.Add("PlotPosterior", r.GetPlotPosterior());
  view.Add("PlotPrior", r.GetPlotPrior());

  view.factorKey = "BayesFactors";
  view.logFlagKey = "IsLogBayesFactor";
  constexpr double kDefaultNullParameter = 2.0;
  const double unspecified = KQCommon_850::KQMV::Missing();
  for (std::size_t i = 0; i < view.rows.size(); ++i)
    view.hypotheses.push_back(
        {"rate ~ Gamma(" + ShortNumber(ListEntry(s.GetNullPrior1s(), i, kDefaultNullParameter)) + ", " +
             ShortNumber(ListEntry(s.GetNullPrior2s(), i, kDefaultNullParameter)) + ")",
         "rate ~ Gamma(" + ShortNumber(ListEntry(s.GetAlterPrior1s(), i, unspecified)) + ", " +
             ShortNumber(ListEntry(s.GetAlterPrior2s(), i, unspecified)) + ")"});
  return view;
}

}  // namespace kqcli
