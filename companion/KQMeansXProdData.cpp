#include "companion/KQMeansXProdData.h"

#include <algorithm>
#include <cassert>
#include <cstddef>

#include "companion/KQMV.h"

namespace KQMath_850 {

using KQCommon_850::KQMV;

KQMeansXProdData::KQMeansXProdData(int nVariables, bool centred)
    : nVariables_(nVariables),
      centred_(centred),
      shift_(static_cast<std::size_t>(nVariables), 0.0),
      means_(static_cast<std::size_t>(nVariables), 0.0),
      centredXProds_(nVariables, true),
      deviations_(static_cast<std::size_t>(nVariables), 0.0) {
  assert(nVariables >= 0);
}

bool KQMeansXProdData::AddCase(std::span<const double> values, double weight) {
  assert(values.size() == means_.size());
  // The missing value is the most negative double and NaN compares false, so both fail the test.
  if (!(weight > 0.0)) return false;
  for (double x : values)
    if (KQMV::IsMissingOrNaN(x)) return false;
  if (sumWeights_ == 0.0) std::copy(values.begin(), values.end(), shift_.begin());
  const double oldSumWeights = sumWeights_;
  sumWeights_ += weight;
  const double meanStep = weight / sumWeights_;
  for (std::size_t i = 0; i < values.size(); ++i) {
    deviations_[i] = (values[i] - shift_[i]) - means_[i];
    means_[i] += deviations_[i] * meanStep;
  }
  // (W_old w / W) d d' is the exact increase of the centred cross-products; the first case adds 0.
  centredXProds_.UpdateXX(deviations_, oldSumWeights * meanStep);
  return true;
}

void KQMeansXProdData::Merge(const KQMeansXProdData& other) {
  assert(other.nVariables_ == nVariables_);
  if (other.sumWeights_ == 0.0) return;
  if (sumWeights_ == 0.0) {
    const bool centred = centred_;  // what this object reports stays its own choice
    *this = other;
    centred_ = centred;
    return;
  }
  const double total = sumWeights_ + other.sumWeights_;
  const double otherShare = other.sumWeights_ / total;
  // Chan, Golub and LeVeque's pairwise combination: S = S_a + S_b + (W_a W_b / W) delta delta'.
  for (std::size_t i = 0; i < means_.size(); ++i) {
    deviations_[i] = (other.shift_[i] - shift_[i]) + (other.means_[i] - means_[i]);
    means_[i] += deviations_[i] * otherShare;
  }
  centredXProds_.Add(other.centredXProds_);
  centredXProds_.UpdateXX(deviations_, sumWeights_ * otherShare);
  sumWeights_ = total;
}

void KQMeansXProdData::Reset() {
  sumWeights_ = 0.0;
  shift_.assign(shift_.size(), 0.0);
  means_.assign(means_.size(), 0.0);
  centredXProds_.Resize(nVariables_);
}

std::vector<double> KQMeansXProdData::GetMeans() const {
  std::vector<double> means(means_.size(), KQMV::Missing());
  if (sumWeights_ > 0.0)
    for (std::size_t i = 0; i < means.size(); ++i) means[i] = shift_[i] + means_[i];
  return means;
}

KQSymMatrix KQMeansXProdData::GetXProds() const {
  KQSymMatrix xProds = centredXProds_;
  if (!centred_) xProds.UpdateXX(GetMeans(), sumWeights_);
  return xProds;
}

}  // namespace KQMath_850
