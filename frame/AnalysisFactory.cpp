#include "frame/detail/AnalysisFactory.h"

#include <optional>
#include <vector>

#include "correlation/BSNPearsonCorrelation.h"
#include "loglinear/BSNLogLinear.h"
#include "onesample/detail/BSN1SampleBinomial.h"
#include "onesample/detail/BSN1SampleNormal.h"
#include "onesample/detail/BSN1SamplePoisson.h"
#include "regression/BSNAnova.h"
#include "regression/BSNMultipleRegr.h"
#include "twosample/BSN2SampleIndependent.h"
#include "twosample/detail/BSN2SampleRelated.h"

// The factory is the one place in the frame that knows the analysis classes.

namespace KQBSN_850::detail {
using KQCommon_850::KQVarList;

namespace {

using Maker = std::unique_ptr<BSNAlgorithm> (*)(const BSNSettings&, const KQVarList&);

template <class Analysis>
std::unique_ptr<BSNAlgorithm> Make(const BSNSettings& settings, const KQVarList& varList) {
  return std::make_unique<Analysis>(settings, varList);
}

struct AnalysisEntry {
  BSNConst::ModelTypes modelType;
  std::optional<BSNConst::DistTypes> testDistType;  ///< only for one sample; empty: any
  Maker make;
};

// One row per available analysis.
const std::vector<AnalysisEntry>& Analyses() {
  static const std::vector<AnalysisEntry> analyses = {
      {BSNConst::ModelTypes::OneSample, BSNConst::DistTypes::Normal, &Make<BSN1SampleNormal>},
      {BSNConst::ModelTypes::OneSample, BSNConst::DistTypes::Binomial, &Make<BSN1SampleBinomial>},
      {BSNConst::ModelTypes::OneSample, BSNConst::DistTypes::Poisson, &Make<BSN1SamplePoisson>},
      {BSNConst::ModelTypes::Related, std::nullopt, &Make<BSN2SampleRelated>},
      {BSNConst::ModelTypes::Independent, std::nullopt, &Make<BSN2SampleIndependent>},
      {BSNConst::ModelTypes::LogLinear, std::nullopt, &Make<BSNLogLinear>},
      {BSNConst::ModelTypes::Correlation, std::nullopt, &Make<BSNPearsonCorrelation>},
      {BSNConst::ModelTypes::Regression, std::nullopt, &Make<BSNMultipleRegr>},
      {BSNConst::ModelTypes::Anova, std::nullopt, &Make<BSNAnova>},
  };
  return analyses;
}

}  // namespace

std::unique_ptr<BSNAlgorithm> CreateAnalysis(const BSNSettings& settings, const KQVarList& varList) {
  for (const AnalysisEntry& entry : Analyses()) {
    if (entry.modelType != settings.GetModelType()) continue;
    if (entry.testDistType && *entry.testDistType != settings.GetTestDistType()) continue;
    return entry.make(settings, varList);
  }
  return nullptr;
}

}  // namespace KQBSN_850::detail
