#pragma once
// BSNCorrTask: the per-pair work of the correlation analysis over a range of pairs: the Bayes factors
// (JZS, or fractional for every other estimate), the sampled posterior summaries of rho and, for the first
// pairs, the plot curves. A task writes only its own pairs' entries of the shared results and keeps its
// own status, warnings, integrators, random stream and list of pairs whose integrals warned, so that tasks
// can run on several threads.
// Posterior of one pair (r over n weighted cases, prior exponent c): z = atanh(rho) is drawn from the
// normal law with mean atanh(r) - 2.5 r / n and variance 1 / (n + 1 - 2.5 r^2); rho = tanh(z). The summary
// is the mean and the variance (divided by the number of draws) of the draws, the mode is the first draw
// with the largest l(rho) = ((n - 1)/2 + c) ln(1 - rho^2) - (n - 1.5) ln(1 - rho r), and the interval the
// shortest one holding trunc(level/100 S) + 1 of the S sorted draws (missing bounds for a level of 100 or
// more, or no draw). The random stream is seeded once per task, so a pair's draws depend on its place in
// its task; the factors do not (each pair's integrators start from the settings' seed).
// A task asks the host about cancellation while it runs on the thread that called the build (one task alone,
// or the tasks a runner gives that thread); on another thread it only reads the last answer. A cancellation
// ends the task with the cancelled status.
// Accuracy: tests/correlation/BSNPearsonCorrelation_test.cpp compares the posterior mean and variance with
// exact quadrature and the factors with R's integrate().

#include <cstddef>
#include <thread>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQRandomValues.h"
#include "companion/KQStatus.h"
#include "companion/KQThread.h"
#include "companion/KQWarnings.h"
#include "correlation/detail/CorrPairResults.h"
#include "frame/BSNSettings.h"
#include "frame/BayesEstimation.h"

namespace KQBSN_850::detail {

/// Puts the nStarts smallest draws, in order, at the front and the nStarts largest, in order, at the back:
/// the values a full sort would put there (the shortest-interval search reads only those). Cuts taken from
/// a sample of the draws first set apart a few more than nStarts draws at each end, so that only those few
/// are ordered; when the cuts set apart too few, or the two ends overlap, the whole range is ordered.
/// `sample` is scratch space.
void OrderWindowEnds(std::vector<double>& draws, std::size_t nStarts, std::vector<double>& sample);

class BSNCorrTask final : public KQThread_850::IKQThreadTask {
 public:
  /// Pairs first .. first + count - 1 of `results`. The host's cancellation query is asked only on
  /// `hostThread`, the thread that called the build; other threads read its last answer.
  BSNCorrTask(std::size_t first, std::size_t count, const BSNSettings& settings,
              KQCommon_850::KQCancelInfo& cancel, CorrPairResults& results, std::thread::id hostThread);

  /// The factors and the posterior part, as the analysis type asks; true (its status says what happened).
  bool Run() override;

  const KQCommon_850::KQStatus& GetStatus() const noexcept { return status_; }
  const KQCommon_850::KQWarnings& GetWarnings() const noexcept { return warnings_; }
  /// Positions of this task's pairs whose integrals reported warnings.
  const std::vector<int>& GetFailedPairs() const noexcept { return failedPairs_; }

 private:
  bool OnHostThread() const noexcept { return std::this_thread::get_id() == hostThread_; }
  bool Cancelled();
  void ComputeFactors();
  void ComputePosteriors();
  BayesEstimation Summarize(double r, double n);
  /// The shortest interval holding the credible level's share of the draws (reorders them); none for a
  /// level of 100 or more, a missing level or no draw.
  void SetShortestInterval(BayesEstimation& summary);
  void ComputeCurves(std::size_t pair);

  std::size_t first_, count_;
  const BSNSettings& settings_;
  KQCommon_850::KQCancelInfo& cancel_;
  CorrPairResults& results_;
  std::thread::id hostThread_;
  KQCommon_850::KQStatus status_;
  KQCommon_850::KQWarnings warnings_;
  KQMath_850::KQRandomValues random_;
  double priorExponent_;
  std::vector<int> failedPairs_;
  std::vector<double> draws_;   // one pair's posterior draws, kept to avoid allocation
  std::vector<double> sample_;  // every few of them, to find the ends of their order
};

}  // namespace KQBSN_850::detail
