#include "companion/KQStatus.h"

#include "companion/KQMV.h"

namespace KQCommon_850 {

void KQStatus::SetDiscreteDatum(std::size_t i, long value) {
  if (discrete_.size() <= i) discrete_.resize(i + 1);
  discrete_[i] = value;
}

void KQStatus::SetScaleDatum(std::size_t i, double value) {
  if (scale_.size() <= i) scale_.resize(i + 1);
  scale_[i] = value;
}

long KQStatus::GetDiscreteDatum(std::size_t i) const noexcept {
  return HasDiscreteDatum(i) ? *discrete_[i] : 0L;
}

double KQStatus::GetScaleDatum(std::size_t i) const noexcept {
  return HasScaleDatum(i) ? *scale_[i] : KQMV::Missing();
}

}  // namespace KQCommon_850
