#include "frame/BSNSettings.h"

#include <algorithm>

namespace KQBSN_850 {

using BSNConst::MissScope;
using BSNConst::ModelTypes;
using BSNConst::PriorTypes;
using KQCommon_850::KQMV;

namespace {

// The tolerance every new settings object starts with. The correlation analysis integrates
// over rho with a coarser default, so switching to it replaces this value (and only this one).
constexpr double kDefaultTolerance = 0.000001;
constexpr double kCorrelationTolerance = 0.0001;
constexpr double kHyperDefaultParameter = 3.0;
constexpr double kRouderDefaultParameter = 1.0;

}  // namespace

void BSNSettings::SetModelType(ModelTypes type, bool applyDefaults) {
  modelType_ = type;
  if (!applyDefaults) return;
  switch (type) {
    case ModelTypes::OneSample:
    case ModelTypes::Related:
      missScope_ = MissScope::MissingAnalysis;
      priorType_ = PriorTypes::Conjugate;
      break;
    case ModelTypes::Independent:
      missScope_ = MissScope::MissingListwise;
      priorType_ = PriorTypes::Conjugate;
      regrCompType_ = BSNConst::RegrCompute::Rouder;
      break;
    case ModelTypes::Correlation:
      missScope_ = MissScope::MissingAnalysis;
      priorType_ = PriorTypes::Conjugate;
      if (tolValue_ == kDefaultTolerance) tolValue_ = kCorrelationTolerance;
      break;
    case ModelTypes::Regression:
    case ModelTypes::Anova:
      missScope_ = MissScope::MissingListwise;
      priorType_ = PriorTypes::Reference;
      break;
    case ModelTypes::LogLinear:
      missScope_ = MissScope::MissingListwise;
      priorType_ = PriorTypes::Conjugate;
      break;
  }
}

bool BSNSettings::Set2ndRelatedList(const IntList& vars) {
  if (vars.size() != covariates_.size()) return false;
  secondRelated_ = vars;
  return true;
}

void BSNSettings::SetRegrCompType(BSNConst::RegrCompute type) noexcept {
  regrCompType_ = type;
  if (!KQMV::IsMissing(regrComPar_)) return;
  if (type == BSNConst::RegrCompute::Hyper) regrComPar_ = kHyperDefaultParameter;
  if (type == BSNConst::RegrCompute::Rouder) regrComPar_ = kRouderDefaultParameter;
}

bool BSNSettings::SetSecondGonenPar(double value) noexcept {
  if (!(value > 0.0)) return false;  // also refuses NaN
  secondGonenPar_ = value;
  return true;
}

bool BSNSettings::SetProgressFrequency(int nRecords) noexcept {
  if (nRecords <= 0) return false;
  progressFrequency_ = nRecords;
  return true;
}

bool BSNSettings::SetIndex(int& field, int var) noexcept {
  if (var < 0) return false;
  field = var;
  return true;
}

bool BSNSettings::Store(IntList& field, const IntList& value) {
  field = value;
  return true;
}

bool BSNSettings::SetSizes(IntList& field, const IntList& sizes, const IntList& vars) {
  if (sizes.size() != vars.size()) return false;
  if (std::any_of(sizes.begin(), sizes.end(), [](int size) { return size < 1; })) return false;
  field = sizes;
  return true;
}

}  // namespace KQBSN_850
