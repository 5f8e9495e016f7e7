#include "frame/detail/PosteriorRange.h"

#include <cmath>

#include "companion/KQDistFun.h"
#include "companion/KQMV.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQMath_850::KQDistFun;

namespace {

constexpr Range kMissingRange{KQMV::Missing(), KQMV::Missing()};

bool IsPositive(double x) noexcept { return !KQMV::IsMissingOrNaN(x) && x > 0.0; }

}  // namespace

bool Range::IsUsable() const noexcept {
  return !KQMV::IsMissing(lower) && !KQMV::IsMissing(upper) && std::isfinite(lower) && std::isfinite(upper);
}

Range NormalRange(double tail, double mean, double variance) {
  if (!IsPositive(variance) || KQMV::IsMissingOrNaN(mean)) return kMissingRange;
  const double sd = std::sqrt(variance);
  const Range range{KQDistFun::IdfNorm(tail, mean, sd), KQDistFun::IdfNorm(1.0 - tail, mean, sd)};
  return KQMV::IsMissing(range.lower) || KQMV::IsMissing(range.upper) ? kMissingRange : range;
}

Range TRange(double tail, double center, double scale2, double df) {
  if (!IsPositive(scale2) || KQMV::IsMissingOrNaN(center)) return kMissingRange;
  const double q = KQDistFun::IdfT(1.0 - tail, df);
  if (KQMV::IsMissing(q)) return kMissingRange;
  const double halfWidth = std::sqrt(scale2) * q;
  return {center - halfWidth, center + halfWidth};
}

}  // namespace KQBSN_850
