#include "correlation/detail/CorrPairStats.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "frame/RecordValues.h"

namespace KQBSN_850::detail {

using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using KQMath_850::KQMeansXProdData;

namespace {

/// Position of pair (a, b), a < b, among the pairs of k variables in row order.
std::size_t PairIndex(std::size_t a, std::size_t b, std::size_t k) noexcept {
  return a * k - a * (a + 1) / 2 + (b - a - 1);
}

/// N and the scaled sums of one pair: Sxx = sxx 2^(2 ex), Syy = syy 2^(2 ey), Sxy = sxy 2^(ex + ey).
struct PairMoments {
  double n, sxx, syy, sxy;
  int ex, ey;
};

PairMoments MomentsOf(const KQMeansXProdData& data, int a, int b) {
  const auto& xProds = data.GetScaledXProds();
  const auto& exponents = data.GetScaleExponents();
  return {data.GetNCases(),
          xProds(a, a),
          xProds(b, b),
          xProds(a, b),
          exponents[static_cast<std::size_t>(a)],
          exponents[static_cast<std::size_t>(b)]};
}

}  // namespace

CorrPairStats::CorrPairStats(std::vector<int> vars, bool pairwise)
    : vars_(std::move(vars)),
      pairwise_(pairwise),
      complete_(static_cast<int>(vars_.size()), true),
      varN_(vars_.size(), 0.0),
      values_(vars_.size(), 0.0) {
  const int k = static_cast<int>(vars_.size());
  for (int i = 0; i + 1 < k; ++i)
    for (int j = i + 1; j < k; ++j) positions_.emplace_back(i, j);
  if (pairwise_) partial_.resize(positions_.size());
  present_.reserve(vars_.size());
}

KQStatus CorrPairStats::Accumulate(RecordPass& pass, KQCommon_850::MultiPassRecordIter& iter) {
  return pass.Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
    AddRecord(values, weight.frequency);
  });
}

void CorrPairStats::AddRecord(const std::vector<double>& values, double weight) {
  const std::size_t k = vars_.size();
  present_.clear();
  for (std::size_t i = 0; i < k; ++i) {
    values_[i] = ValueAt(values, vars_[i]);
    if (KQMV::IsMissingOrNaN(values_[i])) continue;
    varN_[i] += weight;
    present_.push_back(static_cast<int>(i));
  }
  if (present_.size() == k) {
    complete_.AddCase(values_, weight);
    return;
  }
  if (!pairwise_) return;
  for (std::size_t u = 0; u < present_.size(); ++u)
    for (std::size_t v = u + 1; v < present_.size(); ++v) {
      const auto a = static_cast<std::size_t>(present_[u]), b = static_cast<std::size_t>(present_[v]);
      std::unique_ptr<KQMeansXProdData>& partial = partial_[PairIndex(a, b, k)];
      if (partial == nullptr) partial = std::make_unique<KQMeansXProdData>(2, true);
      partial->AddCase({values_[a], values_[b]}, weight);
    }
}

KQStatus CorrPairStats::ComputePairs(KQCommon_850::KQCancelInfo& cancel, KQCommon_850::KQWarnings& warnings,
                                     CorrPairResults& results) const {
  results.pairs.clear();
  results.n.clear();
  results.r.clear();
  results.logSxxSyy.clear();
  results.varN = varN_;
  bool fewCases = false, constant = false, perfect = false;
  for (std::size_t p = 0; p < positions_.size(); ++p) {
    if (cancel.IsCancel()) return KQStatus(BSN_STATUS_CANCELLED, false);
    const auto [a, b] = positions_[p];
    PairMoments m{};
    if (pairwise_ && partial_[p] != nullptr) {
      const std::array<int, 2> both{a, b};
      KQMeansXProdData merged = complete_.Select(both);
      merged.Merge(*partial_[p]);
      m = MomentsOf(merged, 0, 1);
    } else {
      m = MomentsOf(complete_, a, b);
    }
    results.pairs.emplace_back(vars_[static_cast<std::size_t>(a)], vars_[static_cast<std::size_t>(b)]);
    results.n.push_back(m.n);
    const bool few = m.n < 2.0, isConstant = m.sxx == 0.0 || m.syy == 0.0;
    fewCases = fewCases || few;
    constant = constant || isConstant;
    if (few || isConstant) {
      results.r.push_back(KQMV::Missing());
      results.logSxxSyy.push_back(KQMV::Missing());
      continue;
    }
    // The scales cancel in r; rounding may leave |r| a hair above 1, which no correlation can be.
    const double r = std::clamp(m.sxy / (std::sqrt(m.sxx) * std::sqrt(m.syy)), -1.0, 1.0);
    results.r.push_back(r);
    results.logSxxSyy.push_back(std::log(m.sxx) + std::log(m.syy) + 2.0 * (m.ex + m.ey) * std::numbers::ln2);
    perfect = perfect || std::fabs(r) == 1.0;
  }
  if (fewCases) warnings.AddWarning(KQStatus(BSN_FEW_VALID_CASES_CORR, true), 0);
  if (constant) warnings.AddWarning(KQStatus(BSN_CONSTANT_CORR_PAIRS, true), 0);
  if (perfect) warnings.AddWarning(KQStatus(BSN_PERFECT_CORR_PAIRS, true), 0);
  return KQStatus();
}

}  // namespace KQBSN_850::detail
