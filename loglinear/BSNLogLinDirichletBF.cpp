#include <cmath>
#include <vector>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "loglinear/BSNLLDirichletIntegral.h"
#include "loglinear/detail/BSNLogLinBayesFactor.h"

// Dirichlet priors with an unknown concentration: the saturated model puts one symmetric Dirichlet on
// the R K cells, independence one on the rows and one on the columns, each concentration with a
// log-Cauchy prior. BF01 = (rows integral x columns integral) / cells integral. Under a fixed margin
// the prior of the other margin's concentration is scaled by the number of fixed samples.
// Every integrand is divided by its value at concentration 1 and that divisor is put back in logs, so
// that large tables, whose integrands lie far below the smallest double, keep their factor.

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

BSNLogLinDirichletBF::BSNLogLinDirichletBF(const BSNSettings& settings, const BSNContingency& table)
    : BSNLogLinBayesFactor(settings, table),
      fixType_(settings.GetFixType()),
      tolerance_(settings.GetTolValue()),
      maxIterations_(settings.GetMaxIterations()) {}

double BSNLogLinDirichletBF::LogIntegral(const std::vector<double>& counts,
                                         const std::vector<std::vector<double>>& cells, double k, double s) {
  BSNLLDirichletIntegral integral(counts, cells, k, s, table_->GetTotalWeight(), tolerance_, maxIterations_);
  integral.SetScaling(true);
  integral.SetCancelInfo(cancel_);
  const double value = integral.Compute();
  warnings_.AddWarnings(integral.GetWarnings());
  if (cancel_->WillCancel()) status_ = KQStatus(BSN_STATUS_CANCELLED, false);
  if (KQMV::IsMissingOrNaN(value) || !(value > 0.0) || !std::isfinite(value) ||
      KQMV::IsMissingOrNaN(integral.GetLogScale()))
    return KQMV::Missing();
  return std::log(value) + integral.GetLogScale();
}

double BSNLogLinDirichletBF::ComputeBayesFactor() {
  if (!status_.IsOK()) return bayesFactor_;
  const BSNContingency& t = *table_;
  const std::vector<double> none;
  const std::vector<std::vector<double>> noCells;
  const double r = nRows_, k = nCols_;
  const double logCells = LogIntegral(none, t.GetAllCounts(), r * k, 1.0);
  if (status_.IsError()) return bayesFactor_;
  if (KQMV::IsMissing(logCells)) {
    AddWarning(KQStatus(BSN_NUMERICAL_PROBLEM, true));
    return bayesFactor_;
  }
  double logRows = KQMV::Missing(), logCols = KQMV::Missing();
  if (fixType_ == BSNConst::FixType::FixedRow) {
    logRows = LogIntegral(t.GetRowTotals(), noCells, r, k);
    logCols = LogIntegral(t.GetColTotals(), noCells, k, 1.0);
  } else {
    logRows = LogIntegral(t.GetRowTotals(), noCells, r, 1.0);
    logCols = LogIntegral(t.GetColTotals(), noCells, k, fixType_ == BSNConst::FixType::FixedColumn ? r : 1.0);
  }
  if (status_.IsError()) return bayesFactor_;
  if (KQMV::IsMissing(logRows) || KQMV::IsMissing(logCols)) {
    AddWarning(KQStatus(BSN_NUMERICAL_PROBLEM, true));
    return bayesFactor_;
  }
  SetLogBayesFactor(logRows + logCols - logCells);
  return bayesFactor_;
}

void BSNLogLinDirichletBF::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "Start display of BSNLogLinDirichletBF");
  DisplayI("Fix type", BSNConst::ToInt(fixType_));
  DisplayD("Total weight", table_->GetTotalWeight());
  DisplayD("Tolerance", tolerance_);
  DisplayI("Max iterations", maxIterations_);
  DisplayD("Bayes factor", bayesFactor_);
  DisplayB("Is Log Bayes factor", isLog_);
  DisplayI("Status", status_.GetErrorCode());
  DisplayText(1, "End display of BSNLogLinDirichletBF");
}

}  // namespace KQBSN_850
