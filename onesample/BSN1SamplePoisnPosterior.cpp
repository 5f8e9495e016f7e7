#include "onesample/detail/BSN1SamplePoisnPosterior.h"

#include <cmath>
#include <optional>

#include "companion/KQDistFun.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/PlotGrid.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQCommon_850::MultiPassRecordIter;
using KQMath_850::KQDistFun;

BSN1SamplePoisnPosterior::BSN1SamplePoisnPosterior(const BSNSettings& settings)
    : BSN1SamplePoisnPosterior(settings, std::vector<detail::CountSums>(settings.GetCovariates().size())) {}

BSN1SamplePoisnPosterior::BSN1SamplePoisnPosterior(const BSNSettings& settings,
                                                   std::vector<detail::CountSums> sums)
    : settings_(settings),
      sums_(std::move(sums)),
      summaries_(sums_.size()),
      posteriorParams_(sums_.size(), {KQMV::Missing(), KQMV::Missing()}),
      likelihoodParams_(sums_.size(), {KQMV::Missing(), KQMV::Missing()}) {}

KQStatus BSN1SamplePoisnPosterior::ReadAndCompute(RecordPass& pass, MultiPassRecordIter& iter) {
  const KQStatus status =
      detail::ReadCountSums(pass, iter, settings_.GetCovariates(), detail::CountRounding::AsIs, sums_);
  if (status.IsError()) return status;
  return Compute();
}

KQStatus BSN1SamplePoisnPosterior::Compute() {
  if (KQStatus status = detail::CheckConjugatePrior(settings_); status.IsError()) return status;
  const double a = settings_.GetPriorParam1();
  const double b = settings_.GetPriorParam2();
  const double tail = TailProbability(settings_.GetCILevel());
  for (std::size_t i = 0; i < sums_.size(); ++i) {
    const double n = sums_[i].weightSum;
    const double totalCount = sums_[i].weightedValueSum;
    if (!(n > 0.0)) continue;
    const double alpha = totalCount + a;
    const double beta = b + n;
    posteriorParams_[i] = {alpha, beta};
    likelihoodParams_[i] = {-n, totalCount};
    const double mode = alpha >= 1.0 ? (alpha - 1.0) / beta : KQMV::Missing();
    summaries_.Set(
        i, BayesEstimation(mode, alpha / beta, alpha / (beta * beta), KQDistFun::IdfGam(tail, alpha, beta),
                           KQDistFun::IdfGam(1.0 - tail, alpha, beta)));
  }
  return KQStatus();
}

namespace detail {

namespace {

struct RateRange {
  double lo, hi;
};

/// The range between two ends in increasing order; none when an end is missing or not finite.
std::optional<RateRange> OrderedRange(double lo, double hi) noexcept {
  if (KQMV::IsMissing(lo) || KQMV::IsMissing(hi) || !std::isfinite(lo) || !std::isfinite(hi))
    return std::nullopt;
  if (lo > hi) return RateRange{hi, lo};
  return RateRange{lo, hi};
}

/// A rate from a chi-square quantile of 2S: chi / (2 N), keeping a missing quantile missing.
double RateFromChiSquare(double chiSquare, double nCases) noexcept {
  return KQMV::IsMissing(chiSquare) ? KQMV::Missing() : chiSquare / nCases / 2.0;
}

/// The range between the q and 1 - q quantiles of Gamma(shape, rate).
std::optional<RateRange> GammaRange(double q, double shape, double rate) {
  return OrderedRange(KQDistFun::IdfGam(q, shape, rate), KQDistFun::IdfGam(1.0 - q, shape, rate));
}

/// Puts nPoints arguments over the range and the values of f at them; without a range both lists
/// keep their missing values.
template <class F>
void FillCurve(const std::optional<RateRange>& range, int nPoints, std::vector<double>& arguments,
               std::vector<double>& values, F f) {
  if (!range) return;
  arguments = PlotGrid(Range{range->lo, range->hi}, nPoints);
  for (std::size_t k = 0; k < arguments.size(); ++k) values[k] = f(arguments[k]);
}

}  // namespace

PoissonPlotCurves MakePoissonPlotCurves(const BSNSettings& settings, const std::vector<int>& ns,
                                        const BSN1SamplePoisnPosterior::ParamList& posteriorParams,
                                        const BSN1SamplePoisnPosterior::ParamList& likelihoodParams) {
  PoissonPlotCurves curves;
  const int nPoints = settings.GetNPlotPoints();
  if (nPoints < 1) return curves;
  const std::vector<std::vector<double>> missing(ns.size(), MissingList(static_cast<std::size_t>(nPoints)));
  curves = {missing, missing, missing, missing, missing, missing};
  const double q = settings.GetPlotDomainLevel() / 2.0;
  const double a = settings.GetPriorParam1();
  const double b = settings.GetPriorParam2();
  for (std::size_t i = 0; i < ns.size(); ++i) {
    if (ns[i] <= 0) continue;
    const double nCases = ns[i];
    const double n = -likelihoodParams[i].first;
    const double totalCount = likelihoodParams[i].second;
    const double alpha = posteriorParams[i].first;
    const double beta = posteriorParams[i].second;
    const std::optional<RateRange> likelihoodRange =
        OrderedRange(RateFromChiSquare(KQDistFun::IdfChi(q, 2.0 * totalCount), nCases),
                     RateFromChiSquare(KQDistFun::IdfChi(1.0 - q, 2.0 * (totalCount + 1.0)), nCases));
    // With no events the range starts at 0, where S ln x is 0 times -inf: the term is 0 there.
    FillCurve(likelihoodRange, nPoints, curves.likelihoodArguments[i], curves.likelihoods[i],
              [&](double x) { return (totalCount == 0.0 ? 0.0 : totalCount * std::log(x)) - n * x; });
    if (b > 0.0)
      FillCurve(GammaRange(q, a, b), nPoints, curves.priorArguments[i], curves.priors[i],
                [&](double x) { return KQDistFun::PdfGamma(x, a, b); });
    else
      FillCurve(likelihoodRange, nPoints, curves.priorArguments[i], curves.priors[i],
                [&](double x) { return std::pow(x, a - 1.0); });
    FillCurve(GammaRange(q, alpha, beta), nPoints, curves.posteriorArguments[i], curves.posteriors[i],
              [&](double x) { return KQDistFun::PdfGamma(x, alpha, beta); });
  }
  return curves;
}

}  // namespace detail

}  // namespace KQBSN_850
