#include "companion/KQMeansXProdData.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstddef>

#include "companion/KQMV.h"

namespace KQMath_850 {

using KQCommon_850::KQMV;

KQMeansXProdData::KQMeansXProdData(int nVariables, bool centred)
    : nVariables_(nVariables),
      centred_(centred),
      shift_(static_cast<std::size_t>(nVariables), 0.0),
      means_(static_cast<std::size_t>(nVariables), 0.0),
      scaleExponents_(static_cast<std::size_t>(nVariables), 0),
      inverseScales_(static_cast<std::size_t>(nVariables), 1.0),
      rescaleAbove_(static_cast<std::size_t>(nVariables), 0.0),
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
  if (sumWeights_ == 0.0) {
    std::copy(values.begin(), values.end(), shift_.begin());
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (values[i] == 0.0) continue;  // the scale waits for the first nonzero deviation
      SetScaleExponent(i, std::ilogb(values[i]));
      rescaleAbove_[i] = kMaxScaledDeviation;
    }
  }
  const double oldSumWeights = sumWeights_;
  sumWeights_ += weight;
  const double meanStep = weight / sumWeights_;
  for (std::size_t i = 0; i < values.size(); ++i) {
    deviations_[i] = (values[i] - shift_[i]) * inverseScales_[i] - means_[i];
    if (!(std::fabs(deviations_[i]) <= rescaleAbove_[i]) && std::isfinite(deviations_[i])) {
      // Rare: the deviation outgrew the scale (or is the first nonzero one); the unscaled deviation's
      // exponent is ilogb of the scaled one plus e_i.
      SetScaleExponent(i, std::ilogb(deviations_[i]) + scaleExponents_[i]);
      rescaleAbove_[i] = kMaxScaledDeviation;
      deviations_[i] = (values[i] - shift_[i]) * inverseScales_[i] - means_[i];
    }
    means_[i] += deviations_[i] * meanStep;
  }
  // (W_old w / W) d d' is the exact increase of the centred cross-products; the first case adds 0.
  centredXProds_.UpdateXX(deviations_, oldSumWeights * meanStep);
  return true;
}

void KQMeansXProdData::SetScaleExponent(std::size_t i, int exponent) {
  exponent = std::clamp(exponent, kMinScaleExponent, kMaxScaleExponent);
  const int change = scaleExponents_[i] - exponent;
  means_[i] = std::ldexp(means_[i], change);
  const int row = static_cast<int>(i);
  for (int j = 0; j < nVariables_; ++j) centredXProds_(row, j) = std::ldexp(centredXProds_(row, j), change);
  centredXProds_(row, row) = std::ldexp(centredXProds_(row, row), change);  // S_ii carries the scale twice
  scaleExponents_[i] = exponent;
  inverseScales_[i] = std::ldexp(1.0, -exponent);
}

void KQMeansXProdData::Merge(const KQMeansXProdData& source) {
  assert(source.nVariables_ == nVariables_);
  if (source.sumWeights_ == 0.0) return;
  if (sumWeights_ == 0.0) {
    const bool centred = centred_;  // what this object reports stays its own choice
    *this = source;
    centred_ = centred;
    return;
  }
  // Both on the larger scale of each variable; a variable without a scale has only zero deviations.
  KQMeansXProdData other = source;
  for (std::size_t i = 0; i < means_.size(); ++i) {
    const bool otherHasScale = other.rescaleAbove_[i] > 0.0, hasScale = rescaleAbove_[i] > 0.0;
    if (otherHasScale && (!hasScale || other.scaleExponents_[i] > scaleExponents_[i])) {
      SetScaleExponent(i, other.scaleExponents_[i]);
      rescaleAbove_[i] = kMaxScaledDeviation;
    } else if (hasScale) {
      other.SetScaleExponent(i, scaleExponents_[i]);
    }
  }
  const double total = sumWeights_ + other.sumWeights_;
  const double otherShare = other.sumWeights_ / total;
  // Chan, Golub and LeVeque's pairwise combination: S = S_a + S_b + (W_a W_b / W) delta delta'.
  for (std::size_t i = 0; i < means_.size(); ++i) {
    deviations_[i] = (other.shift_[i] - shift_[i]) * inverseScales_[i] + (other.means_[i] - means_[i]);
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
  scaleExponents_.assign(scaleExponents_.size(), 0);
  inverseScales_.assign(inverseScales_.size(), 1.0);
  rescaleAbove_.assign(rescaleAbove_.size(), 0.0);
  centredXProds_.Resize(nVariables_);
}

KQMeansXProdData KQMeansXProdData::Select(std::span<const int> variables) const {
  KQMeansXProdData selected(static_cast<int>(variables.size()), centred_);
  selected.sumWeights_ = sumWeights_;
  for (std::size_t a = 0; a < variables.size(); ++a) {
    assert(variables[a] >= 0 && variables[a] < nVariables_);
    const auto from = static_cast<std::size_t>(variables[a]);
    selected.shift_[a] = shift_[from];
    selected.means_[a] = means_[from];
    selected.scaleExponents_[a] = scaleExponents_[from];
    selected.inverseScales_[a] = inverseScales_[from];
    selected.rescaleAbove_[a] = rescaleAbove_[from];
    for (std::size_t b = 0; b <= a; ++b)
      selected.centredXProds_(static_cast<int>(a), static_cast<int>(b)) =
          centredXProds_(variables[a], variables[b]);
  }
  return selected;
}

std::vector<double> KQMeansXProdData::GetMeans() const {
  std::vector<double> means(means_.size(), KQMV::Missing());
  if (sumWeights_ > 0.0)
    for (std::size_t i = 0; i < means.size(); ++i)
      means[i] = shift_[i] + std::ldexp(means_[i], scaleExponents_[i]);
  return means;
}

KQSymMatrix KQMeansXProdData::GetXProds() const {
  KQSymMatrix xProds = centredXProds_;
  for (int i = 0; i < nVariables_; ++i)
    for (int j = 0; j <= i; ++j)
      xProds(i, j) = std::ldexp(xProds(i, j), scaleExponents_[static_cast<std::size_t>(i)] +
                                                  scaleExponents_[static_cast<std::size_t>(j)]);
  if (!centred_) xProds.UpdateXX(GetMeans(), sumWeights_);
  return xProds;
}

}  // namespace KQMath_850
