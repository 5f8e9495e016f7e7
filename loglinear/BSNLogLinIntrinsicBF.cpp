#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "companion/KQDisplay.h"
#include "companion/KQDistFun.h"
#include "frame/BSNStatusCodes.h"
#include "loglinear/detail/BSNLogLinBayesFactor.h"

// Intrinsic priors on a 2 x 2 table: the prior of the saturated model is the posterior of an
// imaginary table of training size T under the independence model, so BF01 is the inverse of a sum
// over every imaginary table (fixed total: ~T^3/6 tables; fixed rows or columns: (T1 + 1)(T2 + 1)
// pairs of imaginary binomial samples). Each term is a sum of ln Gamma values of whole numbers and of
// "count + whole number"; all of them come from tables built once per computation, so that a term
// costs a few look-ups and one exp.

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQMath_850::KQDistFun;

namespace {

/// Training sizes used when the settings give -1.
constexpr int kDefaultTFixedTotal = 500;
constexpr int kDefaultTFixedMargin = 5000;

double LogGamma(double x) { return KQDistFun::qorvdnlgam(x); }

/// ln k! for k = 0 .. n.
std::vector<double> LogFactorials(int n) {
  std::vector<double> table(static_cast<std::size_t>(n) + 1, 0.0);
  for (int k = 2; k <= n; ++k)
    table[static_cast<std::size_t>(k)] = table[static_cast<std::size_t>(k) - 1] + std::log(k);
  return table;
}

/// ln Gamma(count + y + 1) - 2 ln y! for y = 0 .. n: the part of a term that one cell of the observed
/// table and its imaginary count y contribute.
std::vector<double> CellTerms(double count, int n, const std::vector<double>& logFactorials) {
  std::vector<double> terms(static_cast<std::size_t>(n) + 1);
  for (int y = 0; y <= n; ++y)
    terms[static_cast<std::size_t>(y)] =
        LogGamma(count + y + 1.0) - 2.0 * logFactorials[static_cast<std::size_t>(y)];
  return terms;
}

/// S1(v) = sum ln Gamma(v_i + 1).
double SumLogFactorials(const std::vector<double>& v) {
  double sum = 0.0;
  for (double x : v) sum += LogGamma(x + 1.0);
  return sum;
}

/// A whole number of imaginary counts: x truncated, 0 for x below 0.
int TrainingSize(double x) { return x > 0.0 ? static_cast<int>(std::min(x, 2147483647.0)) : 0; }

}  // namespace

BSNLogLinIntrinsicBF::BSNLogLinIntrinsicBF(const BSNSettings& settings, const BSNContingency& table)
    : BSNLogLinBayesFactor(settings, table), fixType_(settings.GetFixType()) {
  t_ = settings.GetLogLinIntrinsicT();
  if (t_ == -1) t_ = fixType_ == BSNConst::FixType::FixedTotal ? kDefaultTFixedTotal : kDefaultTFixedMargin;
  if (fixType_ == BSNConst::FixType::FixedTotal) {
    if (t_ > table.GetTotalWeight()) t_ = TrainingSize(table.GetTotalWeight());
    return;
  }
  const std::vector<double>& totals =
      fixType_ == BSNConst::FixType::FixedRow ? table.GetRowTotals() : table.GetColTotals();
  if (totals.size() < 2) return;
  t1_ = TrainingSize(std::min(static_cast<double>(t_), totals[0]));
  t2_ = TrainingSize(std::min(static_cast<double>(t_), totals[1]));
  t_ = t1_ + t2_;
}

