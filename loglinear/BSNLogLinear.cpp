#include "loglinear/BSNLogLinear.h"

#include <iostream>
#include <memory>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "loglinear/BSNLogLinearOutputStats.h"
#include "loglinear/detail/BSNLogLinBayesFactor.h"
#include "loglinear/detail/ContingencyTests.h"
#include "loglinear/detail/LogOddsPosterior.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;

BSNLogLinear::BSNLogLinear(const BSNSettings& settings, const KQVarList& varList)
    : BSNAlgorithm(settings, varList),
      table_(settings_.GetFactors(), settings_.GetFactorSizes(), settings_.GetFrequencyWeightVar()),
      bayesFactor_(KQMV::Missing()),
      fisher2Sided_(KQMV::Missing()),
      fisher1Sided_(KQMV::Missing()) {}

BSNLogLinear::~BSNLogLinear() = default;

KQStatus BSNLogLinear::CheckSettings(MultiPassRecordIter& iter) const {
  const auto& factors = settings_.GetFactors();
  if (factors.size() != 2 || settings_.GetFactorSizes().size() != 2)
    return KQCommon_850::StatusWithDatum(BSN_LOGLINEAR_NOT_TWO_FACTORS, false,
                                         static_cast<long>(factors.size()));
  if (WantsBayesFactor() && settings_.GetLogLinModel() == BSNConst::DistTypes::Nonparametric &&
      settings_.GetFixType() == BSNConst::FixType::FixedTotal)
    return KQStatus(BSN_NONPARAMETRIC_FIXED_TOTAL, false);
  return CheckHasRecords(iter);
}

KQStatus BSNLogLinear::BuildModel(MultiPassRecordIter& iter) {
  KQStatus status = CheckSettings(iter);
  if (!status.IsOK()) return FinishBuild(status);

  // A listwise pass leaves out the cases missing either factor.
  RecordPass pass = MakePass({.missScope = settings_.GetMissScope()}, settings_.GetFactors());
  status = table_.BuildModel(pass, iter);
  nRowsUsed_ = static_cast<int>(table_.GetNonEmptyRows().size());
  nColsUsed_ = static_cast<int>(table_.GetNonEmptyCols().size());
  if (status.IsWarning()) AddWarning(status);
  if (status.IsError()) return FinishBuild(status);
  if (status.IsWarning()) {
    // One category: the record carries the table alone.
    outputStats_ = std::make_unique<BSNLogLinearOutputStats>(settings_, *this);
    return FinishBuild(status);
  }

  ComputeTests();
  if (!StopAfterStep(status) && WantsBayesFactor()) status = ListWarning(ComputeBayesFactor());
  if (!StopAfterStep(status) && WantsPosterior()) {
    const detail::LogOddsSettings sampling{settings_.GetPosteriorSamples(), settings_.GetRandomSeed(),
                                           settings_.GetCILevel()};
    status = detail::EstimateLogOddsRatios(table_, sampling, cancelInfo_, estimations_);
  }
  if (!StopAfterStep(status)) outputStats_ = std::make_unique<BSNLogLinearOutputStats>(settings_, *this);
  return FinishBuild(status);
}

void BSNLogLinear::ComputeTests() {
  const detail::ContingencyTests tests = detail::ComputeContingencyTests(table_);
  chiSquare_ = tests.pearson;
  likeRatio_ = tests.likelihoodRatio;
  contCorrect_ = tests.continuityCorrected;
  fisher2Sided_ = tests.fisher2Sided;
  fisher1Sided_ = tests.fisher1Sided;
}

KQStatus BSNLogLinear::ComputeBayesFactor() {
  const int nRows = settings_.GetFactorSizes()[0], nCols = settings_.GetFactorSizes()[1];
  const BSNConst::FixType fix = settings_.GetFixType();
  std::unique_ptr<BSNLogLinBayesFactor> factor;
  auto dirichletAfter = [&](int warningCode) {
    AddWarning(KQStatus(warningCode, true));
    factor = std::make_unique<BSNLogLinDirichletBF>(settings_, table_);
  };
  if (settings_.GetLogLinModel() == BSNConst::DistTypes::Poisson) {
    factor = std::make_unique<BSNLogLinConjugateBF>(settings_, table_);
  } else if (settings_.GetLogLinModel() == BSNConst::DistTypes::Nonparametric) {
    if ((fix == BSNConst::FixType::FixedRow && nRows == 2) ||
        (fix == BSNConst::FixType::FixedColumn && nCols == 2))
      factor = std::make_unique<BSNLogLinNonParametricBF>(settings_, table_);
    else
      dirichletAfter(BSN_NONPARAMETRIC_NOT_2XK);
  } else {
    switch (settings_.GetLogLinPriorType()) {
      case BSNConst::LogLinPriorType::Conjugate:
        factor = std::make_unique<BSNLogLinConjugateBF>(settings_, table_);
        break;
      case BSNConst::LogLinPriorType::Dirichlet:
        factor = std::make_unique<BSNLogLinDirichletBF>(settings_, table_);
        break;
      case BSNConst::LogLinPriorType::Intrinsic:
        if (nRows < 3 && nCols < 3)
          factor = std::make_unique<BSNLogLinIntrinsicBF>(settings_, table_);
        else
          dirichletAfter(BSN_INTRINSIC_NOT_2X2);
        break;
      default:
        std::cout << "\nThe Requested Method is Not Ready Yet!\n";
        return KQStatus();
    }
  }
  factor->SetCancelInfo(cancelInfo_);
  const KQStatus construction = factor->GetStatus();
  if (!construction.IsOK()) return construction;  // an error ends the build; a warning is listed
  factor->ComputeBayesFactor();
  if (factor->GetStatus().IsError()) return factor->GetStatus();
  bayesFactor_ = factor->GetBayesFactor();
  isLogFactor_ = factor->IsLogBayesFactor();
  for (std::size_t i = 0; i < factor->GetWarnings().Size(); ++i) AddWarning(factor->GetWarnings()[i]);
  t_ = factor->GetT();
  t1_ = factor->GetT1();
  t2_ = factor->GetT2();
  return KQStatus();
}

void BSNLogLinear::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  if (outputStats_ != nullptr) {
    outputStats_->Display(os);
    return;
  }
  DisplayText(1, "BSNLogLinear: no output stats");
  DisplayI("Status", status_.GetErrorCode());
}

}  // namespace KQBSN_850
