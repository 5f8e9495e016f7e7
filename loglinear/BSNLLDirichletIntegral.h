#pragma once
// BSNLLDirichletIntegral: the integral of a BSNLLDirichletIF over the concentration, by the adaptive
// Gauss-Lobatto rule on [0, 1e8]. When the rule runs out of iterations the integral is instead the
// sum of its basic rule over ten pieces of [0, b5] cut at the bounds b1 < ... < b5 and their
// midpoints; the rule's warnings are kept in either case.

#include <ostream>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQWarnings.h"

namespace KQBSN_850 {

class BSNLLDirichletIntegral {
 public:
  /// The counts are referred to, not copied: they must outlive the object.
  BSNLLDirichletIntegral(const std::vector<double>& counts, const std::vector<std::vector<double>>& cells,
                         double tPrime, double bScale, double total, double tolerance, int maxIter);
  virtual ~BSNLLDirichletIntegral() = default;

  void SetTolerance(double tolerance) noexcept { tolerance_ = tolerance; }
  void SetMaxIter(int maxIter) noexcept { maxIter_ = maxIter; }
  void SetLeftBound(double left) noexcept { left_ = left; }
  void SetRightBound(double right) noexcept { right_ = right; }
  /// Divide the integrand by its value at 1 (GetLogScale then gives the log of that divisor).
  void SetScaling(bool scaling) noexcept { scaling_ = scaling; }
  /// Cancellation asked during the quadrature (null: never).
  void SetCancelInfo(KQCommon_850::KQCancelInfo* cancel) noexcept { cancel_ = cancel; }
  /// Takes the bounds of the fallback when 0 < b1 < b2 < b3 < b4 < b5; false (nothing changes) otherwise.
  bool SetBoundsForNonConvergence(double b1, double b2, double b3, double b4, double b5);

  /// The integral (scaled when scaling is on); missing when the integrand could not be evaluated.
  double Compute();
  int GetNIterations() const noexcept { return nIter_; }
  double GetLogScale() const noexcept { return logScale_; }
  const KQCommon_850::KQWarnings& GetWarnings() const noexcept { return warnings_; }
  void Display(std::ostream& os) const;

 private:
  const std::vector<double>& counts_;
  const std::vector<std::vector<double>>& cells_;
  double tPrime_;
  double bScale_;
  double total_;
  double tolerance_;
  int maxIter_;
  int nIter_ = 0;
  double left_ = 0.0;
  double right_ = 1e8;
  std::vector<double> bounds_ = {1.0, 2.0, 10.0, 50.0, 500.0};
  bool scaling_ = false;
  double logScale_ = 0.0;
  KQCommon_850::KQWarnings warnings_;
  KQCommon_850::KQCancelInfo* cancel_ = nullptr;
};

}  // namespace KQBSN_850
