// The contingency table: margins, expected counts and their diagnostics worked by hand, codes outside
// the table, one-category warnings and the empty table.

#include <gtest/gtest.h>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "loglinear/BSNContingency.h"
#include "loglinear/BSNLoglinearFun.h"
#include "tests/loglinear/LogLinearRun.h"
#include "tests/support/ExpectNearRel.h"

namespace kqtest {
namespace {

using KQBSN_850::BSNContingency;
using KQCommon_850::KQMV;

TEST(Contingency, MarginsExpectedCountsAndSmallCells) {
  // A 3 x 3 table with an empty row and an empty column; N = 20. Row totals 10, 0, 10; column totals
  // 6, 14, 0; E = row x column / 20: rows 0 and 2 both (3, 7, 0).
  BSNContingency table({0, 1}, {3, 3}, -1);
  const KQCommon_850::KQStatus status = table.SetCounts({{2, 8, 0}, {0, 0, 0}, {4, 6, 0}});
  EXPECT_TRUE(status.IsOK());
  EXPECT_EQ(table.GetRowTotals(), (std::vector<double>{10, 0, 10}));
  EXPECT_EQ(table.GetColTotals(), (std::vector<double>{6, 14, 0}));
  EXPECT_EQ(table.GetExpectedCounts(), (BSNContingency::DoubleMatrix{{3, 7, 0}, {0, 0, 0}, {3, 7, 0}}));
  EXPECT_EQ(table.GetNonEmptyRows(), (std::vector<int>{0, 2}));
  EXPECT_EQ(table.GetNonEmptyCols(), (std::vector<int>{0, 1}));
  // The cells of the empty column set the minimum to 0 without counting as small; the two cells of 3 do.
  EXPECT_EQ(table.GetMinExpectedCount(), 0.0);
  EXPECT_EQ(table.GetNCellsExpLess5(), 2);
  EXPECT_DOUBLE_EQ(table.GetPctCellsExpLess5(), 100.0 * 2 / 4);
}

TEST(Contingency, RecordsAddRoundedWeightsAndSkipCodesOutsideTheTable) {
  // Weights 2 and 1.5 (rounded to 2) in cell (1, 0), 1 in (0, 1); codes 2, -1 and missing add nothing;
  // code 0.7 is category 0.
  const double m = KQMV::Missing();
  const Rows rows = {std::vector<double>{1, 0, 2},   std::vector<double>{1, 0, 1.5},
                     std::vector<double>{0.7, 1, 1}, std::vector<double>{2, 0, 1},
                     std::vector<double>{0, -1, 1},  std::vector<double>{m, 1, 1},
                     std::vector<double>{0, 0, 1}};
  const LogLinearRun run(LogLinearSettings({{0, 0}, {0, 0}}), rows);
  ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
  EXPECT_EQ(run.Record()->GetContingencyMatrix().GetAllCounts(),
            (BSNContingency::DoubleMatrix{{1, 1}, {4, 0}}));
  EXPECT_EQ(run.Record()->GetContingencyMatrix().GetTotalWeight(), 6.0);
}

TEST(Contingency, OneCategoryWarnsAndNoCaseIsAnError) {
  BSNContingency table({0, 1}, {2, 2}, -1);
  // Both one row and one column: the row warning wins.
  EXPECT_EQ(table.SetCounts({{3, 0}, {0, 0}}).GetErrorCode(), KQBSN_850::BSN_LOGLINEAR_ONE_ROW_CATEGORY);
  EXPECT_EQ(table.SetCounts({{3, 0}, {2, 0}}).GetErrorCode(), KQBSN_850::BSN_LOGLINEAR_ONE_COLUMN_CATEGORY);
  const KQCommon_850::KQStatus empty = table.SetCounts({{0, 0}, {0, 0}});
  EXPECT_TRUE(empty.IsError());
  EXPECT_EQ(empty.GetErrorCode(), KQBSN_850::BSN_NO_VALID_CASES);
  EXPECT_TRUE(table.GetNonEmptyRows().empty());
  EXPECT_TRUE(KQMV::IsMissing(table.GetPctCellsExpLess5()));
}

TEST(LoglinearFun, CombinatorialTermsAndLogCauchyDensity) {
  using KQBSN_850::BSNLoglinearFun;
  // 5! / (2! 3!) = 10; 4! / (1! 1! 2! 0!) = 12.
  EXPECT_NEAR_REL(BSNLoglinearFun::MultinomialCoef(std::vector<double>{2, 3}, 5), 10.0, 1e-14);
  EXPECT_NEAR_REL(BSNLoglinearFun::MultinomialCoef(BSNContingency::DoubleMatrix{{1, 1}, {2, 0}}, 4), 12.0,
                  1e-14);
  // Table {{1, 1}, {2, 0}}: rows (2, 2), columns (3, 1): 2! 2! 3! 1! / (4! 1! 1! 2! 0!) = 24 / 48.
  EXPECT_NEAR_REL(BSNLoglinearFun::ProbOfInterior(4, {2, 2}, {3, 1}, {{1, 1}, {2, 0}}), 0.5, 1e-14);
  // At x = 1: 1 / pi^2; at x = e: (1/e) / (1 + pi^2).
  EXPECT_NEAR_REL(BSNLoglinearFun::LogCauchyDensity(1.0), 1.0 / 9.869604401089358, 1e-15);
  EXPECT_NEAR_REL(BSNLoglinearFun::LogLogCauchyDensity(std::exp(1.0)),
                  -1.0 - std::log(1.0 + 9.869604401089358), 1e-15);
  EXPECT_TRUE(KQMV::IsMissing(BSNLoglinearFun::LogCauchyDensity(0.0)));
  EXPECT_TRUE(KQMV::IsMissing(BSNLoglinearFun::LogLogCauchyDensity(-1.0)));
}

}  // namespace
}  // namespace kqtest