double BSNLogLinIntrinsicBF::ComputeBayesFactor() {
  if (!status_.IsOK() || nRows_ != 2 || nCols_ != 2 || t_ < 0) return bayesFactor_;
  const BSNContingency& t = *table_;
  double logSum = KQMV::Missing();
  if (fixType_ == BSNConst::FixType::FixedTotal) {
    logSum = LogSumFixedTotal();
  } else if (fixType_ == BSNConst::FixType::FixedRow) {
    logSum = LogSumFixedRows(t.GetAllCounts(), t.GetRowTotals(), t.GetColTotals(),
                             static_cast<int>(t.GetNonEmptyCols().size()));
  } else {
    const auto& n = t.GetAllCounts();
    const std::vector<std::vector<double>> transposed = {{n[0][0], n[1][0]}, {n[0][1], n[1][1]}};
    logSum = LogSumFixedRows(transposed, t.GetColTotals(), t.GetRowTotals(),
                             static_cast<int>(t.GetNonEmptyRows().size()));
  }
  if (status_.IsError()) return bayesFactor_;  // cancelled
  if (KQMV::IsMissing(logSum)) {
    AddWarning(KQStatus(BSN_NUMERICAL_PROBLEM, true));
    return bayesFactor_;
  }
  SetLogBayesFactor(-logSum);
  return bayesFactor_;
}

double BSNLogLinIntrinsicBF::LogSumFixedTotal() {
  const BSNContingency& t = *table_;
  const double total = t.GetTotalWeight();
  const double nRowsUsed = static_cast<double>(t.GetNonEmptyRows().size());
  const double nColsUsed = static_cast<double>(t.GetNonEmptyCols().size());
  const bool truncated = t_ < total;
  const int size = truncated ? t_ : TrainingSize(total);  // T'
  const double a = nRowsUsed * nColsUsed - 1.0 + (truncated ? t_ : total);
  double h = LogGamma(a + 1.0) - LogGamma(a + total + 1.0) - SumLogFactorials(t.GetRowTotals()) -
             SumLogFactorials(t.GetColTotals());
  if (truncated)
    h += LogGamma(nRowsUsed + total) + LogGamma(nColsUsed + total) - LogGamma(nColsUsed + t_) -
         LogGamma(nRowsUsed + t_);

  const std::vector<double> logFactorials = LogFactorials(size);
  const auto& n = t.GetAllCounts();
  const std::vector<double> a11 = CellTerms(n[0][0], size, logFactorials),
                            a12 = CellTerms(n[0][1], size, logFactorials),
                            a21 = CellTerms(n[1][0], size, logFactorials),
                            a22 = CellTerms(n[1][1], size, logFactorials);
  // ln k! + ln (T' - k)!: S1 of a pair of margins of the imaginary table that sum to T'.
  std::vector<double> marginPair(static_cast<std::size_t>(size) + 1);
  for (int k = 0; k <= size; ++k)
    marginPair[static_cast<std::size_t>(k)] =
        logFactorials[static_cast<std::size_t>(k)] + logFactorials[static_cast<std::size_t>(size - k)];
  const double constant = logFactorials[static_cast<std::size_t>(size)] + h;

  // term(y) = ln T'! - 2 S1(y) + S1(rows of y) + S1(columns of y) + S1(n + y) + H; y22 is the rest.
  std::vector<double> terms(static_cast<std::size_t>(size) + 1);
  detail::LogSumAccumulator sum;
  for (int y11 = 0; y11 <= size; ++y11) {
    for (int y12 = 0; y11 + y12 <= size; ++y12) {
      if (cancel_->IsCancel()) {
        status_ = KQStatus(BSN_STATUS_CANCELLED, false);
        return KQMV::Missing();
      }
      const int rest = size - y11 - y12;
      const double outer = constant + a11[static_cast<std::size_t>(y11)] +
                           a12[static_cast<std::size_t>(y12)] +
                           marginPair[static_cast<std::size_t>(y11 + y12)];
      const double* row2Col1 = a21.data();
      const double* row2Col2 = a22.data() + rest;
      const double* columns = marginPair.data() + y11;
      double largest = -std::numeric_limits<double>::infinity();
      for (int y21 = 0; y21 <= rest; ++y21) {
        const double term = outer + row2Col1[y21] + row2Col2[-y21] + columns[y21];
        terms[static_cast<std::size_t>(y21)] = term;
        largest = std::max(largest, term);
      }
      double scaled = 0.0;
      for (int y21 = 0; y21 <= rest; ++y21)
        scaled += std::exp(terms[static_cast<std::size_t>(y21)] - largest);
      sum.Add(largest + std::log(scaled));
    }
  }
  return sum.LogSum();
}

