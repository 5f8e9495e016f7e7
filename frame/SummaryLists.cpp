#include "frame/detail/SummaryLists.h"

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"

namespace KQBSN_850::detail {

using KQCommon_850::KQMV;

SummaryLists::SummaryLists(std::size_t nVars)
    : modes(nVars, KQMV::Missing()),
      means(nVars, KQMV::Missing()),
      variances(nVars, KQMV::Missing()),
      lowers(nVars, KQMV::Missing()),
      uppers(nVars, KQMV::Missing()) {}

void SummaryLists::Set(std::size_t i, const BayesEstimation& summary) {
  modes[i] = summary.mode;
  means[i] = summary.mean;
  variances[i] = summary.variance;
  lowers[i] = summary.lower;
  uppers[i] = summary.upper;
}

void SummaryLists::Display() const {
  using namespace KQDisplay_850;
  DisplayDV("Mode values", modes);
  DisplayDV("Mean values", means);
  DisplayDV("Variance values", variances);
  DisplayDV("Lower bound values", lowers);
  DisplayDV("Upper bound Values", uppers);
}

}  // namespace KQBSN_850::detail
