#include "loglinear/BSNLLDirichletIntegral.h"

#include <cstddef>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "companion/LobattoQuad.h"
#include "loglinear/BSNLLDirichletIF.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

BSNLLDirichletIntegral::BSNLLDirichletIntegral(const std::vector<double>& counts,
                                               const std::vector<std::vector<double>>& cells, double tPrime,
                                               double bScale, double total, double tolerance, int maxIter)
    : counts_(counts),
      cells_(cells),
      tPrime_(tPrime),
      bScale_(bScale),
      total_(total),
      tolerance_(tolerance),
      maxIter_(maxIter) {}

bool BSNLLDirichletIntegral::SetBoundsForNonConvergence(double b1, double b2, double b3, double b4,
                                                        double b5) {
  if (!(0.0 < b1 && b1 < b2 && b2 < b3 && b3 < b4 && b4 < b5)) return false;
  bounds_ = {b1, b2, b3, b4, b5};
  return true;
}

double BSNLLDirichletIntegral::Compute() {
  nIter_ = 0;
  BSNLLDirichletIF integrand(counts_, cells_, tPrime_, bScale_, total_);
  integrand.SetScaling(scaling_);
  logScale_ = integrand.GetLogF1();
  KQMath_850::LobattoQuad quad(integrand);
  quad.SetTolerance(tolerance_);
  quad.SetMaxIter(maxIter_);
  quad.SetCancelInfo(cancel_);
  double integral = quad.Integrate(left_, right_);
  nIter_ = quad.GetNIterations();
  if (!quad.WasCancelled() && nIter_ >= maxIter_) {
    // The adaptive rule ran out of iterations: the basic rule over ten pieces of [left, b5], cut at
    // each bound and at the midpoints between them.
    integral = 0.0;
    double from = left_;
    for (double bound : bounds_) {
      const double middle = 0.5 * (from + bound);
      const double first = quad.SumUp(from, middle), second = quad.SumUp(middle, bound);
      if (KQMV::IsMissing(first) || KQMV::IsMissing(second)) {
        integral = KQMV::Missing();
        break;
      }
      integral += first + second;
      from = bound;
    }
  }
  warnings_.AddWarnings(quad.GetWarnings());
  return integral;
}

void BSNLLDirichletIntegral::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayD("fTPrime", tPrime_);
  DisplayD("fbScale", bScale_);
  DisplayD("fLogScale", logScale_);
  DisplayD("fTol", tolerance_);
  DisplayI("fMaxIter", maxIter_);
  DisplayI("fNIter", nIter_);
  DisplayD("fLeft", left_);
  DisplayD("fRight", right_);
}

}  // namespace KQBSN_850
