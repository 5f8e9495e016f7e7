#pragma once
// Cancellation: the host answers "stop?" through a KQQueryCancel; KQCancelInfo asks it and
// remembers the answer so that code which must not call the host (worker threads) can read it.

#include <atomic>

namespace KQCommon_850 {

class KQQueryCancel {
 public:
  virtual ~KQQueryCancel() = default;
  /// True when the host wants the running operation to stop.
  virtual bool IsCancel() = 0;
};

class KQCancelInfo {
 public:
  explicit KQCancelInfo(KQQueryCancel* query = nullptr) noexcept : query_(query) {}
  KQCancelInfo(const KQCancelInfo& other) noexcept : query_(other.query_), cancelled_(other.WillCancel()) {}
  KQCancelInfo& operator=(const KQCancelInfo& other) noexcept {
    query_ = other.query_;
    cancelled_.store(other.WillCancel(), std::memory_order_relaxed);
    return *this;
  }

  /// Replaces the query (null for none); the host's object is not owned.
  void SetCancelPtr(KQQueryCancel* query) noexcept { query_ = query; }
  KQQueryCancel* GetCancelPtr() const noexcept { return query_; }
  /// Asks the host and remembers the answer. A "yes" is kept: later calls answer yes without asking.
  bool IsCancel() {
    if (WillCancel()) return true;
    if (query_ != nullptr && query_->IsCancel()) cancelled_.store(true, std::memory_order_relaxed);
    return WillCancel();
  }
  /// The last answer, without asking the host; safe to call from several threads.
  bool WillCancel() const noexcept { return cancelled_.load(std::memory_order_relaxed); }

 private:
  KQQueryCancel* query_ = nullptr;
  std::atomic<bool> cancelled_{false};
};

}  // namespace KQCommon_850
