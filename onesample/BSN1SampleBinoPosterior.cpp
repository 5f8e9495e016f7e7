#include "onesample/detail/BSN1SampleBinoPosterior.h"

#include <cmath>
#include <limits>

#include "companion/KQDistFun.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/PlotDensities.h"
#include "frame/detail/PlotGrid.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::KQWarnings;
using KQCommon_850::MultiPassRecordIter;
using KQMath_850::KQDistFun;

namespace {

// The plot grid stays this far inside (0, 1), where ln x and ln(1 - x) are finite.
constexpr double kGridMargin = std::numeric_limits<double>::epsilon();

/// The mode of Beta(alpha, beta) by the shape of the density; missing for the flat Beta(1, 1).
double BetaMode(double alpha, double beta) noexcept {
  if ((alpha > 1.0 && beta > 1.0) || (alpha < 1.0 && beta < 1.0)) return (alpha - 1.0) / (alpha + beta - 2.0);
  if ((alpha < 1.0 && beta >= 1.0) || (alpha == 1.0 && beta > 1.0)) return 0.0;
  if ((alpha >= 1.0 && beta < 1.0) || (alpha > 1.0 && beta == 1.0)) return 1.0;
  return KQMV::Missing();
}

BayesEstimation BetaSummary(double alpha, double beta, double tail) {
  const double total = alpha + beta;
  return BayesEstimation(BetaMode(alpha, beta), alpha / total, alpha * beta / (total * total * (total + 1.0)),
                         KQDistFun::IdfBeta(tail, alpha, beta), KQDistFun::IdfBeta(1.0 - tail, alpha, beta));
}

/// ln G(p + q) - ln G(p) - ln G(q) = -ln B(p, q), the log normaliser of a Beta density; missing
/// unless both shapes are positive.
double LogBetaNormaliser(double p, double q) noexcept {
  const double logBeta = KQDistFun::LogBeta(p, q);
  return KQMV::IsMissing(logBeta) ? KQMV::Missing() : -logBeta;
}

/// The prior's log normaliser, where a Gamma term of argument 0 counts as 0: with a zero shape the
/// two remaining terms cancel, which gives the improper priors Beta(0, b) a normaliser of 0.
double PriorLogNormaliser(double a, double b) noexcept {
  if (a == 0.0 || b == 0.0) return 0.0;
  return LogBetaNormaliser(a, b);
}

/// The Beta(p, q) density from its log normaliser and ln x, ln(1 - x), leaving log space through
/// the plot limits.
double BetaPlotDensity(double logNormaliser, double logX, double log1mX, double p, double q) noexcept {
  if (KQMV::IsMissing(logNormaliser)) return KQMV::Missing();
  return PlotDensityFromLog(logNormaliser + (p - 1.0) * logX + (q - 1.0) * log1mX);
}

}  // namespace

BSN1SampleBinoPosterior::BSN1SampleBinoPosterior(const BSNSettings& settings, KQWarnings& warnings)
    : BSN1SampleBinoPosterior(settings, warnings,
                              std::vector<detail::CountSums>(settings.GetFactors().size())) {}

BSN1SampleBinoPosterior::BSN1SampleBinoPosterior(const BSNSettings& settings, KQWarnings& warnings,
                                                 std::vector<detail::CountSums> sums)
    : settings_(settings),
      warnings_(warnings),
      sums_(std::move(sums)),
      summaries_(sums_.size()),
      plotArguments_(sums_.size()),
      plotLikelihoods_(sums_.size()),
      plotPosterior_(sums_.size()),
      plotPrior_(sums_.size()) {}

KQStatus BSN1SampleBinoPosterior::ReadAndCompute(RecordPass& pass, MultiPassRecordIter& iter) {
  const KQStatus status =
      detail::ReadCountSums(pass, iter, settings_.GetFactors(), detail::CountRounding::AsIs, sums_);
  if (status.IsError()) return status;
  return Compute();
}

KQStatus BSN1SampleBinoPosterior::Compute() {
  if (KQStatus status = detail::CheckConjugatePrior(settings_); status.IsError()) return status;
  const double a = settings_.GetPriorParam1();
  const double b = settings_.GetPriorParam2();
  const double tail = TailProbability(settings_.GetCILevel());
  for (std::size_t i = 0; i < sums_.size(); ++i) {
    const double n = sums_[i].weightSum;
    const double s = sums_[i].weightedValueSum;
    if (!(n >= 1.0)) {
      warnings_.AddWarning(VariableWarning(BSN_SAMPLE_TOO_SMALL, i), 0);
      continue;
    }
    const double alpha = s + a;
    const double beta = n + b - s;
    summaries_.Set(i, BetaSummary(alpha, beta, tail));
    FillCurves(i, a, b, alpha, beta);
  }
  return KQStatus();
}

void BSN1SampleBinoPosterior::FillCurves(std::size_t i, double a, double b, double alpha, double beta) {
  const double n = sums_[i].weightSum;
  const double s = sums_[i].weightedValueSum;
  const double priorNormaliser = PriorLogNormaliser(a, b);
  const double posteriorNormaliser = LogBetaNormaliser(alpha, beta);
  plotArguments_[i] = PlotGrid(Range{kGridMargin, 1.0 - kGridMargin}, settings_.GetNPlotPoints());
  std::vector<double>& likelihoods = plotLikelihoods_[i];
  std::vector<double>& priors = plotPrior_[i];
  std::vector<double>& posteriors = plotPosterior_[i];
  for (double x : plotArguments_[i]) {
    // log1p keeps ln(1 - x) accurate near x = 0, where 1 - x would round.
    const double logX = std::log(x);
    const double log1mX = std::log1p(-x);
    likelihoods.push_back(s * logX + (n - s) * log1mX);
    priors.push_back(BetaPlotDensity(priorNormaliser, logX, log1mX, a, b));
    posteriors.push_back(BetaPlotDensity(posteriorNormaliser, logX, log1mX, alpha, beta));
  }
}

}  // namespace KQBSN_850
