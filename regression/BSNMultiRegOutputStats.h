#pragma once
// BSNMultiRegOutputStats: the result record of a multiple regression or a one-way ANOVA: the ANOVA
// table, R squared, adjusted R squared (and R squared of the full model), the standard error of the fit, the
// Bayes factor of the fit over its comparison model (or its logarithm: IsLogBayesFactor), the overall F with
// its degrees of freedom and significance (the posterior's; SetFStats replaces them), the design parameters
// with the least-squares coefficients and the non-redundant set, and, when a posterior was computed, the
// posterior summaries of the coefficients (one per parameter, in design order), of the error variance and
// of the prediction, the F tests and the plot curves. Missing values mark what could not be computed.
// The record reads the analysis' warnings through its pointer: it must not outlive the analysis.

#include <memory>
#include <ostream>
#include <vector>

#include "companion/KQApplicInfo4XML.h"
#include "companion/KQBitSet.h"
#include "companion/KQRegrTables.h"
#include "companion/KQStatus.h"
#include "companion/KQVarList.h"
#include "companion/Record.h"
#include "frame/BSNOutputStats.h"
#include "frame/BSNSettings.h"
#include "frame/BayesEstimation.h"

namespace KQBSN_850 {

class BSNAnova;
class BSNMultipleRegr;
struct BSNMultiRegOutputData;

class BSNMultiRegOutputStats final : public BSNOutputStats {
 public:
  using DoubleList = std::vector<double>;
  using DoubleLists = std::vector<std::vector<double>>;

  BSNMultiRegOutputStats(const BSNSettings& settings, const BSNMultipleRegr& regression);
  /// The record of a one-way ANOVA: no R squared of a full model, no prediction, the F statistic and
  /// its significance left to SetFStats (the ANOVA table has the classical ones).
  BSNMultiRegOutputStats(const BSNSettings& settings, const BSNAnova& anova);
  BSNMultiRegOutputStats(const BSNMultiRegOutputStats&) = delete;
  BSNMultiRegOutputStats& operator=(const BSNMultiRegOutputStats&) = delete;
  ~BSNMultiRegOutputStats() override;

  BSNConst::ModelTypes GetModelType() const override;
  BSNConst::OutputTypes GetOutputType() const override;
  void Display(std::ostream& os) const override;

  /// Replaces the F statistic, its degrees of freedom and its significance.
  void SetFStats(double f, double df, double sig);
  /// True when the Bayes factor is present and stored as its natural logarithm.
  bool IsLogBayesFactor() const;

  /// Predicts the dependent value of a record: mode and mean; with the variance in scoring asked for
  /// and a posterior computed, also the predictive variance and credible limits. Fields not written
  /// keep the caller's values.
  KQCommon_850::KQStatus Score(const KQCommon_850::Record& record, BayesEstimation& out) const;
  /// Writes the fitted model as a PMML GeneralRegressionModel document; with withCovariance the
  /// parameters' (X'WX)^-1 goes along. Nothing is written when an error is found before the document.
  KQCommon_850::KQStatus ExportPMML(const KQCommon_850::KQVarList& vars, std::ostream& out,
                                    bool withCovariance, const KQXML_850::KQApplicInfo4XML* appInfo) const;

  const KQMath_850::KQRegANOVA& GetAnova() const noexcept;
  double GetBayesFactor() const noexcept;
  const std::vector<BayesEstimation>& GetVarCoeffBayesEstimations() const noexcept;
  const BayesEstimation& GetErrorBayesEstimation() const noexcept;
  const BayesEstimation& GetPredictedBayesEstimation() const noexcept;
  double GetRSquared() const noexcept;
  double GetRSquaredFull() const noexcept;
  double GetAdjRSquared() const noexcept;
  /// The residual mean square: GetStdError() squared.
  double GetSigmaSquared() const noexcept;
  double GetStdError() const noexcept;
  const std::vector<KQMath_850::KQRegrParameter>& GetRegrParameters() const noexcept;
  /// The non-redundant parameters.
  const KQMath_850::KQBitSet& GetRedundancy() const noexcept;
  /// The least-squares coefficients, one per parameter (0 for a redundant one).
  const DoubleList& GetLeastSquaresCoefficients() const noexcept;
  const std::vector<KQMath_850::KQTestStats>& GetFTestResults() const noexcept;
  const DoubleLists& GetParamsArgumentsPlots4Likelihoods() const noexcept;
  const DoubleLists& GetParamsArgumentsPlots4Prior() const noexcept;
  const DoubleLists& GetParamsArgumentsPlots4Posterior() const noexcept;
  const DoubleLists& GetLikelihoodParamPlots() const noexcept;
  const DoubleLists& GetPriorParamPlots() const noexcept;
  const DoubleLists& GetPosteriorParamPlots() const noexcept;
  const DoubleList& GetArgumentErrorVarPlot4Likelihoods() const noexcept;
  const DoubleList& GetArgumentErrorVarPlot4Prior() const noexcept;
  const DoubleList& GetArgumentErrorVarPlot4Posterior() const noexcept;
  const DoubleList& GetLikelihoodErrorVarPlot() const noexcept;
  const DoubleList& GetPriorErrorVarPlot() const noexcept;
  const DoubleList& GetPosteriorErrorVarPlot() const noexcept;
  const DoubleList& GetArgumentPredictedPlot4Likelihoods() const noexcept;
  const DoubleList& GetArgumentPredictedPlot4Prior() const noexcept;
  const DoubleList& GetArgumentPredictedPlot4Posterior() const noexcept;
  const DoubleList& GetLikelihoodPredictedPlot() const noexcept;
  const DoubleList& GetPriorPredictedPlot() const noexcept;
  const DoubleList& GetPosteriorPredictedPlot() const noexcept;
  double GetFStat() const noexcept;
  double GetDF() const noexcept;
  double GetSig() const noexcept;
  const BSNSettings& GetSettings() const noexcept;

 private:
  std::unique_ptr<BSNMultiRegOutputData> data_;
};

}  // namespace KQBSN_850
