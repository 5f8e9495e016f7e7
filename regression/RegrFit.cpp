#include "regression/detail/RegrFit.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"

namespace KQBSN_850::detail {

namespace {

// Pivots swept as one block: the block's panel (rows x 64 doubles) stays in the cache while the
// redundancy tests run.
constexpr int kSweepBlock = 64;

}  // namespace

RegrFit::RegrFit(KQMath_850::KQFastDesignMatrix design)
    : design_(std::move(design)),
      sparse_(design_.GetNParameters() > 2 * design_.GetNEffects()),
      working_(design_.GetNParameters() + 1, true) {
  if (!sparse_) blocks_ = std::make_unique<KQMath_850::KQCrossProducts>(working_);
}

RegrFit::RegrFit(KQMath_850::KQFastDesignMatrix design, DiagonalSolution solution)
    : design_(std::move(design)),
      xwy_(std::move(solution.xwy)),
      ywy_(solution.ywy),
      n_(solution.n),
      w_(solution.w),
      sumWY_(solution.sumWY),
      residualSum_(solution.residualSum),
      b_(std::move(solution.coefficients)),
      nonRedundant_(std::move(solution.nonRedundant)) {
  const int p = design_.GetNParameters();
  xwx_.Resize(p);
  xwxInverse_.Resize(p);
  for (int i = 0; i < p; ++i) {
    const double d = solution.diagonal[static_cast<std::size_t>(i)];
    xwx_(i, i) = d;
    if (nonRedundant_.IsIn(i)) xwxInverse_(i, i) = 1.0 / d;
  }
}

void RegrFit::Accumulate(const std::vector<double>& values, double f, double w) {
  n_ += f;
  w_ += w;
  if (sparse_) {
    const int nEntries = design_.ExpandRowXY(values, indices_, row_);
    sumWY_ += w * row_[static_cast<std::size_t>(nEntries - 1)];
    working_.UpdateXXSparse(nEntries, indices_, row_, w);
  } else {
    design_.ExpandRowXY(values, row_);
    sumWY_ += w * row_.back();
    blocks_->Add(row_, w);
  }
}

bool RegrFit::Solve(KQCommon_850::KQCancelInfo& cancel, bool keepCrossProducts) {
  if (blocks_) blocks_->Flush();
  const int p = design_.GetNParameters();
  // X'Wy and y'Wy are the last row of the cross-product matrix, read before the sweep changes it.
  xwy_.assign(static_cast<std::size_t>(p), 0.0);
  for (int i = 0; i < p; ++i) xwy_[static_cast<std::size_t>(i)] = working_(p, i);
  ywy_ = working_(p, p);
  if (keepCrossProducts) {
    xwx_.Resize(p);
    working_.ExtractFirstNRows(xwx_);
  }
  std::vector<double> reference;
  working_.GetDiagonal(reference);
  nonRedundant_.Resize(p, false);
  // Pivots in blocks: a large matrix is then read and written once per block, not once per pivot.
  for (int k = 0; k < p; k += kSweepBlock) {
    if (cancel.IsCancel()) return false;
    working_.SweepBlock(k, std::min(kSweepBlock, p - k), kRegrSweepTolerance, reference, nonRedundant_);
  }
  working_.GetRegCoeffs(b_, nonRedundant_);
  // The swept block holds minus the inverse over the swept parameters and residual cross-products of
  // the others, which are no part of the inverse.
  xwxInverse_.Resize(p);
  working_.ExtractFirstNRows(xwxInverse_);
  xwxInverse_.Negate();
  if (nonRedundant_.InSet() < p) xwxInverse_.ZeroOutRedundant(nonRedundant_);
  return true;
}

double RegrFit::ResidualSum() const noexcept {
  if (residualSum_) return *residualSum_;
  double explained = 0.0;
  for (std::size_t i = 0; i < xwy_.size(); ++i) explained += b_[i] * xwy_[i];
  return ywy_ - explained;
}

double RegrFit::FittedValue(const std::vector<double>& values) const {
  return design_.LinearPredictor(values, b_);
}

void RegrFit::Display(double s2) const {
  using namespace KQDisplay_850;
  DisplayDV("Beta estimates", b_);
  DisplayDV("Matrix X'X:", xwx_.AsVector());
  DisplayDV("Matrix X'X inverse:", xwxInverse_.AsVector());
  DisplayD("Sigma squared", s2);
  DisplayD("TotalW", n_);
  DisplayD("TotalWR", w_);
}

}  // namespace KQBSN_850::detail
