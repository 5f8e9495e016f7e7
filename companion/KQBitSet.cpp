#include "companion/KQBitSet.h"

#include <bit>
#include <cassert>
#include <cstddef>

namespace KQMath_850 {
namespace {

constexpr int kWordBits = 64;

std::size_t WordOf(int k) { return static_cast<std::size_t>(k / kWordBits); }
std::uint64_t MaskOf(int k) { return std::uint64_t{1} << (k % kWordBits); }

}  // namespace

void KQBitSet::Resize(int n, bool value) {
  assert(n >= 0);
  size_ = n;
  words_.assign(static_cast<std::size_t>((n + kWordBits - 1) / kWordBits), value ? ~std::uint64_t{0} : 0);
  if (value && n % kWordBits != 0) words_.back() = (std::uint64_t{1} << (n % kWordBits)) - 1;
}

void KQBitSet::Set(int k, bool value) {
  assert(k >= 0 && k < size_);
  if (value)
    words_[WordOf(k)] |= MaskOf(k);
  else
    words_[WordOf(k)] &= ~MaskOf(k);
}

bool KQBitSet::IsIn(int k) const {
  assert(k >= 0 && k < size_);
  return (words_[WordOf(k)] & MaskOf(k)) != 0;
}

int KQBitSet::InSet() const noexcept {
  int count = 0;
  for (std::uint64_t word : words_) count += std::popcount(word);
  return count;
}

}  // namespace KQMath_850
