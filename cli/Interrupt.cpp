#include "cli/Interrupt.h"

#include <atomic>
#include <csignal>

namespace kqcli {
namespace {

// A lock-free atomic is safe to write from a signal handler.
std::atomic<bool> interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) { interrupted.store(true, std::memory_order_relaxed); }

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;  // no SA_RESTART: a read blocked on a pipe returns with EINTR
  sigaction(SIGINT, &action, nullptr);
}

bool InterruptRequested() noexcept { return interrupted.load(std::memory_order_relaxed); }

}  // namespace kqcli
