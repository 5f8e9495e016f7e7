// The record of the related (paired) samples analysis: per pair (entry j of the settings' Covariates
// with entry j of 2ndRelatedList), the descriptives of the differences first minus second, the paired
// t test, the Bayes factor BF01 of "the mean difference equals the test value" against "it differs",
// and the posterior of the mean difference.

#include "cli/records/MeanTestFields.h"
#include "twosample/BSN2SampleRelatedOutputStats.h"

namespace kqcli {

RecordView DescribeTwoSampleRelated(const KQBSN_850::BSN2SampleRelatedOutputStats& r,
                                    const DataColumns& columns) {
  RecordView view;
  view.record = "BSN2SampleRelatedOutputStats";
  view.rowHeader = "Pair";
  const std::vector<std::string> first = ColumnLabels(r.Get1ndRelatedList(), columns.names);
  const std::vector<std::string> second = ColumnLabels(r.Get2ndRelatedList(), columns.names);
  for (std::size_t j = 0; j < first.size() && j < second.size(); ++j)
    view.rows.push_back(first[j] + " - " + second[j]);
  view.Add("Settings", r.GetSettings());
  view.Add("1ndRelatedList", r.Get1ndRelatedList());
  view.Add("2ndRelatedList", r.Get2ndRelatedList());
  view.Add("Ns", r.GetNs(), Family::Data, "N");
  view.Add("MeanDiffValues", r.GetMeanDiffValues(), Family::Data, "Mean difference");
  AddMeanTestFields(view, r, "mean difference", "Paired");
  return view;
}

}  // namespace kqcli
