#pragma once
// The posterior results of a normal mean as the analyses that use BSNNormalInference keep and report
// them: five summary lists (mode, mean, variance, lower and upper credible limit) and six plot lists
// (arguments and values of the log-likelihood, prior and posterior curves), entry i for test variable
// i. All are empty until copied from a computed inference object.

#include <vector>

#include "frame/detail/SummaryLists.h"

namespace KQBSN_850 {
class BSNNormalInference;
}

namespace KQBSN_850::detail {

struct NormalPosteriorLists {
  using DoubleList = std::vector<double>;
  using DoubleLists = std::vector<std::vector<double>>;

  /// Copies every list of a computed inference object.
  void CopyFrom(const BSNNormalInference& inference);
  /// Prints the lists, labelled as the result records label them, on the current display stream.
  void Display() const;

  SummaryLists summaries;
  DoubleLists argsLikelihood, argsPrior, argsPosterior, likelihoods, posteriors, priors;
};

}  // namespace KQBSN_850::detail
