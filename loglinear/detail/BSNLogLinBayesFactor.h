#pragma once
// The Bayes factors BF01 of independence of the two factors against the saturated model, for the
// table of a BSNContingency. Each variant works with the natural log of the factor and stores the
// factor itself when it is a normal double, else the log with the log flag and one BSN_LOG_FACTOR
// warning. The construction reads the settings and the table and sets the status; the log-linear
// analysis discards an object whose status is not plain success without asking it to compute.
//   BSNLogLinConjugateBF: gamma / Dirichlet conjugate priors, closed form, for Poisson sampling and
//     multinomial sampling with a fixed total, fixed rows or fixed columns.
//   BSNLogLinIntrinsicBF: intrinsic priors on a 2 x 2 table, summed over every imaginary table of a
//     training size T (fixed total) or over the two imaginary binomial samples (fixed rows or columns).
//   BSNLogLinNonParametricBF: Dirichlet priors on the two rows (columns) of a 2 x K (R x 2) table.
//   BSNLogLinDirichletBF: symmetric Dirichlet priors whose concentration has a log-Cauchy prior; each
//     marginal likelihood is a quadrature over the concentration (BSNLLDirichletIntegral).

#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQMV.h"
#include "companion/KQStatus.h"
#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"
#include "loglinear/BSNContingency.h"

namespace KQBSN_850 {

class BSNLogLinBayesFactor {
 public:
  BSNLogLinBayesFactor(const BSNSettings& settings, const BSNContingency& table);
  BSNLogLinBayesFactor(const BSNLogLinBayesFactor&) = delete;
  BSNLogLinBayesFactor& operator=(const BSNLogLinBayesFactor&) = delete;
  virtual ~BSNLogLinBayesFactor() = default;

  /// Computes BF01 and returns the stored value: the factor, its log (IsLogBayesFactor), or missing.
  virtual double ComputeBayesFactor() = 0;
  virtual void Display(std::ostream& os) const = 0;

  KQCommon_850::KQStatus GetStatus() const { return status_; }
  double GetBayesFactor() const noexcept { return bayesFactor_; }
  bool IsLogBayesFactor() const noexcept { return isLog_; }
  const KQCommon_850::KQWarnings& GetWarnings() const noexcept { return warnings_; }
  int GetT() const noexcept { return t_; }
  int GetT1() const noexcept { return t1_; }
  int GetT2() const noexcept { return t2_; }
  /// The cancellation state polled by long computations (by default one linked to the settings'
  /// query); `cancel` must outlive the computation.
  void SetCancelInfo(KQCommon_850::KQCancelInfo& cancel) noexcept { cancel_ = &cancel; }

 protected:
  /// Stores exp(logBf01), or the log itself with the flag and BSN_LOG_FACTOR outside the exponent
  /// range; a missing log changes nothing.
  void SetLogBayesFactor(double logBf01);
  /// A warning for the analysis.
  void AddWarning(const KQCommon_850::KQStatus& warning) { warnings_.AddWarning(warning, 0); }

  const BSNSettings* settings_;
  const BSNContingency* table_;
  int nRows_, nCols_;
  double bayesFactor_ = KQCommon_850::KQMV::Missing();
  bool isLog_ = false;
  KQCommon_850::KQStatus status_;
  KQCommon_850::KQWarnings warnings_;
  int t_ = -1, t1_ = -1, t2_ = -1;
  KQCommon_850::KQCancelInfo cancelInfo_;
  KQCommon_850::KQCancelInfo* cancel_ = &cancelInfo_;
};

class BSNLogLinConjugateBF final : public BSNLogLinBayesFactor {
 public:
  BSNLogLinConjugateBF(const BSNSettings& settings, const BSNContingency& table);
  double ComputeBayesFactor() override;
  void Display(std::ostream& os) const override;

 private:
  bool isPoisson_;
  BSNConst::FixType fixType_;
  std::vector<double> shapes_;  ///< one per cell, row-major; 0 in empty rows and columns
  double scale_;
  std::vector<double> rowShapes_, colShapes_;  ///< a_i and b_j
  std::vector<double> rowKsi_, colKsi_;        ///< xi_i and zeta_j
  double totalShape_ = 0.0;                    ///< A
};

class BSNLogLinIntrinsicBF final : public BSNLogLinBayesFactor {
 public:
  BSNLogLinIntrinsicBF(const BSNSettings& settings, const BSNContingency& table);
  double ComputeBayesFactor() override;
  void Display(std::ostream& os) const override;

 private:
  /// The log of the sum over the imaginary tables of the given total; missing after a cancellation.
  double LogSumFixedTotal();
  /// The log of the sum over two imaginary rows of sizes T1 and T2, for counts n (rows fixed) or
  /// their transpose (columns fixed).
  double LogSumFixedRows(const std::vector<std::vector<double>>& n, const std::vector<double>& fixedTotals,
                         const std::vector<double>& otherTotals, int nOtherNonEmpty);

  BSNConst::FixType fixType_;
};

class BSNLogLinNonParametricBF final : public BSNLogLinBayesFactor {
 public:
  BSNLogLinNonParametricBF(const BSNSettings& settings, const BSNContingency& table);
  double ComputeBayesFactor() override;
  void Display(std::ostream& os) const override;

 private:
  BSNConst::FixType fixType_;
  std::vector<double> lambdas_;
};

class BSNLogLinDirichletBF final : public BSNLogLinBayesFactor {
 public:
  BSNLogLinDirichletBF(const BSNSettings& settings, const BSNContingency& table);
  double ComputeBayesFactor() override;
  void Display(std::ostream& os) const override;

 private:
  /// The log of one marginal likelihood: the integral of the counts (a list, or every cell of a table)
  /// with k categories sharing the concentration and prior scale s; missing when it is not positive.
  double LogIntegral(const std::vector<double>& counts, const std::vector<std::vector<double>>& cells,
                     double k, double s);

  BSNConst::FixType fixType_;
  double tolerance_;
  int maxIterations_;
};

namespace detail {

/// log B(v) = sum ln Gamma(v_i) - ln Gamma(sum v_i) over the entries v_i > 0.
double LogMultiBeta(const std::vector<double>& v);
/// log B(v + w) over the entries with v_i + w_i > 0.
double LogMultiBeta(const std::vector<double>& v, const std::vector<double>& w);

/// Sums terms given by their logs without overflow: the result is the log of the sum.
class LogSumAccumulator {
 public:
  void Add(double logTerm) noexcept {
    if (logTerm > max_) {
      sum_ = sum_ * std::exp(max_ - logTerm) + 1.0;
      max_ = logTerm;
    } else if (logTerm > max_ - kNegligible) {
      sum_ += std::exp(logTerm - max_);
    }
  }
  /// The log of the sum; missing when no finite term was added.
  double LogSum() const noexcept {
    return sum_ > 0.0 && std::isfinite(max_) ? max_ + std::log(sum_) : KQCommon_850::KQMV::Missing();
  }

 private:
  /// A term this far (in logs) below the largest one adds less than the rounding of the sum.
  static constexpr double kNegligible = 745.0;
  double max_ = -std::numeric_limits<double>::infinity();
  double sum_ = 0.0;
};

}  // namespace detail

}  // namespace KQBSN_850
