#pragma once
// BSNLLDirichletIF: the integrand of a Dirichlet marginal likelihood over its concentration alpha.
// k categories share a symmetric Dirichlet(alpha) prior, alpha / s has the log-Cauchy prior of scale pi;
// for the counts x (a list, or every cell of a table when the table is not empty) of total N:
//   log f(alpha) = sum_i [ln Gamma(x_i + alpha) - ln Gamma(alpha)] + ln Gamma(k alpha) - ln Gamma(N + k
//   alpha)
//                  + log p(alpha / s) - ln s,
// the Dirichlet-multinomial probability of the counts without the multinomial coefficient, times the
// prior density of alpha. Categories without a count (k larger than the number of counts) add nothing
// to the sum. With scaling on, the integrand is divided by f(1), so that large tables keep it in range.

#include <ostream>
#include <vector>

#include "companion/IIntegrand.h"

namespace KQBSN_850 {

class BSNLLDirichletIF final : public KQMath_850::IIntegrand {
 public:
  /// The counts are referred to, not copied: they must outlive the integrand.
  BSNLLDirichletIF(const std::vector<double>& counts, const std::vector<std::vector<double>>& cells,
                   double tPrime, double bScale, double total);

  /// log f(alpha) for alpha > 0; missing for alpha <= 0.
  double ComputeLogF(double alpha) const;
  /// log f(alpha) - log f(1) (0 while scaling is off).
  double ComputeLogScaledF(double alpha) const;
  /// exp(ComputeLogScaledF), or missing where it would overflow.
  double ComputeScaledF(double alpha) const;
  /// The value integrated: 0 for alpha <= 0, else f(alpha) (divided by f(1) with scaling on).
  double ComputeNI(double alpha) override;
  /// No two-variable form: missing.
  double ComputeMC(double x, double y) override;
  /// Divides the integrand by f(1) from now on (true) or not.
  void SetScaling(bool scaling);
  /// The sum of the counts used.
  double ComputeY() const;
  double GetLogF1() const noexcept { return logF1_; }
  void Display(std::ostream& os) const;

 private:
  const std::vector<double>& counts_;
  const std::vector<std::vector<double>>& cells_;
  double tPrime_;
  double bScale_;
  double total_;
  bool scaling_ = false;
  double logF1_ = 0.0;
};

}  // namespace KQBSN_850
