#pragma once
// BSNMultipleRegrFactor: the Bayes factor of a fitted regression over its comparison model, the
// intercept-only null model (BSNMultipleRegrNullFactor) or a larger full model (BSNMultipleRegrFullFactor),
// under a prior on Zellner's g chosen by the settings' RegrCompType:
//   Zellner (fixed g = c):  null ln BF = ((N - p - 1)/2) ln(1 + g) + ((1 - N)/2) ln(1 + (1 - R2) g),
//                           full ln BF = ((p1 + 1 - N)/2) ln(1 + g) + ((N - p - 1)/2) ln(1 + g (1 - R1)/(1 -
//                           R0));
//   Siow, Rouder (scale c): the integral over g of the likelihood ratio times the inverse-gamma(1/2, c^2 N/2)
//                           density of g (c = 1 for Siow);
//   Hyper (parameter c):    ((c - 2)/2) times the integral of the likelihood ratio times (1 + g)^(-c/2);
// the integrals over g in [machine epsilon, 1e6] (GPriorIntegrands.h). Values above 1 favour the fitted
// model. c is the settings' RegrComPar (missing: no factor). Any other method leaves the factor missing.
// Against a full model whose R squared equals the fitted one to within TolValue the factor is exactly 1.
//
// Every form is computed as a logarithm; a factor outside the range of normal doubles is stored as its
// logarithm, flagged, with one BSN_LOG_FACTOR warning. Quadrature trouble becomes BSN_NUMERICAL_PROBLEM
// warnings. No error status is produced.
// Accuracy: tests/regression/BSNMultipleRegrFactor_test.cpp compares with BayesFactor::linearReg.R2stat
// (its integral to infinity less the tail beyond 1e6), the hyper-g hypergeometric form and the closed form.

#include "companion/KQCancel.h"
#include "companion/KQStatus.h"
#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"
#include "regression/detail/GPriorIntegrands.h"

namespace KQBSN_850 {

class BSNMultipleRegrFactor {
 public:
  BSNMultipleRegrFactor(const BSNMultipleRegrFactor&) = delete;
  BSNMultipleRegrFactor& operator=(const BSNMultipleRegrFactor&) = delete;
  virtual ~BSNMultipleRegrFactor() = default;

  /// Computes the factor of the settings' method; returns (and keeps) the status.
  KQCommon_850::KQStatus Compute();
  /// The factor, its logarithm (IsLogBayesFactor) or the missing value.
  double GetBayesFactor() const noexcept { return bayesFactor_; }
  bool IsLogBayesFactor() const noexcept { return isLog_; }
  const KQCommon_850::KQWarnings& GetWarnings() const noexcept { return warnings_; }
  /// Cancellation polled by the quadrature (null: never); WasCancelled tells whether it stopped.
  void SetCancelInfo(KQCommon_850::KQCancelInfo* cancel) noexcept { cancel_ = cancel; }
  bool WasCancelled() const noexcept { return cancelled_; }

 protected:
  BSNMultipleRegrFactor(const BSNSettings& settings, double nCases, double nPredictors);

  virtual KQCommon_850::KQStatus ComputeZellner() = 0;
  virtual KQCommon_850::KQStatus ComputeSiow() = 0;
  virtual KQCommon_850::KQStatus ComputeHyper() = 0;
  virtual KQCommon_850::KQStatus ComputeRouder() = 0;
  /// True when the comparison needs no integral; the full factor then sets the factor to 1.
  virtual bool IsTrivial() noexcept { return false; }

  /// Stores exp(logFactor), or the flagged logarithm with one BSN_LOG_FACTOR warning.
  void StoreLog(double logFactor);
  /// ln of the integral of f over the range of g (missing when it fails; see GPriorIntegrands.h).
  double LogIntegral(GPriorIntegrand& f);
  /// Stores the integral of f times a positive constant given as its logarithm.
  KQCommon_850::KQStatus StoreIntegral(GPriorIntegrand& f, double logConstant = 0.0);
  /// Stores (c - 2)/2 times the integral of the hyper-g integrand f.
  KQCommon_850::KQStatus StoreHyperIntegral(GPriorIntegrand& f, double c);

  KQCommon_850::KQStatus status_;
  double nCases_;
  double nPredictors_;
  double bayesFactor_;
  bool isLog_ = false;
  const BSNSettings* settings_;
  double tolerance_;
  int maxIterations_;
  KQCommon_850::KQWarnings warnings_;
  KQCommon_850::KQCancelInfo* cancel_ = nullptr;
  bool cancelled_ = false;
};

class BSNMultipleRegrNullFactor final : public BSNMultipleRegrFactor {
 public:
  BSNMultipleRegrNullFactor(const BSNSettings& settings, double nCases, double nPredictors, double rSquared);

 private:
  KQCommon_850::KQStatus ComputeZellner() override;
  KQCommon_850::KQStatus ComputeSiow() override;
  KQCommon_850::KQStatus ComputeHyper() override;
  KQCommon_850::KQStatus ComputeRouder() override;

  double rSquared_;
};

class BSNMultipleRegrFullFactor final : public BSNMultipleRegrFactor {
 public:
  BSNMultipleRegrFullFactor(const BSNSettings& settings, double nCases, double nPredictors,
                            double nPredictorsFull, double rSquared, double rSquaredFull);

 private:
  KQCommon_850::KQStatus ComputeZellner() override;
  KQCommon_850::KQStatus ComputeSiow() override;
  KQCommon_850::KQStatus ComputeHyper() override;
  KQCommon_850::KQStatus ComputeRouder() override;
  bool IsTrivial() noexcept override;

  double rSquared_;
  double rSquaredFull_;
  double nPredictorsFull_;
};

}  // namespace KQBSN_850
