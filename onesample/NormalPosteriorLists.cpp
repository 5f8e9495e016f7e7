#include "onesample/detail/NormalPosteriorLists.h"

#include "companion/KQDisplay.h"
#include "onesample/detail/BSNNormalInference.h"

namespace KQBSN_850::detail {

void NormalPosteriorLists::CopyFrom(const BSNNormalInference& inference) {
  modes = inference.GetModeValues();
  postMeans = inference.GetPostMeanValues();
  postVariances = inference.GetVarianceValues();
  lowerLimits = inference.GetLowerLimits();
  upperLimits = inference.GetUpperLimits();
  argsLikelihood = inference.GetPlotArguments4Likelihoods();
  argsPrior = inference.GetPlotArguments4Prior();
  argsPosterior = inference.GetPlotArguments4Posterior();
  likelihoods = inference.GetPlotLikelihoods();
  posteriors = inference.GetPlotPosterior();
  priors = inference.GetPlotPrior();
}

void NormalPosteriorLists::Display() const {
  using namespace KQDisplay_850;
  DisplayDV("Mode Value", modes);
  DisplayDV("Post Mean Value", postMeans);
  DisplayDV("Post variance Value", postVariances);
  DisplayDV("Lower limits Value", lowerLimits);
  DisplayDV("UpperLimites Value", upperLimits);
  DisplayDVV("Plot arguments for loglikelihood", argsLikelihood);
  DisplayDVV("Plot LogLikelihoods", likelihoods);
  DisplayDVV("Plot arguments for prior", argsPrior);
  DisplayDVV("Plot Prior", priors);
  DisplayDVV("Plot arguments for posterior", argsPosterior);
  DisplayDVV("Plot Posterior", posteriors);
}

}  // namespace KQBSN_850::detail
