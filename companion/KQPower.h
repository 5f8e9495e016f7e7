#pragma once
// KQPower: the exponent limits of double precision. A value kept as a logarithm L can be turned
// into exp(L) without overflow when L <= gMachineMaxExp, and without leaving the normal range when
// L >= gMachineMinExp. Both constants are the correctly rounded natural logarithms of the largest
// finite double (1.7976931348623157e308) and of the smallest normal double (2.2250738585072014e-308);
// the rounding falls inwards for both, so exp() of either is representable.
// Checked by tests/companion/KQPower_test.cpp against exp() and the limits of <limits>.

namespace KQMath_850 {

class KQPower {
 public:
  /// ln(2.2250738585072014e-308), the log of the smallest normal double. R: log(.Machine$double.xmin)
  static constexpr double gMachineMinExp = -708.39641853226408;
  /// ln(1.7976931348623157e308), the log of the largest finite double. R: log(.Machine$double.xmax)
  static constexpr double gMachineMaxExp = 709.78271289338397;
};

}  // namespace KQMath_850
