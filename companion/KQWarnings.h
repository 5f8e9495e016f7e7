#pragma once
// KQWarnings: the ordered warnings of one operation, each with a destination (0 = the host's
// warning list; other numbers are free for a host to route warnings elsewhere).

#include <cstddef>
#include <vector>

#include "companion/KQStatus.h"

namespace KQCommon_850 {

class KQWarnings {
 public:
  void AddWarning(const KQStatus& status, int destination) { entries_.push_back({status, destination}); }
  /// Appends every warning of another collection, keeping its order and destinations.
  void AddWarnings(const KQWarnings& other) {
    entries_.insert(entries_.end(), other.entries_.begin(), other.entries_.end());
  }
  void AddWarnings(const std::vector<KQStatus>& statuses) {
    for (const KQStatus& status : statuses) AddWarning(status, 0);
  }
  /// The warnings in the order they were added: all of them, or (all false) only those for destination 0.
  std::vector<KQStatus> GetWarnings(bool all) const;
  int GetDestination(std::size_t i) const { return entries_.at(i).destination; }
  std::size_t Size() const noexcept { return entries_.size(); }
  bool IsEmpty() const noexcept { return entries_.empty(); }
  const KQStatus& operator[](std::size_t i) const { return entries_[i].status; }
  void Clear() noexcept { entries_.clear(); }

 private:
  struct Entry {
    KQStatus status;
    int destination;
  };
  std::vector<Entry> entries_;
};

}  // namespace KQCommon_850
