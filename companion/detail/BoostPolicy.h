#pragma once
// The one Boost.Math error policy of the common library. Included only by companion sources; public
// headers never include Boost.
//
// Nothing of ours throws, so every Boost error is turned into a value that the wrappers inspect:
// - domain and pole errors give NaN (the argument is outside the function's domain);
// - overflow gives a signed infinity (a true answer such as the quantile at p = 0);
// - evaluation errors (a series or root search that did not settle) go to user_evaluation_error below,
//   which answers NaN: Boost's "ignore" would hand back its last iterate as if it were the answer;
// - rounding errors (a real too large for an integer type) give the type's extreme value; the
//   wrappers check integer arguments before they reach Boost.
// promote_double<false>: Boost's default evaluates double functions in long double on x86, for digits
// the double result cannot keep. Measured for ln Gamma over arguments from 0.3 to 1e4 (GCC 12, -O2,
// x86-64): 198 ns per call promoted, 23 ns not (glibc's lgamma: 7 ns). Unpromoted, every function
// still meets the 1e-13 relative tolerance of tests/companion/KQDistFun_test.cpp.
//
// Boost's root finders and a few inverses raise some errors with the default policy, policy<>(),
// instead of the caller's ("Range arguments in wrong order", "There appears to be no root", from
// ibeta_inv and gamma_p_inv with shapes of 1e20 and more). The macros below make that default policy
// answer values too, so this header must come before every other Boost header of a source; the
// static_assert at the end stops a build where it did not.
#define BOOST_MATH_DOMAIN_ERROR_POLICY ignore_error
#define BOOST_MATH_POLE_ERROR_POLICY ignore_error
#define BOOST_MATH_OVERFLOW_ERROR_POLICY ignore_error
#define BOOST_MATH_UNDERFLOW_ERROR_POLICY ignore_error
#define BOOST_MATH_DENORM_ERROR_POLICY ignore_error
#define BOOST_MATH_EVALUATION_ERROR_POLICY user_error
#define BOOST_MATH_ROUNDING_ERROR_POLICY ignore_error
#define BOOST_MATH_INDETERMINATE_RESULT_ERROR_POLICY ignore_error

#include <limits>
#include <type_traits>

#include <boost/math/policies/error_handling.hpp>
#include <boost/math/policies/policy.hpp>

namespace boost::math::policies {

/// Failed series or iteration: not a number, so the wrapper reports the missing value.
template <class T>
T user_evaluation_error(const char* /*function*/, const char* /*message*/, const T& /*value*/) {
  return std::numeric_limits<T>::quiet_NaN();
}

}  // namespace boost::math::policies

namespace KQMath_850::detail {

namespace bmp = boost::math::policies;

using KQBoostPolicy =
    bmp::policy<bmp::domain_error<bmp::ignore_error>, bmp::pole_error<bmp::ignore_error>,
                bmp::overflow_error<bmp::ignore_error>, bmp::evaluation_error<bmp::user_error>,
                bmp::rounding_error<bmp::ignore_error>, bmp::promote_float<false>,
                bmp::promote_double<false>>;

static_assert(std::is_same_v<bmp::policy<>::evaluation_error_type, bmp::evaluation_error<bmp::user_error>> &&
                  std::is_same_v<bmp::policy<>::domain_error_type, bmp::domain_error<bmp::ignore_error>>,
              "companion/detail/BoostPolicy.h must be included before any other Boost header");

}  // namespace KQMath_850::detail
