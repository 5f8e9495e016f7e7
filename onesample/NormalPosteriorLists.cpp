#include "onesample/detail/NormalPosteriorLists.h"

#include "companion/KQDisplay.h"
#include "onesample/detail/BSNNormalInference.h"

namespace KQBSN_850::detail {

void NormalPosteriorLists::CopyFrom(const BSNNormalInference& inference) {
  summaries.modes = inference.GetModeValues();
  summaries.means = inference.GetPostMeanValues();
  summaries.variances = inference.GetVarianceValues();
  summaries.lowers = inference.GetLowerLimits();
  summaries.uppers = inference.GetUpperLimits();
  argsLikelihood = inference.GetPlotArguments4Likelihoods();
  argsPrior = inference.GetPlotArguments4Prior();
  argsPosterior = inference.GetPlotArguments4Posterior();
  likelihoods = inference.GetPlotLikelihoods();
  posteriors = inference.GetPlotPosterior();
  priors = inference.GetPlotPrior();
}

void NormalPosteriorLists::Display() const {
  using namespace KQDisplay_850;
  DisplayDV("Mode Value", summaries.modes);
  DisplayDV("Post Mean Value", summaries.means);
  DisplayDV("Post variance Value", summaries.variances);
  DisplayDV("Lower limits Value", summaries.lowers);
  DisplayDV("UpperLimites Value", summaries.uppers);
  DisplayDVV("Plot arguments for loglikelihood", argsLikelihood);
  DisplayDVV("Plot LogLikelihoods", likelihoods);
  DisplayDVV("Plot arguments for prior", argsPrior);
  DisplayDVV("Plot Prior", priors);
  DisplayDVV("Plot arguments for posterior", argsPosterior);
  DisplayDVV("Plot Posterior", posteriors);
}

}  // namespace KQBSN_850::detail
