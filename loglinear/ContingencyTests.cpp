#include "loglinear/detail/ContingencyTests.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "companion/KQDistFun.h"

namespace KQBSN_850::detail {

using KQCommon_850::KQMV;
using KQMath_850::KQDistFun;
using KQMath_850::KQTestStats;

namespace {

/// A chi-square test record: statistic, df, type 2 and the upper-tail significance.
KQTestStats ChiSquareTest(double statistic, double df) {
  KQTestStats test;
  test.SetWald(statistic);
  test.SetDF(df);
  test.SetTestType(2);
  // 1 - CdfChi, taken as the upper tail itself so that significances below 1e-16 keep their digits.
  const double sig = KQDistFun::SigChi(statistic, df);
  if (!KQMV::IsMissing(sig)) test.SetSig(sig);
  return test;
}

/// P(X > k) of the hypergeometric law: 1 - CDF where that keeps its digits, else the sum of the point
/// probabilities above k, which fall off fast in a small tail.
double UpperTail(double k, double n, double successes, double draws) {
  const double cdf = KQDistFun::CDFHyper(k, n, successes, draws);
  if (!KQMV::IsMissing(cdf) && cdf < 0.5) return 1.0 - cdf;
  constexpr double kRelativeTerm = 1e-18;
  double tail = 0.0;
  for (double j = k + 1.0;; j += 1.0) {
    const double term = KQDistFun::PdfHyper(j, n, successes, draws);
    if (KQMV::IsMissing(term) || !(term > kRelativeTerm * tail)) break;
    tail += term;
  }
  return tail;
}

}  // namespace

FisherSignificance FisherExactTest(double a, double b, double c, double d) {
  const double n = a + b + c + d;
  const bool positive = a * d - b * c > 0.0;
  // The pivot: the smaller of the two cells whose count falls as the observed association grows.
  double x, rowTotal, colTotal;
  if (positive) {
    if (c <= b) {
      x = c, rowTotal = c + d, colTotal = a + c;
    } else {
      x = b, rowTotal = a + b, colTotal = b + d;
    }
  } else if (a <= d) {
    x = a, rowTotal = a + b, colTotal = a + c;
  } else {
    x = d, rowTotal = c + d, colTotal = b + d;
  }
  const double oneSided = KQDistFun::CDFHyper(x, n, rowTotal, colTotal);
  double observed = oneSided;
  if (x > 0.0) {
    const double below = KQDistFun::CDFHyper(x - 1.0, n, rowTotal, colTotal);
    if (!KQMV::IsMissing(below)) observed = oneSided - below;
  }
  const double largest = std::min(rowTotal, colTotal);
  // Tables as probable as the observed one count in the other tail; rounding may put the probability
  // of a mirror table (equal in exact arithmetic) a few ulps above the observed one.
  constexpr double kTies = 1.0 + 1e-7;
  double twoSided = 1.0;
  if (x < largest && !KQMV::IsMissing(oneSided)) {
    // The other tail: the tables at the far end whose probability does not exceed the observed one.
    for (double k = std::trunc(largest); k > x; k -= 1.0) {
      if (KQDistFun::PdfHyper(k, std::trunc(n), std::trunc(rowTotal), std::trunc(colTotal)) >
          observed * kTies) {
        twoSided = oneSided + UpperTail(k, n, rowTotal, colTotal);
        break;
      }
    }
  }
  return {twoSided, oneSided};
}

ContingencyTests ComputeContingencyTests(const BSNContingency& table) {
  ContingencyTests tests;
  const auto& counts = table.GetAllCounts();
  const auto& expected = table.GetExpectedCounts();
  double pearson = 0.0, likelihood = 0.0;
  for (int i : table.GetNonEmptyRows())
    for (int j : table.GetNonEmptyCols()) {
      const double o = counts[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
      const double e = expected[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
      pearson += (o - e) * (o - e) / e;
      if (o > 0.0 && e > 0.0) likelihood += o * std::log(o / e);
    }
  const double df = (static_cast<double>(table.GetNonEmptyRows().size()) - 1.0) *
                    (static_cast<double>(table.GetNonEmptyCols().size()) - 1.0);
  tests.pearson = ChiSquareTest(pearson, df);
  tests.likelihoodRatio = ChiSquareTest(2.0 * likelihood, df);

  const auto& sizes = table.GetFactorSizes();
  if (sizes.size() == 2 && sizes[0] == 2 && sizes[1] == 2) {
    const double a = counts[0][0], b = counts[0][1], c = counts[1][0], d = counts[1][1];
    const double n = table.GetTotalWeight(), diff = std::fabs(a * d - b * c);
    const double r1 = a + b, r2 = c + d, c1 = a + c, c2 = b + d;
    const double yates =
        diff <= n / 2.0 ? 0.0 : n * (diff - n / 2.0) * (diff - n / 2.0) / (c1 * c2 * r1 * r2);
    tests.continuityCorrected = ChiSquareTest(yates, 1.0);
    const FisherSignificance fisher = FisherExactTest(a, b, c, d);
    tests.fisher2Sided = fisher.twoSided;
    tests.fisher1Sided = fisher.oneSided;
  }
  return tests;
}

}  // namespace KQBSN_850::detail
