#include "regression/detail/BSNMultipleRegrFactor.h"

#include <cmath>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/FactorStore.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using Method = BSNConst::RegrCompute;

BSNMultipleRegrFactor::BSNMultipleRegrFactor(const BSNSettings& settings, double nCases, double nPredictors)
    : nCases_(nCases),
      nPredictors_(nPredictors),
      bayesFactor_(KQMV::Missing()),
      settings_(&settings),
      tolerance_(settings.GetTolValue()),
      maxIterations_(settings.GetMaxIterations()) {}

KQStatus BSNMultipleRegrFactor::Compute() {
  if (IsTrivial()) {
    bayesFactor_ = 1.0;
    return status_;
  }
  switch (settings_->GetRegrCompType()) {
    case Method::Siow:
      status_ = ComputeSiow();
      break;
    case Method::Zellner:
      status_ = ComputeZellner();
      break;
    case Method::Hyper:
      status_ = ComputeHyper();
      break;
    case Method::Rouder:
      status_ = ComputeRouder();
      break;
    default:
      break;
  }
  return status_;
}

void BSNMultipleRegrFactor::StoreLog(double logFactor) {
  const StoredFactor stored = StoreLogFactor(logFactor);
  bayesFactor_ = stored.value;
  isLog_ = stored.isLog;
  if (isLog_) warnings_.AddWarning(KQStatus(BSN_LOG_FACTOR, true), 0);
}

double BSNMultipleRegrFactor::LogIntegral(GPriorIntegrand& f) {
  const GIntegration controls{tolerance_, maxIterations_, cancel_};
  return LogIntegralOverG(f, controls, warnings_, cancelled_);
}

KQStatus BSNMultipleRegrFactor::StoreIntegral(GPriorIntegrand& f, double logConstant) {
  const double logIntegral = LogIntegral(f);
  if (!KQMV::IsMissing(logIntegral)) StoreLog(logIntegral + logConstant);
  return status_;
}

KQStatus BSNMultipleRegrFactor::StoreHyperIntegral(GPriorIntegrand& f, double c) {
  // The normalising constant (c - 2)/2 of the prior (1 + g)^(-c/2): 0 for c = 2, and no density below.
  if (c > 2.0) return StoreIntegral(f, std::log((c - 2.0) / 2.0));
  if (c == 2.0) bayesFactor_ = 0.0;
  return status_;
}

namespace {

bool IsUsableParameter(double c) { return !KQMV::IsMissingOrNaN(c) && c > 0.0 && std::isfinite(c); }

}  // namespace

BSNMultipleRegrNullFactor::BSNMultipleRegrNullFactor(const BSNSettings& settings, double nCases,
                                                     double nPredictors, double rSquared)
    : BSNMultipleRegrFactor(settings, nCases, nPredictors), rSquared_(rSquared) {}

KQStatus BSNMultipleRegrNullFactor::ComputeZellner() {
  const double g = settings_->GetRegrComPar();
  if (KQMV::IsMissingOrNaN(g)) return status_;
  const double n = nCases_, p = nPredictors_;
  StoreLog(((n - p - 1.0) / 2.0) * std::log1p(g) + ((1.0 - n) / 2.0) * std::log1p((1.0 - rSquared_) * g));
  return status_;
}

KQStatus BSNMultipleRegrNullFactor::ComputeSiow() {
  SiowNullFunction f(rSquared_, nCases_, nPredictors_);
  return StoreIntegral(f);
}

KQStatus BSNMultipleRegrNullFactor::ComputeHyper() {
  const double c = settings_->GetRegrComPar();
  if (!IsUsableParameter(c)) return status_;
  HyperNullFunction f(rSquared_, nCases_, nPredictors_, c);
  return StoreHyperIntegral(f, c);
}

KQStatus BSNMultipleRegrNullFactor::ComputeRouder() {
  const double c = settings_->GetRegrComPar();
  if (!IsUsableParameter(c)) return status_;
  RouderNullFunction f(rSquared_, nCases_, nPredictors_, c);
  return StoreIntegral(f);
}

BSNMultipleRegrFullFactor::BSNMultipleRegrFullFactor(const BSNSettings& settings, double nCases,
                                                     double nPredictors, double nPredictorsFull,
                                                     double rSquared, double rSquaredFull)
    : BSNMultipleRegrFactor(settings, nCases, nPredictors),
      rSquared_(rSquared),
      rSquaredFull_(rSquaredFull),
      nPredictorsFull_(nPredictorsFull) {}

bool BSNMultipleRegrFullFactor::IsTrivial() noexcept {
  return std::fabs(rSquared_ - rSquaredFull_) < tolerance_;
}

KQStatus BSNMultipleRegrFullFactor::ComputeZellner() {
  const double g = settings_->GetRegrComPar();
  if (KQMV::IsMissingOrNaN(g)) return status_;
  const double n = nCases_, p = nPredictors_, p1 = nPredictorsFull_;
  const double ratio = (1.0 - rSquaredFull_) / (1.0 - rSquared_);
  StoreLog(((p1 + 1.0 - n) / 2.0) * std::log1p(g) + ((n - p - 1.0) / 2.0) * std::log1p(g * ratio));
  return status_;
}

KQStatus BSNMultipleRegrFullFactor::ComputeSiow() {
  SiowFullFunction f(rSquared_, rSquaredFull_, nCases_, nPredictors_, nPredictorsFull_);
  return StoreIntegral(f);
}

KQStatus BSNMultipleRegrFullFactor::ComputeHyper() {
  const double c = settings_->GetRegrComPar();
  if (!IsUsableParameter(c)) return status_;
  HyperFullFunction f(rSquared_, rSquaredFull_, nCases_, nPredictors_, nPredictorsFull_, c);
  return StoreHyperIntegral(f, c);
}

KQStatus BSNMultipleRegrFullFactor::ComputeRouder() {
  const double c = settings_->GetRegrComPar();
  if (!IsUsableParameter(c)) return status_;
  RouderFullFunction f(rSquared_, rSquaredFull_, nCases_, nPredictors_, nPredictorsFull_, c);
  return StoreIntegral(f);
}

}  // namespace KQBSN_850
