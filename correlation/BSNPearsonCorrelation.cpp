#include "correlation/BSNPearsonCorrelation.h"

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "companion/KQThread.h"
#include "correlation/BSNPearsonCorrelationOutputStats.h"
#include "correlation/detail/BSNCorrTask.h"
#include "correlation/detail/CorrPairResults.h"
#include "correlation/detail/CorrPairStats.h"
#include "frame/detail/ResultLists.h"

namespace KQBSN_850 {

using KQCommon_850::KQStatus;
using KQCommon_850::KQVarList;
using KQCommon_850::MultiPassRecordIter;

namespace {

/// Every record with a usable frequency weight counts toward progress; missing values are screened per
/// pair by the collector, so the pass hands on every record.
constexpr PassOptions kPassOptions{.weights = WeightRule::Frequency, .progress = ProgressCount::UsedRecords};

}  // namespace

BSNPearsonCorrelation::BSNPearsonCorrelation(const BSNSettings& settings, const KQVarList& varList)
    : BSNAlgorithm(settings, varList), results_(std::make_unique<detail::CorrPairResults>()) {}

BSNPearsonCorrelation::~BSNPearsonCorrelation() = default;

KQStatus BSNPearsonCorrelation::BuildModel(MultiPassRecordIter& iter) {
  KQStatus status = ListWarning(ComputePairStats(iter));
  if (!StopAfterStep(status)) status = ListWarning(RunPairWork());
  if (!StopAfterStep(status))
    outputStats_ = std::make_unique<BSNPearsonCorrelationOutputStats>(settings_, *this);
  return FinishBuild(status);
}

KQStatus BSNPearsonCorrelation::ComputePairStats(MultiPassRecordIter& iter) {
  const std::vector<int>& vars = settings_.GetCovariates();
  if (vars.size() < 2) return KQStatus(BSN_TOO_FEW_CORR_VARIABLES, false);
  if (KQStatus status = CheckHasRecords(iter); status.IsError()) return status;
  detail::CorrPairStats collector(vars, settings_.GetMissScope() == BSNConst::MissScope::MissingAnalysis);
  RecordPass pass = MakePass(kPassOptions);
  if (KQStatus status = collector.Accumulate(pass, iter); status.IsError()) return status;
  if (cancelInfo_.IsCancel()) return KQStatus(BSN_STATUS_CANCELLED, false);
  return collector.ComputePairs(cancelInfo_, warnings_, *results_);
}

KQStatus BSNPearsonCorrelation::RunPairWork() {
  const std::size_t nPairs = results_->NPairs();
  if (WantsBayesFactor()) {
    results_->bayesFactors = MissingList(nPairs);
    results_->isLogFactor.assign(nPairs, 0);
  }
  if (WantsPosterior()) {
    results_->posterior = detail::SummaryLists(nPairs);
    const std::size_t nPlots =
        std::min(static_cast<std::size_t>(std::max(0, settings_.GetMaxNPlots())), nPairs);
    if (nPlots > 0) {
      // K points splitting (-1, 1) into K + 1 equal steps.
      const int nPoints = std::max(0, settings_.GetNPlotPoints());
      results_->plotX.resize(static_cast<std::size_t>(nPoints));
      for (int i = 0; i < nPoints; ++i)
        results_->plotX[static_cast<std::size_t>(i)] = -1.0 + (i + 1) * 2.0 / (nPoints + 1);
      results_->logLikelihoods.assign(nPlots, {});
      results_->priors.assign(nPlots, {});
      results_->posteriors.assign(nPlots, {});
    }
  }

  KQStatus status;
  const int perTask = settings_.GetNPairsPerTask();
  if (settings_.GetThreadFactory() != nullptr && settings_.GetMaxThreadNum() != 1 && perTask > 0 &&
      nPairs >= static_cast<std::size_t>(perTask) + 1) {
    status = RunThreaded();
  } else {
    detail::BSNCorrTask task(0, nPairs, settings_, cancelInfo_, *results_, std::this_thread::get_id());
    task.Run();
    status = task.GetStatus();
    warnings_.AddWarnings(task.GetWarnings());
    results_->failedPairs = task.GetFailedPairs();
  }
  // One warning for the run, after the tasks' own, whatever the split into tasks.
  const auto& isLog = results_->isLogFactor;
  if (!status.IsError() && std::find(isLog.begin(), isLog.end(), 1) != isLog.end())
    AddWarning(KQStatus(BSN_LOG_FACTOR, true));
  return status;
}

KQStatus BSNPearsonCorrelation::RunThreaded() {
  const std::size_t nPairs = results_->NPairs();
  const auto perTask = static_cast<std::size_t>(settings_.GetNPairsPerTask());
  std::vector<std::unique_ptr<detail::BSNCorrTask>> tasks;
  for (std::size_t first = 0; first < nPairs; first += perTask)
    tasks.push_back(std::make_unique<detail::BSNCorrTask>(first, std::min(perTask, nPairs - first), settings_,
                                                          cancelInfo_, *results_,
                                                          std::this_thread::get_id()));
  std::vector<KQThread_850::IKQThreadTask*> running;
  for (const auto& task : tasks) running.push_back(task.get());
  const int maxThreads = settings_.GetMaxThreadNum();
  const int nThreads =
      maxThreads < 1
          ? static_cast<int>(tasks.size())
          : static_cast<int>(std::min<std::size_t>(tasks.size(), static_cast<std::size_t>(maxThreads)));
  if (std::unique_ptr<KQThread_850::IKQThreadRunner> runner =
          settings_.GetThreadFactory()->CreateRunner(nThreads)) {
    runner->RunTasks(running);
  } else {
    // A factory that offers no runner leaves the tasks to the calling thread, in order.
    for (KQThread_850::IKQThreadTask* task : running) task->Run();
  }
  KQStatus status;
  if (cancelInfo_.IsCancel()) status = KQStatus(BSN_STATUS_CANCELLED, false);
  for (const auto& task : tasks) {
    if (!status.IsError() && task->GetStatus().IsError()) status = task->GetStatus();
    warnings_.AddWarnings(task->GetWarnings());
    const std::vector<int>& failed = task->GetFailedPairs();
    results_->failedPairs.insert(results_->failedPairs.end(), failed.begin(), failed.end());
  }
  return status;
}

void BSNPearsonCorrelation::Display(std::ostream& os) const {
  KQDisplay_850::StreamScope scope(os);
  KQDisplay_850::DisplayText(1, "BSNPearsonCorrelation Display start");
}

}  // namespace KQBSN_850
