#include "correlation/detail/BSNCorrTask.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "companion/KQContStats.h"
#include "companion/KQMV.h"
#include "correlation/BayesFactor2DimMC.h"
#include "correlation/detail/CorrelationFactors.h"
#include "frame/BSNStatusCodes.h"
#include "frame/detail/AnalysisRequest.h"
#include "frame/detail/FactorStore.h"

namespace KQBSN_850::detail {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

namespace {

/// The fraction b of the fractional factor when the settings give none.
constexpr double kDefaultFraction = 0.5;

/// ln(1 - rho^2), accurate as |rho| approaches 1.
double LogOneMinusSquare(double rho) noexcept { return std::log((1.0 - rho) * (1.0 + rho)); }

/// The log posterior kernel l(rho) of a pair.
struct LogPosterior {
  double squareExponent;  // (n - 1)/2 + c
  double linearExponent;  // n - 1.5
  double r;
  double operator()(double rho) const noexcept {
    return squareExponent * LogOneMinusSquare(rho) - linearExponent * std::log1p(-rho * r);
  }
};

LogPosterior MakeLogPosterior(double r, double n, double c) noexcept {
  return {(n - 1.0) / 2.0 + c, n - 1.5, r};
}

bool HasPosterior(double r) noexcept { return !KQMV::IsMissingOrNaN(r) && std::fabs(r) < 1.0; }

/// Where l(rho) peaks, when it has one peak in (-1, 1); NaN otherwise. With A the exponent of
/// ln(1 - rho^2) and B that of ln(1 - rho r), l' = N(rho) / ((1 - rho^2)(1 - rho r)) with
/// N = (2A - B) r rho^2 - 2A rho + B r. For A > 0, l falls to -inf at both ends, so N, of degree 2 at most,
/// changes sign exactly once in (-1, 1): at its root of smaller magnitude, B r / (A + sqrt(A^2 - (2A - B) B
/// r^2)) (the form without cancellation).
double PeakOf(const LogPosterior& l) noexcept {
  const double a = l.squareExponent, b = l.linearExponent;
  const double discriminant = a * a - (2.0 * a - b) * b * l.r * l.r;
  if (!(a > 0.0) || !(discriminant >= 0.0)) return std::numeric_limits<double>::quiet_NaN();
  const double peak = b * l.r / (a + std::sqrt(discriminant));
  return std::fabs(peak) < 1.0 ? peak : std::numeric_limits<double>::quiet_NaN();
}

/// The draws nearest below and above a peak of l, with their positions; l has no larger value elsewhere.
struct PeakNeighbours {
  double peak;
  std::size_t below = SIZE_MAX, above = SIZE_MAX;
  double belowValue = -INFINITY, aboveValue = INFINITY;
  void Note(double rho, std::size_t i) noexcept {
    if (rho <= peak) {
      if (rho > belowValue) {
        belowValue = rho;
        below = i;
      }
    } else if (rho < aboveValue) {
      aboveValue = rho;
      above = i;
    }
  }
};

}  // namespace

/// Every kSampleStride-th draw estimates where the ends of the sorted draws lie.
constexpr std::size_t kSampleStride = 16;

void OrderWindowEnds(std::vector<double>& draws, std::size_t nStarts, std::vector<double>& sample) {
  const auto begin = draws.begin(), end = draws.end();
  const auto n = static_cast<std::ptrdiff_t>(nStarts);
  if (2 * nStarts >= draws.size()) {
    std::sort(begin, end);
    return;
  }
  sample.clear();
  for (std::size_t i = 0; i < draws.size(); i += kSampleStride) sample.push_back(draws[i]);
  // The sample's order statistic of this rank has, almost surely, more than nStarts draws beyond it.
  const double expected = static_cast<double>(nStarts) / kSampleStride;
  const auto rank = static_cast<std::size_t>(expected + 4.0 * std::sqrt(expected) + 2.0);
  if (rank < sample.size() / 2) {
    std::nth_element(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(rank), sample.end());
    const double lowCut = sample[rank];
    const std::size_t highRank = sample.size() - 1 - rank;
    std::nth_element(sample.begin(), sample.begin() + static_cast<std::ptrdiff_t>(highRank), sample.end());
    const double highCut = sample[highRank];
    if (lowCut < highCut) {
      const auto lowEnd = std::partition(begin, end, [lowCut](double x) { return x < lowCut; });
      const auto highBegin = std::partition(lowEnd, end, [highCut](double x) { return !(x > highCut); });
      if (lowEnd - begin >= n && end - highBegin >= n) {
        std::nth_element(begin, begin + n, lowEnd);
        std::sort(begin, begin + n);
        std::nth_element(highBegin, end - n, end);
        std::sort(end - n, end);
        return;
      }
    }
  }
  std::nth_element(begin, begin + n, end);
  std::sort(begin, begin + n);
  std::nth_element(begin + n, end - n, end);
  std::sort(end - n, end);
}

BSNCorrTask::BSNCorrTask(std::size_t first, std::size_t count, const BSNSettings& settings,
                         KQCommon_850::KQCancelInfo& cancel, CorrPairResults& results,
                         std::thread::id hostThread)
    : first_(first),
      count_(count),
      settings_(settings),
      cancel_(cancel),
      results_(results),
      hostThread_(hostThread),
      random_(settings.GetRandomSeed()),
      priorExponent_(settings.GetCorrCValue()) {}

bool BSNCorrTask::Cancelled() {
  const bool cancelled = OnHostThread() ? cancel_.IsCancel() : cancel_.WillCancel();
  if (cancelled) status_ = KQStatus(BSN_STATUS_CANCELLED, false);
  return cancelled;
}

bool BSNCorrTask::Run() {
  if (WantsBayesFactor(settings_)) ComputeFactors();
  if (!status_.IsError() && WantsPosterior(settings_)) ComputePosteriors();
  return true;
}

void BSNCorrTask::ComputeFactors() {
  const bool jzs = settings_.GetEstBFType() == BSNConst::EstBFTypes::JZS;
  const double fraction =
      KQMV::IsMissingOrNaN(settings_.GetRegrComPar()) ? kDefaultFraction : settings_.GetRegrComPar();
  const long nSamples = settings_.GetMCSamples();
  BayesFactor2DimMC mc(fraction, 1.0, 0.0, nSamples, settings_.GetRandomSeed());
  const CorrQuadrature quadrature{settings_.GetTolValue(), settings_.GetMaxIterations(),
                                  OnHostThread() ? &cancel_ : nullptr};
  for (std::size_t p = first_; p < first_ + count_; ++p) {
    if (Cancelled()) return;
    const double r = results_.r[p], n = results_.n[p];
    const CorrFactorResult factor = jzs ? JzsCorrelationLogBf01(r, n, quadrature)
                                        : FractionalCorrelationLogBf01(r, n, settings_.GetNullValue(),
                                                                       fraction, nSamples, mc, quadrature);
    if (factor.cancelled) {
      status_ = KQStatus(BSN_STATUS_CANCELLED, false);
      return;
    }
    if (factor.warnings.Size() > 0) {
      warnings_.AddWarnings(factor.warnings);
      if (failedPairs_.empty() || failedPairs_.back() != static_cast<int>(p))
        failedPairs_.push_back(static_cast<int>(p));
    }
    const StoredFactor stored = StoreLogFactor(factor.logBf01);
    results_.bayesFactors[p] = stored.value;
    results_.isLogFactor[p] = stored.isLog ? 1 : 0;
  }
}

void BSNCorrTask::ComputePosteriors() {
  random_.SetSeed(settings_.GetRandomSeed());
  const auto nPlots = static_cast<std::size_t>(std::max(0, settings_.GetMaxNPlots()));
  for (std::size_t p = first_; p < first_ + count_; ++p) {
    if (Cancelled()) return;
    const BayesEstimation summary = Summarize(results_.r[p], results_.n[p]);
    if (status_.IsError()) return;
    results_.posterior.Set(p, summary);
    if (p < nPlots && p < results_.logLikelihoods.size()) ComputeCurves(p);
  }
}

BayesEstimation BSNCorrTask::Summarize(double r, double n) {
  BayesEstimation summary;
  if (!HasPosterior(r)) return summary;
  // Fisher's z of the sample correlation, shifted by its bias; the second argument is a standard deviation.
  const double z = std::atanh(r);
  random_.SetParamNormal(z - 2.5 * r / n, std::sqrt(1.0 / (n + 1.0 - 2.5 * r * r)));
  const long nDraws = std::max(0L, settings_.GetPosteriorSamples());
  const LogPosterior logPosterior = MakeLogPosterior(r, n, priorExponent_);
  draws_.resize(static_cast<std::size_t>(nDraws));
  KQMath_850::KQContStats stats;
  // The mode is the first draw with the largest l. Where l has one peak, that draw is the nearest one
  // below or above the peak, so l is evaluated at two draws instead of all.
  PeakNeighbours neighbours{PeakOf(logPosterior)};
  const bool onePeak = !std::isnan(neighbours.peak);
  double bestLog = std::numeric_limits<double>::lowest();
  for (std::size_t i = 0; i < draws_.size(); ++i) {
    if (Cancelled()) return summary;
    const double rho = std::tanh(random_.GetRandom());
    stats.Update(rho, 1.0);
    draws_[i] = rho;
    if (onePeak) {
      neighbours.Note(rho, i);
    } else if (const double logValue = logPosterior(rho); logValue > bestLog) {
      bestLog = logValue;
      summary.mode = rho;
    }
  }
  if (onePeak) {
    std::size_t first = neighbours.below, second = neighbours.above;
    if (second < first) std::swap(first, second);
    for (std::size_t i : {first, second}) {
      if (i == SIZE_MAX) continue;
      if (const double logValue = logPosterior(draws_[i]); logValue > bestLog) {
        bestLog = logValue;
        summary.mode = draws_[i];
      }
    }
  }
  summary.mean = stats.GetMean();
  const double weights = stats.GetSumWeights();
  const double variance = stats.GetVariance();
  if (!KQMV::IsMissing(variance)) summary.variance = variance * (weights - 1.0) / weights;

  SetShortestInterval(summary);
  return summary;
}

void BSNCorrTask::SetShortestInterval(BayesEstimation& summary) {
  const double level = settings_.GetCILevel();
  if (draws_.empty() || !(level < 100.0)) return;
  const double span = std::trunc((1.0 - (1.0 - level / 100.0)) * static_cast<double>(draws_.size()));
  if (!(span >= 0.0)) return;
  const auto width = static_cast<std::size_t>(span);
  OrderWindowEnds(draws_, draws_.size() - std::min(width, draws_.size()), sample_);
  // The shortest window of width + 1 sorted draws; the first one wins a tie.
  std::size_t best = 0;
  double bestWidth = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i + width < draws_.size(); ++i) {
    if (cancel_.WillCancel()) {
      status_ = KQStatus(BSN_STATUS_CANCELLED, false);
      return;
    }
    if (const double w = draws_[i + width] - draws_[i]; w < bestWidth) {
      bestWidth = w;
      best = i;
    }
  }
  if (bestWidth == std::numeric_limits<double>::infinity()) return;
  summary.lower = draws_[best];
  summary.upper = draws_[best + width];
}

