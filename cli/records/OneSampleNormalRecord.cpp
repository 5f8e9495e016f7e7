// The record of the one-sample normal analysis: per test variable (the settings' Covariates), the
// weighted descriptives, the one-sample t test against the test value, the Bayes factor BF01 of
// "the mean equals the test value" against "it differs", and the posterior of the mean.

#include "cli/records/MeanTestFields.h"
#include "onesample/BSN1SampleNormOutputStats.h"

namespace kqcli {

RecordView DescribeOneSampleNormal(const KQBSN_850::BSN1SampleNormOutputStats& r,
                                   const DataColumns& columns) {
  RecordView view;
  view.record = "BSN1SampleNormOutputStats";
  view.rows = ColumnLabels(r.GetVarIndices(), columns.names);
  view.Add("Settings", r.GetSettings());
  view.Add("VarIndices", r.GetVarIndices());
  view.Add("Ns", r.GetNs(), Family::Data, "N");
  view.Add("MeanValues", r.GetMeanValues(), Family::Data, "Mean");
  AddMeanTestFields(view, r, "mean", "One-sample");
  return view;
}

}  // namespace kqcli
