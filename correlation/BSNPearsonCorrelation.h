#pragma once
// BSNPearsonCorrelation: pairwise Pearson correlations of the settings' covariates, with, per pair, the
// Bayes factor BF01 of rho = 0 (JZS) or rho = rho0 (fractional, every other estimate), a sampled posterior
// summary of rho and, for the first MaxNPlots pairs, plot curves of the log-likelihood, the prior
// (1 - rho^2)^c and the posterior on a grid of rho.
//
// One pass over the records (CorrPairStats) gives each pair's weighted N and r, pairwise or listwise as
// the missing scope says; frequency weights round to whole numbers and a record whose weight is 0 is left
// out. The per-pair work runs in tasks (BSNCorrTask): one on the calling thread, or, with a thread factory,
// more than one allowed thread and more than NPairsPerTask pairs, tasks of NPairsPerTask pairs run by the
// factory's runner and merged in task order. The factors and r do not depend on the split.
// Input: at least 2 covariates (else BSN_TOO_FEW_CORR_VARIABLES) and one record (else BSN_NO_VALID_CASES).
// Warnings: BSN_FEW_VALID_CASES_CORR (a pair with N < 2), BSN_CONSTANT_CORR_PAIRS, BSN_PERFECT_CORR_PAIRS,
// one BSN_LOG_FACTOR when a factor is kept as its logarithm, and the integrals' warnings (the pairs are
// listed in the record). A cancellation ends the build with code 1 and no result record.
// Accuracy: tests/correlation/BSNPearsonCorrelation_test.cpp compares with R's cor() and integrate().

#include <memory>
#include <ostream>

#include "frame/BSNAlgorithm.h"

namespace KQBSN_850 {

namespace detail {
struct CorrPairResults;
}

class BSNPearsonCorrelation final : public BSNAlgorithm {
 public:
  BSNPearsonCorrelation(const BSNSettings& settings, const KQCommon_850::KQVarList& varList);
  ~BSNPearsonCorrelation() override;

  KQCommon_850::KQStatus BuildModel(KQCommon_850::MultiPassRecordIter& iter) override;
  void Display(std::ostream& os) const override;

  /// The per-pair results of the last build.
  const detail::CorrPairResults& GetResults() const noexcept { return *results_; }

 private:
  KQCommon_850::KQStatus ComputePairStats(KQCommon_850::MultiPassRecordIter& iter);
  /// Sizes the result lists and runs the tasks.
  KQCommon_850::KQStatus RunPairWork();
  KQCommon_850::KQStatus RunThreaded();

  std::unique_ptr<detail::CorrPairResults> results_;
};

}  // namespace KQBSN_850
