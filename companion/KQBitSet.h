#pragma once
// KQBitSet: a set of parameter positions 0 .. Size() - 1, stored one bit per position.
// The regression code uses it as the set of non-redundant parameters: a member is a pivot that was
// swept into the cross-product matrix. Positions outside 0 .. Size() - 1 are a caller's error (assert).
// Accuracy: exact; the tests cover sets that cross the 64-bit word boundary.

#include <cstdint>
#include <vector>

namespace KQMath_850 {

class KQBitSet {
 public:
  /// The empty set over no positions.
  KQBitSet() = default;
  /// A set over n positions, every position a member when value is true, none otherwise.
  explicit KQBitSet(int n, bool value = false) { Resize(n, value); }

  /// Makes the set cover n positions and gives every position (old and new) the membership value.
  void Resize(int n, bool value);
  /// Makes position k a member (value true) or a non-member (value false).
  void Set(int k, bool value = true);
  /// Makes position k a non-member.
  void Reset(int k) { Set(k, false); }
  /// True when position k is a member.
  bool IsIn(int k) const;
  /// The number of members.
  int InSet() const noexcept;
  /// The number of positions the set covers.
  int Size() const noexcept { return size_; }

  friend bool operator==(const KQBitSet&, const KQBitSet&) = default;

 private:
  int size_ = 0;
  // Bits at or beyond size_ are always zero, so that counting and comparing can work word by word.
  std::vector<std::uint64_t> words_;
};

}  // namespace KQMath_850
