#include "twosample/BSN2SampleIndBasicStats.h"

#include <cmath>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/RecordValues.h"
#include "frame/detail/CountList.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;

BSN2SampleIndBasicStats::BSN2SampleIndBasicStats(const std::vector<int>& vars)
    : vars_(&vars), stats_(vars.size()) {}

bool BSN2SampleIndBasicStats::Update(const KQCommon_850::Record& record) {
  return Update(record.GetAll(), CaseWeight{});
}

bool BSN2SampleIndBasicStats::Update(const KQCommon_850::Record& record, double frequencyWeight,
                                     double regressionWeight) {
  const CaseWeight weight{.frequency = RoundedFrequencyWeight(frequencyWeight),
                          .regression = KQMV::IsMissingOrNaN(regressionWeight) ? 0.0 : regressionWeight};
  return Update(record.GetAll(), weight);
}

bool BSN2SampleIndBasicStats::Update(const std::vector<double>& values, const CaseWeight& weight) {
  if (!weight.IsUsable()) return false;
  // The accumulator skips a missing value, also one at a position the record does not hold.
  for (std::size_t i = 0; i < stats_.size(); ++i)
    stats_[i].Update(detail::ValueAt(values, (*vars_)[i]), weight.frequency, weight.regression);
  return true;
}

void BSN2SampleIndBasicStats::UpdateRows(std::span<const double> rows, std::size_t stride,
                                         std::span<const double> frequencyWeights,
                                         std::span<const double> caseWeights) {
  KQMath_850::KQContStats::UpdateRows(stats_, rows, stride, frequencyWeights, caseWeights);
}

template <class Get>
std::vector<double> BSN2SampleIndBasicStats::Collect(Get get) const {
  std::vector<double> result;
  result.reserve(stats_.size());
  for (const KQMath_850::KQContStats& stats : stats_) result.push_back(get(stats));
  return result;
}

std::vector<double> BSN2SampleIndBasicStats::GetNWeightedCases() const {
  return Collect([](const auto& s) { return s.GetSumFreqWeights(); });
}

std::vector<int> BSN2SampleIndBasicStats::GetNWeightedIntCases() const {
  std::vector<int> result;
  for (double n : GetNWeightedCases()) result.push_back(detail::ToCount(n));
  return result;
}

std::vector<double> BSN2SampleIndBasicStats::GetMeans() const {
  return Collect([](const auto& s) { return s.GetSumFreqWeights() > 0.0 ? s.GetMean() : KQMV::Missing(); });
}

std::vector<double> BSN2SampleIndBasicStats::GetVariances() const {
  return Collect([](const auto& s) { return s.GetVariance(); });
}

std::vector<double> BSN2SampleIndBasicStats::GetStdDevs() const {
  return Collect([](const auto& s) { return s.GetStdDev(); });
}

std::vector<double> BSN2SampleIndBasicStats::GetStdErrors() const {
  return Collect([](const auto& s) {
    const double variance = s.GetVariance();
    const double n = s.GetSumFreqWeights();
    if (KQMV::IsMissing(variance) || !(n > 0.0)) return KQMV::Missing();
    // Beyond the range of the variance (data near 1e200 or 1e-300) the standard deviation still is.
    if (!std::isnormal(variance)) return s.GetStdDev() / std::sqrt(n);
    return std::sqrt(variance / n);
  });
}

void BSN2SampleIndBasicStats::Display(std::ostream& os) const {
  using namespace KQDisplay_850;
  StreamScope scope(os);
  DisplayText(1, "BSN2SampleIndBasicStats display start");
  DisplayDV("Number of weighted cases", GetNWeightedCases());
  DisplayDV("Means", GetMeans());
  DisplayDV("Variances", GetVariances());
  DisplayDV("Std. Deviations", GetStdDevs());
  DisplayDV("Std. Error of Mean", GetStdErrors());
  DisplayText(1, "End of display BSN2SampleIndBasicStats");
}

}  // namespace KQBSN_850
