#include "loglinear/BSNContingency.h"

#include <cmath>
#include <cstddef>
#include <utility>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/RecordValues.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

namespace {

/// The category of a factor value: the value truncated toward zero when that lies in 0 .. size - 1,
/// else -1.
int CategoryOf(double value, int size) noexcept {
  if (KQMV::IsMissingOrNaN(value) || !(value > -1.0) || !(value < static_cast<double>(size))) return -1;
  return static_cast<int>(value);
}

/// Expected counts below this qualify the chi-square approximation.
constexpr double kSmallExpectedCount = 5.0;

}  // namespace

BSNContingency::BSNContingency(IntList factors, IntList factorSizes, int frequencyWeightVar)
    : factors_(std::move(factors)),
      factorSizes_(std::move(factorSizes)),
      frequencyWeightVar_(frequencyWeightVar) {}

KQStatus BSNContingency::BuildModel(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter) {
  const int nRows = GetNRows(), nCols = GetNCols();
  counts_.assign(static_cast<std::size_t>(nRows), DoubleList(static_cast<std::size_t>(nCols), 0.0));
  const int rowVar = factors_.size() > 0 ? factors_[0] : -1;
  const int colVar = factors_.size() > 1 ? factors_[1] : -1;
  status_ = pass.Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
    const int r = CategoryOf(detail::ValueAt(values, rowVar), nRows);
    const int c = CategoryOf(detail::ValueAt(values, colVar), nCols);
    if (r >= 0 && c >= 0)
      counts_[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] += weight.frequency;
  });
  if (status_.IsError()) return status_;
  return ComputeExpectedCounts();
}

KQStatus BSNContingency::SetCounts(DoubleMatrix counts) {
  counts_ = std::move(counts);
  factorSizes_ = {static_cast<int>(counts_.size()),
                  counts_.empty() ? 0 : static_cast<int>(counts_[0].size())};
  return ComputeExpectedCounts();
}

KQStatus BSNContingency::ComputeExpectedCounts() {
  const std::size_t nRows = counts_.size(), nCols = counts_.empty() ? 0 : counts_[0].size();
  rowTotals_.assign(nRows, 0.0);
  colTotals_.assign(nCols, 0.0);
  total_ = 0.0;
  for (std::size_t i = 0; i < nRows; ++i)
    for (std::size_t j = 0; j < nCols; ++j) {
      rowTotals_[i] += counts_[i][j];
      colTotals_[j] += counts_[i][j];
      total_ += counts_[i][j];
    }
  expected_.assign(nRows, DoubleList(nCols, 0.0));
  nonEmptyRows_.clear();
  nonEmptyCols_.clear();
  nCellsExpLess5_ = 0;
  if (!(total_ > 0.0)) return status_ = KQStatus(BSN_NO_VALID_CASES, false);

  minExpected_ = total_;
  for (std::size_t i = 0; i < nRows; ++i) {
    if (!(rowTotals_[i] > 0.0)) continue;
    nonEmptyRows_.push_back(static_cast<int>(i));
    for (std::size_t j = 0; j < nCols; ++j) {
      const double e = colTotals_[j] * rowTotals_[i] / total_;
      expected_[i][j] = e;
      if (e < minExpected_) minExpected_ = e;
      if (e > 0.0 && e < kSmallExpectedCount) ++nCellsExpLess5_;
    }
  }
  for (std::size_t j = 0; j < nCols; ++j)
    if (colTotals_[j] > 0.0) nonEmptyCols_.push_back(static_cast<int>(j));
  if (nonEmptyRows_.size() == 1)
    status_ = KQStatus(BSN_LOGLINEAR_ONE_ROW_CATEGORY, true);
  else if (nonEmptyCols_.size() == 1)
    status_ = KQStatus(BSN_LOGLINEAR_ONE_COLUMN_CATEGORY, true);
  else
    status_ = KQStatus();
  return status_;
}

double BSNContingency::GetPctCellsExpLess5() const {
  if (nonEmptyRows_.empty() || nonEmptyCols_.empty()) return KQMV::Missing();
  return 100.0 * nCellsExpLess5_ / static_cast<double>(nonEmptyRows_.size() * nonEmptyCols_.size());
}

void BSNContingency::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "Start display of BSNContingency");
  DisplayIV("Factors", factors_);
  DisplayIV("Factor sizes", factorSizes_);
  DisplayI("Frequency weight index", frequencyWeightVar_);
  DisplayD("Total weight", total_);
  DisplayDV("Marginal row totals", rowTotals_);
  DisplayDV("Marginal column totals", colTotals_);
  DisplayDVV("All counts", counts_);
  DisplayDVV("Expected counts", expected_);
  DisplayIV("Non-empty rows", nonEmptyRows_);
  DisplayIV("Non-empty columns", nonEmptyCols_);
  DisplayI("Number of cells with expected count < 5", nCellsExpLess5_);
  DisplayD("Minimum expected count", minExpected_);
  DisplayText(1, "End display of BSNContingency");
}

}  // namespace KQBSN_850
