#include <algorithm>
#include <atomic>
#include <thread>

#include "companion/KQThread.h"

namespace KQThread_850 {
namespace {

class StdThreadRunner final : public IKQThreadRunner {
 public:
  explicit StdThreadRunner(int nThreads) : nThreads_(std::max(1, nThreads)) {}

  void RunTasks(const std::vector<IKQThreadTask*>& tasks) override {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
      for (std::size_t i = next++; i < tasks.size(); i = next++) tasks[i]->Run();
    };
    const std::size_t nWorkers = std::min<std::size_t>(static_cast<std::size_t>(nThreads_), tasks.size());
    std::vector<std::jthread> helpers;
    for (std::size_t w = 1; w < nWorkers; ++w) helpers.emplace_back(work);
    work();  // the calling thread works too, then the jthreads join on scope exit
  }

 private:
  int nThreads_;
};

}  // namespace

std::unique_ptr<IKQThreadRunner> KQStdThreadFactory::CreateRunner(int nThreads) {
  return std::make_unique<StdThreadRunner>(nThreads);
}

}  // namespace KQThread_850
