#pragma once
// Thread services: an analysis splits work into tasks and asks the host's factory for a runner
// that runs them, returning when every task has finished.

#include <memory>
#include <vector>

namespace KQThread_850 {

class IKQThreadTask {
 public:
  virtual ~IKQThreadTask() = default;
  /// Does the task's work; false when it failed (its own status says why).
  virtual bool Run() = 0;
};

class IKQThreadRunner {
 public:
  virtual ~IKQThreadRunner() = default;
  /// Runs each task's Run() exactly once and returns when all have finished.
  virtual void RunTasks(const std::vector<IKQThreadTask*>& tasks) = 0;
};

class IKQThreadFactory {
 public:
  virtual ~IKQThreadFactory() = default;
  /// A runner using at most nThreads threads; the caller owns it.
  virtual std::unique_ptr<IKQThreadRunner> CreateRunner(int nThreads) = 0;
};

/// Makes per-thread record iterators for hosts that can read the data on several threads.
class KQThreadIterFactory {
 public:
  virtual ~KQThreadIterFactory() = default;
};

/// A factory whose runners use std::thread: tasks are taken in order from a shared counter by
/// up to nThreads workers (the calling thread is one of them).
class KQStdThreadFactory final : public IKQThreadFactory {
 public:
  std::unique_ptr<IKQThreadRunner> CreateRunner(int nThreads) override;
};

}  // namespace KQThread_850
