#include <cmath>
#include <cstddef>

#include "companion/KQDisplay.h"
#include "companion/KQDistFun.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/FactorStore.h"
#include "loglinear/detail/BSNLogLinBayesFactor.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQMath_850::KQDistFun;

BSNLogLinBayesFactor::BSNLogLinBayesFactor(const BSNSettings& settings, const BSNContingency& table)
    : settings_(&settings),
      table_(&table),
      nRows_(static_cast<int>(table.GetAllCounts().size())),
      nCols_(table.GetAllCounts().empty() ? 0 : static_cast<int>(table.GetAllCounts()[0].size())),
      cancelInfo_(settings.GetCancelPointer()) {}

void BSNLogLinBayesFactor::SetLogBayesFactor(double logBf01) {
  if (KQMV::IsMissingOrNaN(logBf01)) return;
  const StoredFactor stored = StoreLogFactor(logBf01);
  bayesFactor_ = stored.value;
  isLog_ = stored.isLog;
  if (isLog_) {
    status_ = KQStatus(BSN_LOG_FACTOR, true);
    AddWarning(status_);
  }
}

namespace detail {

double LogMultiBeta(const std::vector<double>& v) {
  double sumLogGamma = 0.0, sum = 0.0;
  for (double x : v)
    if (x > 0.0) {
      sumLogGamma += KQDistFun::qorvdnlgam(x);
      sum += x;
    }
  return sum > 0.0 ? sumLogGamma - KQDistFun::qorvdnlgam(sum) : 0.0;
}

double LogMultiBeta(const std::vector<double>& v, const std::vector<double>& w) {
  std::vector<double> both(v.size());
  for (std::size_t i = 0; i < v.size(); ++i) both[i] = v[i] + (i < w.size() ? w[i] : 0.0);
  return LogMultiBeta(both);
}

}  // namespace detail

// ---- nonparametric -------------------------------------------------------------------------------

BSNLogLinNonParametricBF::BSNLogLinNonParametricBF(const BSNSettings& settings, const BSNContingency& table)
    : BSNLogLinBayesFactor(settings, table),
      fixType_(settings.GetFixType()),
      lambdas_(settings.GetLambdas()) {
  if (lambdas_.empty()) lambdas_ = {1.0};
  const std::size_t required =
      static_cast<std::size_t>(fixType_ == BSNConst::FixType::FixedColumn ? nRows_ : nCols_);
  if (lambdas_.size() == 1) lambdas_.assign(required, lambdas_[0]);
  if (lambdas_.size() != required) {
    status_ = KQCommon_850::StatusWithDatum(BSN_LOGLINEAR_LAMBDA_COUNT, false, static_cast<long>(required));
    status_.SetDiscreteDatum(1, static_cast<long>(settings.GetLambdas().size()));
  }
}

double BSNLogLinNonParametricBF::ComputeBayesFactor() {
  if (status_.IsError()) return bayesFactor_;
  const BSNContingency::DoubleMatrix& n = table_->GetAllCounts();
  // The two fixed samples (rows, or columns) and their pooled counts.
  std::vector<double> x1, x2, pooled;
  if (fixType_ == BSNConst::FixType::FixedColumn) {
    for (const auto& row : n) {
      x1.push_back(row[0]);
      x2.push_back(row[1]);
    }
    pooled = table_->GetRowTotals();
  } else {
    x1 = n[0];
    x2 = n[1];
    pooled = table_->GetColTotals();
  }
  using detail::LogMultiBeta;
  SetLogBayesFactor(LogMultiBeta(lambdas_) + LogMultiBeta(lambdas_, pooled) - LogMultiBeta(lambdas_, x1) -
                    LogMultiBeta(lambdas_, x2));
  return bayesFactor_;
}

void BSNLogLinNonParametricBF::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "Start display of BSNLogLinNonParametricBF");
  DisplayI("Fix type", BSNConst::ToInt(fixType_));
  DisplayDV("Lambdas", lambdas_);
  DisplayD("Total weight", table_->GetTotalWeight());
  DisplayD("Bayes factor", bayesFactor_);
  DisplayI("Status", status_.GetErrorCode());
  DisplayText(1, "End display of BSNLogLinNonParametricBF");
}

}  // namespace KQBSN_850
