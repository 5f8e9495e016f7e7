#include "loglinear/BSNLogLinearOutputStats.h"

#include "companion/KQDisplay.h"
#include "loglinear/BSNLogLinear.h"

namespace KQBSN_850 {

class BSNLogLinearOutputStatsImp {
 public:
  BSNLogLinearOutputStatsImp(const BSNSettings& s, const BSNLogLinear& analysis)
      : settings(&s),
        table(&analysis.GetContingency()),
        bayesFactor(analysis.GetBayesFactor()),
        isLog(analysis.IsLogBayesFactor()),
        chiSquare(analysis.GetChiSquareResult()),
        likeRatio(analysis.GetLikeRatioResult()),
        contCorrect(analysis.GetContCorrectResult()),
        fisher2Sided(analysis.GetFisher2SidedSig()),
        fisher1Sided(analysis.GetFisher1SidedSig()),
        estimations(analysis.GetPosteriorEstimations()),
        t(analysis.GetT()),
        t1(analysis.GetT1()),
        t2(analysis.GetT2()) {}

  const BSNSettings* settings;
  const BSNContingency* table;
  double bayesFactor;
  bool isLog;
  KQMath_850::KQTestStats chiSquare, likeRatio, contCorrect;
  double fisher2Sided, fisher1Sided;
  std::vector<BayesEstimation> estimations;
  int t, t1, t2;
};

BSNLogLinearOutputStats::BSNLogLinearOutputStats(const BSNSettings& settings, const BSNLogLinear& analysis)
    : imp_(std::make_unique<BSNLogLinearOutputStatsImp>(settings, analysis)) {}

BSNLogLinearOutputStats::BSNLogLinearOutputStats(const BSNLogLinearOutputStats& other)
    : BSNOutputStats(other), imp_(std::make_unique<BSNLogLinearOutputStatsImp>(*other.imp_)) {}

BSNLogLinearOutputStats& BSNLogLinearOutputStats::operator=(const BSNLogLinearOutputStats& other) {
  if (this != &other) imp_ = std::make_unique<BSNLogLinearOutputStatsImp>(*other.imp_);
  return *this;
}

BSNLogLinearOutputStats::~BSNLogLinearOutputStats() = default;

BSNConst::ModelTypes BSNLogLinearOutputStats::GetModelType() const { return imp_->settings->GetModelType(); }
const BSNSettings& BSNLogLinearOutputStats::GetSettings() const noexcept { return *imp_->settings; }
const BSNContingency& BSNLogLinearOutputStats::GetContingencyMatrix() const noexcept { return *imp_->table; }
double BSNLogLinearOutputStats::GetBayesFactor() const noexcept { return imp_->bayesFactor; }
bool BSNLogLinearOutputStats::IsLogBayesFactor() const noexcept { return imp_->isLog; }
const KQMath_850::KQTestStats& BSNLogLinearOutputStats::GetChiSquareResult() const noexcept {
  return imp_->chiSquare;
}
const KQMath_850::KQTestStats& BSNLogLinearOutputStats::GetLikeRatioResult() const noexcept {
  return imp_->likeRatio;
}
const KQMath_850::KQTestStats& BSNLogLinearOutputStats::GetContCorrectResult() const noexcept {
  return imp_->contCorrect;
}
double BSNLogLinearOutputStats::GetFisher2SidedSig() const noexcept { return imp_->fisher2Sided; }
double BSNLogLinearOutputStats::GetFisher1SidedSig() const noexcept { return imp_->fisher1Sided; }
const std::vector<BayesEstimation>& BSNLogLinearOutputStats::GetPosteriorEstimations() const noexcept {
  return imp_->estimations;
}
int BSNLogLinearOutputStats::GetT() const noexcept { return imp_->t; }
int BSNLogLinearOutputStats::GetT1() const noexcept { return imp_->t1; }
int BSNLogLinearOutputStats::GetT2() const noexcept { return imp_->t2; }

void BSNLogLinearOutputStats::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "Begin display of BSNLogLinearOutputStats");
  imp_->table->Display(os);
  DisplayD("Bayes factor", imp_->bayesFactor);
  DisplayB("Is log?", imp_->isLog);
  DisplayText(1, "Result of Chi Square test");
  DisplayD("Chi Square statistic", imp_->chiSquare.GetWald());
  DisplayD("p-value", imp_->chiSquare.GetSig());
  DisplayText(1, "Result of Likelihood ratio test");
  DisplayD("Statistic", imp_->likeRatio.GetWald());
  DisplayD("p-value", imp_->likeRatio.GetSig());
  DisplayText(1, "Result of corrected continuity test");
  DisplayD("Statistic", imp_->contCorrect.GetWald());
  DisplayD("p-value", imp_->contCorrect.GetSig());
  DisplayD("\nP-value of Fisher 2-sided exact test", imp_->fisher2Sided);
  DisplayD("P-value of Fisher 1-sided exact test", imp_->fisher1Sided);
  DisplayI("Value of t for intrinsic prior", imp_->t);
  DisplayI("Value of t1 for intrinsic prior", imp_->t1);
  DisplayI("Value of t2 for intrinsic prior", imp_->t2);
  DisplayText(1, "Bayesian estimation on pairs of categories");
  for (const BayesEstimation& estimation : imp_->estimations) estimation.Display(os);
}

}  // namespace KQBSN_850