void BSNCorrTask::ComputeCurves(std::size_t pair) {
  const double r = results_.r[pair], n = results_.n[pair];
  if (!HasPosterior(r)) return;
  const std::vector<double>& grid = results_.plotX;
  const double logSums = results_.logSxxSyy[pair];
  const double logTwoPiOverN = std::log(2.0 * std::numbers::pi) - std::log(n);
  const LogPosterior logPosterior = MakeLogPosterior(r, n, priorExponent_);
  std::vector<double> logLikelihood(grid.size()), prior(grid.size()), posterior(grid.size());
  double maxLog = -std::numeric_limits<double>::infinity();
  for (std::size_t j = 0; j < grid.size(); ++j) {
    const double rho = grid[j];
    const double logSquare = LogOneMinusSquare(rho);
    logLikelihood[j] = -(n / 2.0) * (logSquare + 2.0 * logTwoPiOverN + logSums) -
                       n * (1.0 - rho * r) / ((1.0 - rho) * (1.0 + rho));
    prior[j] = std::exp(priorExponent_ * logSquare);
    posterior[j] = logPosterior(rho);
    maxLog = std::max(maxLog, posterior[j]);
  }
  for (double& value : posterior) value = std::exp(value - maxLog);
  results_.logLikelihoods[pair] = std::move(logLikelihood);
  results_.priors[pair] = std::move(prior);
  results_.posteriors[pair] = std::move(posterior);
}

}  // namespace KQBSN_850::detail
