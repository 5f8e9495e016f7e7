// The transforms below (Boost's, instantiated in this file) must round every product and sum on its
// own for a seed to give the same draws everywhere: a fused multiply-add changes the last bit. GCC and
// MSVC do not fuse in their standard modes; Clang does unless told here, before the Boost headers.
#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

#include "companion/KQRandomValues.h"

#include <cmath>
#include <cstdint>

#include <boost/random/gamma_distribution.hpp>
#include <boost/random/mersenne_twister.hpp>
#include <boost/random/normal_distribution.hpp>
#include <boost/random/uniform_real_distribution.hpp>

#include "companion/KQMV.h"

namespace KQMath_850 {

using KQCommon_850::KQMV;

struct KQRandomValues::Impl {
  enum class Law { Uniform, Normal, Gamma, Refused };

  // The seed is widened to 64 bits, so that a 32-bit and a 64-bit unsigned long give one stream.
  explicit Impl(unsigned long seed) : engine(static_cast<std::uint64_t>(seed)) {}

  boost::random::mt19937_64 engine;
  Law law = Law::Uniform;
  double lo = 0.0, hi = 1.0;  // the uniform range
  boost::random::normal_distribution<double> normal;
  boost::random::gamma_distribution<double> gamma;
};

namespace {

bool IsUsable(double x) { return std::isfinite(x) && !KQMV::IsMissing(x); }

}  // namespace

KQRandomValues::KQRandomValues(unsigned long seed) : impl_(std::make_unique<Impl>(seed)) {}
KQRandomValues::~KQRandomValues() = default;
KQRandomValues::KQRandomValues(KQRandomValues&&) noexcept = default;
KQRandomValues& KQRandomValues::operator=(KQRandomValues&&) noexcept = default;

void KQRandomValues::SetSeed(unsigned long seed) {
  impl_->engine.seed(static_cast<std::uint64_t>(seed));
  // The gamma transform keeps an exponential generator; resetting it makes the stream depend on the
  // seed alone.
  impl_->normal.reset();
  impl_->gamma.reset();
}

bool KQRandomValues::SetParamUniform(double lo, double hi) {
  if (!IsUsable(lo) || !IsUsable(hi) || lo > hi || !std::isfinite(hi - lo)) {
    impl_->law = Impl::Law::Refused;
    return false;
  }
  impl_->law = Impl::Law::Uniform;
  impl_->lo = lo;
  impl_->hi = hi;
  return true;
}

bool KQRandomValues::SetParamNormal(double mean, double sd) {
  if (!IsUsable(mean) || !IsUsable(sd) || sd < 0.0) {
    impl_->law = Impl::Law::Refused;
    return false;
  }
  impl_->law = Impl::Law::Normal;
  impl_->normal = boost::random::normal_distribution<double>(mean, sd);
  return true;
}

bool KQRandomValues::SetParamGamma(double shape, double rate) {
  if (!IsUsable(shape) || !IsUsable(rate) || shape <= 0.0 || rate <= 0.0 || !std::isfinite(1.0 / rate)) {
    impl_->law = Impl::Law::Refused;
    return false;
  }
  impl_->law = Impl::Law::Gamma;
  // Boost's second parameter is the scale, the reciprocal of the rate.
  impl_->gamma = boost::random::gamma_distribution<double>(shape, 1.0 / rate);
  return true;
}

double KQRandomValues::GetRandom() {
  Impl& impl = *impl_;
  switch (impl.law) {
    case Impl::Law::Uniform:
      // Boost's uniform transform never returns hi, so it would draw for ever on an empty range.
      if (impl.lo == impl.hi) return impl.lo;
      return boost::random::uniform_real_distribution<double>(impl.lo, impl.hi)(impl.engine);
    case Impl::Law::Normal:
      return impl.normal(impl.engine);
    case Impl::Law::Gamma:
      return impl.gamma(impl.engine);
    case Impl::Law::Refused:
      break;
  }
  return KQMV::Missing();
}

}  // namespace KQMath_850
