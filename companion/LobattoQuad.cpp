#include "companion/LobattoQuad.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <utility>

#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"
#include "companion/KQStatus.h"

namespace KQMath_850 {
namespace {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

// Nodes of the rules on [-1, 1]: the 4-point Gauss-Lobatto rule uses +-1 and +-1/sqrt(5); its Kronrod
// extension adds +-sqrt(2/3) and 0.
constexpr double kAlpha = 0.81649658092772603273;  // sqrt(2/3)
constexpr double kBeta = 0.44721359549995793928;   // 1/sqrt(5)

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
// A tolerance below a few epsilons cannot be told apart from the rounding of the panel sums.
constexpr double kMinTolerance = 10.0 * kEpsilon;
// Rounding error of the summed rule, relative to the integral of |f|: error estimates below it are
// noise, so a run whose estimates sum to less has converged even if the integral itself is (nearly) 0.
constexpr double kRoundingFactor = 50.0 * kEpsilon;

// Initial panels (see the header): a positive range [lo, hi] with hi / lo above kWideRatio is cut into
// ceil(log10(hi / lo)) geometric panels, at most kMaxPanels. A range from 0 has no ratio; it gets the
// panel [0, hi * 2^-52] and geometric panels over the 16 decades above it, the relative resolution of a
// double next to hi.
constexpr double kWideRatio = 10.0;
constexpr int kMaxPanels = 40;
constexpr double kZeroStartFraction = kEpsilon;

// A panel is bisected only while its halves still have nodes well apart from their ends in double
// precision: narrower panels are kept as they are (their error estimate still counts).
constexpr double kMinRelativeWidth = 1e-12;
constexpr double kMinAbsoluteWidth = 1e3 * DBL_MIN;

bool IsUsableLimit(double x) { return std::isfinite(x) && !KQMV::IsMissing(x); }

// Breakpoints from lo to hi (0 <= lo < hi), lo and hi included.
void AppendPositiveRange(std::vector<double>& points, double lo, double hi) {
  points.push_back(lo);
  double start = lo;
  if (lo == 0.0) {
    start = hi * kZeroStartFraction;
    if (start < DBL_MIN) {  // hi itself is tiny: nothing to resolve below it
      points.push_back(hi);
      return;
    }
    points.push_back(start);
  }
  const double ratio = hi / start;
  if (ratio > kWideRatio) {
    const int nPanels = std::min(kMaxPanels, static_cast<int>(std::ceil(std::log10(ratio))));
    for (int k = 1; k < nPanels; ++k)
      points.push_back(start * std::pow(ratio, static_cast<double>(k) / nPanels));
  }
  points.push_back(hi);
}

std::vector<double> InitialBreakpoints(double a, double b) {
  std::vector<double> points;
  if (a >= 0.0) {
    AppendPositiveRange(points, a, b);
    return points;
  }
  // The negative side is the mirror image of a positive range.
  std::vector<double> mirrored;
  AppendPositiveRange(mirrored, std::max(-b, 0.0), -a);
  for (auto it = mirrored.rbegin(); it != mirrored.rend(); ++it) points.push_back(-*it);
  if (b > 0.0) {
    std::vector<double> positive;
    AppendPositiveRange(positive, 0.0, b);
    points.insert(points.end(), positive.begin() + 1, positive.end());  // 0 is already there
  }
  return points;
}

}  // namespace

void LobattoQuad::SetTolerance(double relative) {
  tolerance_ = relative >= kMinTolerance ? relative : kMinTolerance;  // NaN compares false
}

void LobattoQuad::SetMaxIter(int maxIter) { maxIter_ = std::max(maxIter, 1); }

double LobattoQuad::Evaluate(double x) {
  const double y = integrand_.ComputeNI(x);
  if (KQMV::IsMissing(y) || std::isnan(y)) {
    sawMissing_ = true;
    return 0.0;
  }
  if (std::isinf(y)) {
    const int sign = y > 0.0 ? 1 : -1;
    infiniteSign_ = (infiniteSign_ == 0 || infiniteSign_ == sign) ? sign : 2;
    return 0.0;
  }
  return y;
}

LobattoQuad::Panel LobattoQuad::MakePanel(double a, double b, double fa, double fb) {
  // Halves taken separately so that b - a cannot overflow on the widest ranges.
  const double m = 0.5 * a + 0.5 * b;
  const double h = 0.5 * b - 0.5 * a;
  const double fmll = Evaluate(m - kAlpha * h), fml = Evaluate(m - kBeta * h), fm = Evaluate(m);
  const double fmr = Evaluate(m + kBeta * h), fmrr = Evaluate(m + kAlpha * h);
  const double lobatto = (h / 6.0) * (fa + fb + 5.0 * (fml + fmr));
  const double kronrod =
      (h / 1470.0) * (77.0 * (fa + fb) + 432.0 * (fmll + fmrr) + 625.0 * (fml + fmr) + 672.0 * fm);
  const double absKronrod =
      (std::fabs(h) / 1470.0) *
      (77.0 * (std::fabs(fa) + std::fabs(fb)) + 432.0 * (std::fabs(fmll) + std::fabs(fmrr)) +
       625.0 * (std::fabs(fml) + std::fabs(fmr)) + 672.0 * std::fabs(fm));
  return Panel{a, b, fa, fm, fb, kronrod, absKronrod, std::fabs(kronrod - lobatto)};
}

bool LobattoQuad::IsSplittable(const Panel& panel) const {
  const double width = panel.b - panel.a;
  const double scale = std::max(std::fabs(panel.a), std::fabs(panel.b));
  return width > kMinRelativeWidth * scale && width > kMinAbsoluteWidth;
}

double LobattoQuad::Sum(double Panel::*field) const {
  // Neumaier's compensated sum: thousands of panels would otherwise add their rounding errors.
  double sum = 0.0, compensation = 0.0;
  auto add = [&](double x) {
    const double t = sum + x;
    compensation += std::fabs(sum) >= std::fabs(x) ? (sum - t) + x : (x - t) + sum;
    sum = t;
  };
  for (const Panel& panel : active_) add(panel.*field);
  for (const Panel& panel : settled_) add(panel.*field);
  return sum + compensation;
}

bool LobattoQuad::HasBadValue() const { return sawMissing_ || infiniteSign_ != 0; }

double LobattoQuad::AbortOnBadValue(double sign) {
  warnings_.AddWarning(KQStatus(KQCommon_850::KQ_INTEGRAND_NOT_FINITE, true), 0);
  nIterations_ = maxIter_;
  errorEstimate_ = KQMV::Missing();
  if (sawMissing_ || infiniteSign_ == 2) return KQMV::Missing();
  return sign * infiniteSign_ * std::numeric_limits<double>::infinity();
}

void LobattoQuad::Reset() {
  warnings_.Clear();
  nIterations_ = 0;
  errorEstimate_ = 0.0;
  active_.clear();
  settled_.clear();
  sawMissing_ = false;
  infiniteSign_ = 0;
  cancelled_ = false;
}

double LobattoQuad::Integrate(double a, double b) {
  Reset();
  if (!IsUsableLimit(a) || !IsUsableLimit(b)) return KQMV::Missing();
  if (a == b) return 0.0;
  double sign = 1.0;
  if (a > b) {
    std::swap(a, b);
    sign = -1.0;
  }
  const std::vector<double> points = InitialBreakpoints(a, b);
  return RefinePanels(points, sign);
}

double LobattoQuad::IntegrateOver(std::span<const double> breakpoints) {
  Reset();
  if (breakpoints.size() < 2) return KQMV::Missing();
  for (std::size_t i = 0; i < breakpoints.size(); ++i) {
    if (!IsUsableLimit(breakpoints[i])) return KQMV::Missing();
    if (i > 0 && !(breakpoints[i - 1] < breakpoints[i])) return KQMV::Missing();
  }
  return RefinePanels(breakpoints, 1.0);
}

double LobattoQuad::RefinePanels(std::span<const double> points, double sign) {
  std::vector<double> values(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) values[i] = Evaluate(points[i]);
  // Room for the first few dozen bisections, so that the heap is not moved while it grows.
  active_.reserve(points.size() + 32);
  for (std::size_t i = 0; i + 1 < points.size(); ++i)
    active_.push_back(MakePanel(points[i], points[i + 1], values[i], values[i + 1]));
  if (HasBadValue() || !Refine()) return AbortOnBadValue(sign);
  if (cancelled_) {
    errorEstimate_ = KQMV::Missing();
    return KQMV::Missing();
  }
  errorEstimate_ = Sum(&Panel::error);
  return sign * Sum(&Panel::value);
}

bool LobattoQuad::Refine() {
  const auto byError = [](const Panel& left, const Panel& right) { return left.error < right.error; };
  std::make_heap(active_.begin(), active_.end(), byError);
  // Running sums decide when to look closer; the compensated sums over all panels confirm.
  double integral = Sum(&Panel::value), error = Sum(&Panel::error), absIntegral = Sum(&Panel::absValue);
  const auto converged = [&] {
    return error <= std::max(tolerance_ * std::fabs(integral), kRoundingFactor * absIntegral);
  };
  for (;;) {
    if (converged()) {
      integral = Sum(&Panel::value);
      error = Sum(&Panel::error);
      absIntegral = Sum(&Panel::absValue);
      // A run that needed every allowed iteration counts as not converged, so that callers can rely
      // on GetNIterations() < limit meaning success; its refined estimate is still the one returned.
      if (converged() && nIterations_ < maxIter_) return true;
    }
    if (cancel_ != nullptr && nIterations_ % kCancelPollInterval == 0 && cancel_->IsCancel()) {
      cancelled_ = true;
      return true;
    }
    if (nIterations_ >= maxIter_ || active_.empty()) {
      warnings_.AddWarning(KQStatus(KQCommon_850::KQ_INTEGRATION_NOT_CONVERGED, true), 0);
      nIterations_ = maxIter_;
      return true;
    }
    std::pop_heap(active_.begin(), active_.end(), byError);
    const Panel worst = active_.back();
    active_.pop_back();
    if (!IsSplittable(worst)) {
      settled_.push_back(worst);
      continue;
    }
    const double middle = 0.5 * worst.a + 0.5 * worst.b;
    const Panel left = MakePanel(worst.a, middle, worst.fa, worst.fm);
    const Panel right = MakePanel(middle, worst.b, worst.fm, worst.fb);
    if (HasBadValue()) return false;
    for (const Panel& half : {left, right}) {
      active_.push_back(half);
      std::push_heap(active_.begin(), active_.end(), byError);
    }
    integral += left.value + right.value - worst.value;
    error += left.error + right.error - worst.error;
    absIntegral += left.absValue + right.absValue - worst.absValue;
    ++nIterations_;
  }
}

double LobattoQuad::SumUp(double a, double b) {
  if (!IsUsableLimit(a) || !IsUsableLimit(b)) return KQMV::Missing();
  if (a == b) return 0.0;
  sawMissing_ = false;
  infiniteSign_ = 0;
  // With b < a the half-width is negative and the rule gives the negated integral directly.
  const double fa = Evaluate(a), fb = Evaluate(b);
  const double value = MakePanel(a, b, fa, fb).value;
  if (sawMissing_ || infiniteSign_ == 2) return KQMV::Missing();
  if (infiniteSign_ != 0)
    return (b > a ? 1.0 : -1.0) * infiniteSign_ * std::numeric_limits<double>::infinity();
  return value;
}

}  // namespace KQMath_850
