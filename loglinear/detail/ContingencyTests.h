#pragma once
// The classical tests of independence of a two-way table: Pearson's chi-square and the
// likelihood-ratio chi-square over the non-empty rows and columns, and for a 2 x 2 table Yates'
// continuity-corrected chi-square and Fisher's exact test.

#include "companion/KQMV.h"
#include "companion/KQRegrTables.h"
#include "loglinear/BSNContingency.h"

namespace KQBSN_850::detail {

struct ContingencyTests {
  KQMath_850::KQTestStats pearson;
  KQMath_850::KQTestStats likelihoodRatio;
  KQMath_850::KQTestStats continuityCorrected;  ///< 2 x 2 only
  double fisher2Sided = KQCommon_850::KQMV::Missing();
  double fisher1Sided = KQCommon_850::KQMV::Missing();
};

/// The tests of a table with at least two non-empty rows and columns; the 2 x 2 tests when both factor
/// sizes are 2.
ContingencyTests ComputeContingencyTests(const BSNContingency& table);

/// Fisher's exact test of a 2 x 2 table {{a, b}, {c, d}}: {two-sided, one-sided} significance, the one
/// side being that of the observed association (P(a' >= a) when ad > bc, else P(a' <= a)).
struct FisherSignificance {
  double twoSided;
  double oneSided;
};
FisherSignificance FisherExactTest(double a, double b, double c, double d);

}  // namespace KQBSN_850::detail