double BSNLogLinIntrinsicBF::LogSumFixedRows(const std::vector<std::vector<double>>& n,
                                             const std::vector<double>& fixedTotals,
                                             const std::vector<double>& otherTotals, int nOtherNonEmpty) {
  const double k = static_cast<double>(nOtherNonEmpty);
  const double total = table_->GetTotalWeight();
  double h = LogGamma(t1_ + k) + LogGamma(t2_ + k) - LogGamma(t1_ + fixedTotals[0] + k) -
             LogGamma(t2_ + fixedTotals[1] + k) - SumLogFactorials(otherTotals);
  if (t1_ < fixedTotals[0] || t2_ < fixedTotals[1]) h += LogGamma(total + k) - LogGamma(t_ + k);

  const std::vector<double> logFactorials = LogFactorials(t_);
  // The part of a term that imaginary row i with y in its first column contributes.
  auto rowTerms = [&](int size, double first, double second) {
    std::vector<double> terms(static_cast<std::size_t>(size) + 1);
    for (int y = 0; y <= size; ++y)
      terms[static_cast<std::size_t>(y)] = logFactorials[static_cast<std::size_t>(size)] -
                                           2.0 * logFactorials[static_cast<std::size_t>(y)] -
                                           2.0 * logFactorials[static_cast<std::size_t>(size - y)] +
                                           LogGamma(first + y + 1.0) + LogGamma(second + size - y + 1.0);
    return terms;
  };
  const std::vector<double> row1 = rowTerms(t1_, n[0][0], n[0][1]), row2 = rowTerms(t2_, n[1][0], n[1][1]);
  // S1 of the imaginary table's two column sums, which add up to T.
  std::vector<double> columnPair(static_cast<std::size_t>(t_) + 1);
  for (int s = 0; s <= t_; ++s)
    columnPair[static_cast<std::size_t>(s)] =
        logFactorials[static_cast<std::size_t>(s)] + logFactorials[static_cast<std::size_t>(t_ - s)];

  std::vector<double> terms(static_cast<std::size_t>(t2_) + 1);
  detail::LogSumAccumulator sum;
  for (int y1 = 0; y1 <= t1_; ++y1) {
    if (cancel_->IsCancel()) {
      status_ = KQStatus(BSN_STATUS_CANCELLED, false);
      return KQMV::Missing();
    }
    const double outer = h + row1[static_cast<std::size_t>(y1)];
    const double* columns = columnPair.data() + y1;
    double largest = -std::numeric_limits<double>::infinity();
    for (int y2 = 0; y2 <= t2_; ++y2) {
      const double term = outer + row2[static_cast<std::size_t>(y2)] + columns[y2];
      terms[static_cast<std::size_t>(y2)] = term;
      largest = std::max(largest, term);
    }
    double scaled = 0.0;
    for (int y2 = 0; y2 <= t2_; ++y2) scaled += std::exp(terms[static_cast<std::size_t>(y2)] - largest);
    sum.Add(largest + std::log(scaled));
  }
  return sum.LogSum();
}

void BSNLogLinIntrinsicBF::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "Start display of BSNLogLinIntrinsicBF");
  DisplayI("Fix type", BSNConst::ToInt(fixType_));
  DisplayD("Total weight", table_->GetTotalWeight());
  DisplayDV("Row Totals", table_->GetRowTotals());
  DisplayDV("Column Totals", table_->GetColTotals());
  DisplayI("Value of T", t_);
  DisplayI("Value of T1", t1_);
  DisplayI("Value of T2", t2_);
  DisplayD("Bayes factor", bayesFactor_);
  DisplayB("Is Log Bayes factor", isLog_);
  DisplayI("Status", status_.GetErrorCode());
  DisplayText(1, "End display of BSNLogLinIntrinsicBF");
}

}  // namespace KQBSN_850
