#pragma once
// BayesEstimation: the posterior summary of one parameter: mode, mean, variance and the lower and
// upper bounds of its credible interval. Every field is missing until it is computed.

#include <ostream>

#include "companion/KQMV.h"

namespace KQBSN_850 {

struct BayesEstimation {
  double mode = KQCommon_850::KQMV::Missing();
  double mean = KQCommon_850::KQMV::Missing();
  double variance = KQCommon_850::KQMV::Missing();
  double lower = KQCommon_850::KQMV::Missing();
  double upper = KQCommon_850::KQMV::Missing();

  BayesEstimation() = default;
  BayesEstimation(double modeValue, double meanValue, double varianceValue, double lowerBound,
                  double upperBound)
      : mode(modeValue), mean(meanValue), variance(varianceValue), lower(lowerBound), upper(upperBound) {}

  void Display(std::ostream& os) const;

  friend bool operator==(const BayesEstimation&, const BayesEstimation&) = default;
};

}  // namespace KQBSN_850
