#pragma once
// BSNContingency: the two-way table of weighted counts of the log-linear analysis. Each case adds its
// frequency weight (rounded as every analysis rounds it) to the cell of its row-factor and
// column-factor codes; the table then derives its margins, the total N, the expected counts under
// independence (row total x column total / N), the non-empty rows and columns, and the small expected
// counts that qualify the chi-square test.
// Codes are the categories 0 to size - 1 of each factor (sizes from the settings), truncated toward
// zero; a case whose code is missing, NaN or outside that range adds nothing (a host is expected to
// deliver none: the command rejects them before the analysis).
// Status after a build: BSN_NO_VALID_CASES (error) when every count is 0; the warning
// BSN_LOGLINEAR_ONE_ROW_CATEGORY or, else, BSN_LOGLINEAR_ONE_COLUMN_CATEGORY when only one row or
// column holds cases; a cancellation (code 1) stops the pass and leaves no totals.

#include <ostream>
#include <vector>

#include "companion/KQStatus.h"
#include "companion/Record.h"
#include "frame/RecordPass.h"

namespace KQBSN_850 {

class BSNContingency {
 public:
  using IntList = std::vector<int>;
  using DoubleList = std::vector<double>;
  using DoubleMatrix = std::vector<std::vector<double>>;

  /// factors: the record indices of the row and column factors; factorSizes: their numbers of
  /// categories R and K; frequencyWeightVar: negative for none.
  BSNContingency(IntList factors, IntList factorSizes, int frequencyWeightVar);

  /// Counts the records of one pass and derives the rest; returns the table's status.
  KQCommon_850::KQStatus BuildModel(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter);
  /// Takes the counts of an R x K table as they are (no records) and derives the rest.
  KQCommon_850::KQStatus SetCounts(DoubleMatrix counts);

  const DoubleMatrix& GetAllCounts() const noexcept { return counts_; }
  const DoubleList& GetRowTotals() const noexcept { return rowTotals_; }
  const DoubleList& GetColTotals() const noexcept { return colTotals_; }
  const DoubleMatrix& GetExpectedCounts() const noexcept { return expected_; }
  /// Indices of the rows (columns) whose total is positive, ascending.
  const IntList& GetNonEmptyRows() const noexcept { return nonEmptyRows_; }
  const IntList& GetNonEmptyCols() const noexcept { return nonEmptyCols_; }
  /// Cells of non-empty rows with 0 < expected count < 5.
  int GetNCellsExpLess5() const noexcept { return nCellsExpLess5_; }
  /// 100 x GetNCellsExpLess5 / (non-empty rows x non-empty columns); missing without such cells.
  double GetPctCellsExpLess5() const;
  /// The smallest expected count over the non-empty rows (0 for a cell of an empty column).
  double GetMinExpectedCount() const noexcept { return minExpected_; }
  double GetTotalWeight() const noexcept { return total_; }
  const IntList& GetFactors() const noexcept { return factors_; }
  const IntList& GetFactorSizes() const noexcept { return factorSizes_; }
  int GetNRows() const noexcept { return factorSizes_.size() > 0 ? factorSizes_[0] : 0; }
  int GetNCols() const noexcept { return factorSizes_.size() > 1 ? factorSizes_[1] : 0; }
  KQCommon_850::KQStatus GetStatus() const { return status_; }

  void Display(std::ostream& os) const;

 private:
  KQCommon_850::KQStatus ComputeExpectedCounts();

  IntList factors_;
  IntList factorSizes_;
  int frequencyWeightVar_;
  DoubleMatrix counts_;
  double total_ = 0.0;
  DoubleList rowTotals_, colTotals_;
  DoubleMatrix expected_;
  IntList nonEmptyRows_, nonEmptyCols_;
  int nCellsExpLess5_ = 0;
  double minExpected_ = 0.0;
  KQCommon_850::KQStatus status_;
};

}  // namespace KQBSN_850
