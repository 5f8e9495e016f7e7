#pragma once
// BSNLogLinearOutputStats: the result record of the log-linear analysis. It refers to the analysis
// (its settings and contingency table) instead of copying them, so it is valid only while the
// BSNLogLinear that made it lives; the results themselves are copied.
//   the table with its margins and expected counts (GetContingencyMatrix);
//   the Pearson, likelihood-ratio and (2 x 2 only) continuity-corrected chi-square tests, Fisher's
//   exact significances (2 x 2 only, else missing);
//   BF01 of independence against the saturated model, or its natural log when IsLogBayesFactor;
//   missing when none was computed;
//   one posterior summary per pair of categories (the median of the draws in the mode field);
//   the intrinsic prior's training sizes T, T1, T2 (-1 when not used).

#include <memory>
#include <ostream>
#include <vector>

#include "companion/KQRegrTables.h"
#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"
#include "frame/BayesEstimation.h"
#include "loglinear/BSNContingency.h"

namespace KQBSN_850 {

class BSNLogLinear;
class BSNLogLinearOutputStatsImp;

class BSNLogLinearOutputStats final : public BSNOutputStats {
 public:
  BSNLogLinearOutputStats(const BSNSettings& settings, const BSNLogLinear& analysis);
  BSNLogLinearOutputStats(const BSNLogLinearOutputStats& other);
  BSNLogLinearOutputStats& operator=(const BSNLogLinearOutputStats& other);
  ~BSNLogLinearOutputStats() override;

  BSNConst::ModelTypes GetModelType() const override;
  BSNConst::OutputTypes GetOutputType() const override { return BSNConst::OutputTypes::OutputLogLinear; }
  void Display(std::ostream& os) const override;

  const BSNSettings& GetSettings() const noexcept;
  const BSNContingency& GetContingencyMatrix() const noexcept;
  double GetBayesFactor() const noexcept;
  bool IsLogBayesFactor() const noexcept;
  const KQMath_850::KQTestStats& GetChiSquareResult() const noexcept;
  const KQMath_850::KQTestStats& GetLikeRatioResult() const noexcept;
  const KQMath_850::KQTestStats& GetContCorrectResult() const noexcept;
  double GetFisher2SidedSig() const noexcept;
  double GetFisher1SidedSig() const noexcept;
  /// Pairs (a, b) of non-empty rows and columns other than the last, rows outer.
  const std::vector<BayesEstimation>& GetPosteriorEstimations() const noexcept;
  int GetT() const noexcept;
  int GetT1() const noexcept;
  int GetT2() const noexcept;

 private:
  std::unique_ptr<BSNLogLinearOutputStatsImp> imp_;
};

}  // namespace KQBSN_850
