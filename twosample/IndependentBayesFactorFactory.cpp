#include "twosample/detail/IndependentBayesFactorFactory.h"

#include "twosample/detail/GonenBayesFactor.h"
#include "twosample/detail/HyperPriorBayesFactor.h"
#include "twosample/detail/RouderBayesFactor.h"

namespace KQBSN_850 {

std::unique_ptr<BSN2SampleIndBayesFactor> CreateIndependentBayesFactor(const BSNSettings& settings,
                                                                       const KQCommon_850::KQVarList& varList,
                                                                       KQCommon_850::KQWarnings& warnings) {
  switch (settings.GetRegrCompType()) {
    case BSNConst::RegrCompute::Hyper:
      return std::make_unique<HyperPriorBayesFactor>(settings, varList);
    case BSNConst::RegrCompute::Gonen:
      return std::make_unique<GonenBayesFactor>(settings, varList);
    default:
      return std::make_unique<RouderBayesFactor>(settings, varList, warnings);
  }
}

}  // namespace KQBSN_850
