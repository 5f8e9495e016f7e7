#pragma once
// BSNSettings: the one description of an analysis that a host fills before it builds a
// BSNComponent. Every analysis keeps its own copy, so the host may change or destroy its settings
// afterwards. Setters that check their value return false and keep the old one when they refuse it.
// Variable indices are positions in the KQVarList; pointers (listener, cancel query, thread
// factories) belong to the host and are never deleted here.

#include <ostream>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/KQMV.h"
#include "companion/KQStatus.h"
#include "companion/KQThread.h"
#include "companion/KQWarnings.h"
#include "companion/Progress.h"
#include "frame/BSNConst.h"
#include "frame/BayesFTest.h"

namespace KQBSN_850 {

class BSNSettings {
 public:
  using IntList = std::vector<int>;
  using DoubleList = std::vector<double>;

  BSNSettings() = default;

  // Model and variables.
  /// Stores the model type; with applyDefaults, also resets the fields that depend on it.
  void SetModelType(BSNConst::ModelTypes type, bool applyDefaults);
  BSNConst::ModelTypes GetModelType() const noexcept { return modelType_; }
  /// A negative number is stored as 0.
  void SetNCases(int nCases) noexcept { nCases_ = nCases < 0 ? 0 : nCases; }
  bool SetDependVar(int var) noexcept { return SetIndex(dependVar_, var); }
  int GetDependentVar() const noexcept { return dependVar_; }
  bool SetFrequencyWeightVar(int var) noexcept { return SetIndex(freqWeightVar_, var); }
  int GetFrequencyWeightVar() const noexcept { return freqWeightVar_; }
  bool SetRegrWeightVar(int var) noexcept { return SetIndex(regrWeightVar_, var); }
  int GetRegrWeightVar() const noexcept { return regrWeightVar_; }
  bool SetGroupVar(int var) noexcept { return SetIndex(groupVar_, var); }
  int GetGroupVar() const noexcept { return groupVar_; }
  bool SetFactors(const IntList& factors) { return Store(factors_, factors); }
  const IntList& GetFactors() const noexcept { return factors_; }
  /// Stored only when there is one size, at least 1, per factor.
  bool SetFactorNCategs(const IntList& sizes) { return SetSizes(factorSizes_, sizes, factors_); }
  const IntList& GetFactorSizes() const noexcept { return factorSizes_; }
  bool SetCovariates(const IntList& covariates) { return Store(covariates_, covariates); }
  const IntList& GetCovariates() const noexcept { return covariates_; }
  bool SetFullModFactors(const IntList& factors) { return Store(fullModFactors_, factors); }
  const IntList& GetFullModFactors() const noexcept { return fullModFactors_; }
  bool SetFullModFactorNCategs(const IntList& sizes) {
    return SetSizes(fullModFactorSizes_, sizes, fullModFactors_);
  }
  const IntList& GetFullModFactorSizes() const noexcept { return fullModFactorSizes_; }
  bool SetFullModCovariates(const IntList& covariates) { return Store(fullModCovariates_, covariates); }
  const IntList& GetFullModCovariates() const noexcept { return fullModCovariates_; }
  /// Stored only when it is as long as the covariates list (its pairs are covariate i, entry i).
  bool Set2ndRelatedList(const IntList& vars);
  const IntList& Get2ndRelatedList() const noexcept { return secondRelated_; }
  void SetMissScope(BSNConst::MissScope scope) noexcept { missScope_ = scope; }
  BSNConst::MissScope GetMissScope() const noexcept { return missScope_; }

  // Analysis choices and numerical controls.
  void SetAnalysType(BSNConst::AnalysTypes type) noexcept { analysType_ = type; }
  BSNConst::AnalysTypes GetAnalysType() const noexcept { return analysType_; }
  void SetTestDistType(BSNConst::DistTypes type) noexcept { testDistType_ = type; }
  BSNConst::DistTypes GetTestDistType() const noexcept { return testDistType_; }
  void SetMethodType(BSNConst::MethodTypes type) noexcept { methodType_ = type; }
  BSNConst::MethodTypes GetMethodType() const noexcept { return methodType_; }
  void SetEstBFType(BSNConst::EstBFTypes type) noexcept { estBFType_ = type; }
  BSNConst::EstBFTypes GetEstBFType() const noexcept { return estBFType_; }
  /// Credible-interval level in percent.
  void SetCILevel(double level) noexcept { ciLevel_ = level; }
  double GetCILevel() const noexcept { return ciLevel_; }
  void SetMaxIterations(int n) noexcept { maxIterations_ = n; }
  int GetMaxIterations() const noexcept { return maxIterations_; }
  void SetTolValue(double tol) noexcept { tolValue_ = tol; }
  double GetTolValue() const noexcept { return tolValue_; }
  void SetRandomSeed(unsigned long seed) noexcept { randomSeed_ = seed; }
  unsigned long GetRandomSeed() const noexcept { return randomSeed_; }
  void SetMCSamples(int n) noexcept { mcSamples_ = n; }
  int GetMCSamples() const noexcept { return mcSamples_; }
  void SetPosteriorSamples(long n) noexcept { posteriorSamples_ = n; }
  long GetPosteriorSamples() const noexcept { return posteriorSamples_; }
  void SetCorrTest(BSNConst::CorrTests test) noexcept { corrTest_ = test; }
  BSNConst::CorrTests GetCorrTest() const noexcept { return corrTest_; }
  void SetCorrCValue(double c) noexcept { corrCValue_ = c; }
  double GetCorrCValue() const noexcept { return corrCValue_; }
  /// Stores the method; Hyper and Rouder also fill a missing parameter with their default (3 and 1).
  void SetRegrCompType(BSNConst::RegrCompute type) noexcept;
  BSNConst::RegrCompute GetRegrCompType() const noexcept { return regrCompType_; }
  void SetRegrComPar(double value) noexcept { regrComPar_ = value; }
  double GetRegrComPar() const noexcept { return regrComPar_; }
  /// Stored only when greater than 0.
  bool SetSecondGonenPar(double value) noexcept;
  double GetSecondGonenPar() const noexcept { return secondGonenPar_; }
  void SetRegrPrecision(double value) noexcept { regrPrecision_ = value; }
  double GetRegrPrecision() const noexcept { return regrPrecision_; }
  void SetCompareType(BSNConst::CompareTypes type) noexcept { compareType_ = type; }
  BSNConst::CompareTypes GetCompareType() const noexcept { return compareType_; }
  void SetFTests(const std::vector<BayesFTest>& tests) { fTests_ = tests; }
  const std::vector<BayesFTest>& GetFTests() const noexcept { return fTests_; }
  void SetComputeVarianceInScoring(bool flag) noexcept { computeVarianceInScoring_ = flag; }
  bool IsComputeVarianceInScoring() const noexcept { return computeVarianceInScoring_; }

  // Test values and priors.
  void SetDataVarVals(const DoubleList& values) { dataVarVals_ = values; }
  const DoubleList& GetDataVarVals() const noexcept { return dataVarVals_; }
  void SetEqualDataVar(bool equal) noexcept { equalDataVar_ = equal; }
  bool GetEqualDataVar() const noexcept { return equalDataVar_; }
  void SetNullValue(double value) noexcept { nullValue_ = value; }
  double GetNullValue() const noexcept { return nullValue_; }
  void SetNullValues(const DoubleList& values) { nullValues_ = values; }
  const DoubleList& GetNullValues() const noexcept { return nullValues_; }
  void SetNullPrior1s(const DoubleList& values) { nullPrior1s_ = values; }
  const DoubleList& GetNullPrior1s() const noexcept { return nullPrior1s_; }
  void SetNullPrior2s(const DoubleList& values) { nullPrior2s_ = values; }
  const DoubleList& GetNullPrior2s() const noexcept { return nullPrior2s_; }
  void SetAlterGValues(const DoubleList& values) { alterGValues_ = values; }
  const DoubleList& GetAlterGValues() const noexcept { return alterGValues_; }
  void SetAlterPrior1s(const DoubleList& values) { alterPrior1s_ = values; }
  const DoubleList& GetAlterPrior1s() const noexcept { return alterPrior1s_; }
  void SetAlterPrior2s(const DoubleList& values) { alterPrior2s_ = values; }
  const DoubleList& GetAlterPrior2s() const noexcept { return alterPrior2s_; }
  void SetPriorType(BSNConst::PriorTypes type) noexcept { priorType_ = type; }
  BSNConst::PriorTypes GetPriorType() const noexcept { return priorType_; }
  void SetPriorParam1(double value) noexcept { priorParam1_ = value; }
  double GetPriorParam1() const noexcept { return priorParam1_; }
  void SetPriorParam2(double value) noexcept { priorParam2_ = value; }
  double GetPriorParam2() const noexcept { return priorParam2_; }
  void SetPriorDistType(BSNConst::DistTypes type) noexcept { priorDistType_ = type; }
  BSNConst::DistTypes GetPriorDistType() const noexcept { return priorDistType_; }
  void SetPriorDistParam1(double value) noexcept { priorDistParam1_ = value; }
  double GetPriorDistParam1() const noexcept { return priorDistParam1_; }
  void SetPriorDistParam2(double value) noexcept { priorDistParam2_ = value; }
  double GetPriorDistParam2() const noexcept { return priorDistParam2_; }
  void SetMeanDistType(BSNConst::DistTypes type) noexcept { meanDistType_ = type; }
  BSNConst::DistTypes GetMeanDistType() const noexcept { return meanDistType_; }
  void SetMeanDistParam1(double value) noexcept { meanDistParams_[0] = value; }
  void SetMeanDistParam2(double value) noexcept { meanDistParams_[1] = value; }
  void SetMeanDistParam3(double value) noexcept { meanDistParams_[2] = value; }
  void SetMeanDistParam4(double value) noexcept { meanDistParams_[3] = value; }
  double GetMeanDistParam1() const noexcept { return meanDistParams_[0]; }
  double GetMeanDistParam2() const noexcept { return meanDistParams_[1]; }
  double GetMeanDistParam3() const noexcept { return meanDistParams_[2]; }
  double GetMeanDistParam4() const noexcept { return meanDistParams_[3]; }
  void SetKappaValue(double value) noexcept { kappaValue_ = value; }
  double GetKappaValue() const noexcept { return kappaValue_; }
  void SetPriorShape(double value) noexcept { priorShape_ = value; }
  double GetPriorShape() const noexcept { return priorShape_; }
  void SetPriorScale(double value) noexcept { priorScale_ = value; }
  double GetPriorScale() const noexcept { return priorScale_; }
  void SetPriorMeans(const DoubleList& values) { priorMeans_ = values; }
  const DoubleList& GetPriorMeans() const noexcept { return priorMeans_; }
  void SetPriorCovMatrix(const DoubleList& values) { priorCovMatrix_ = values; }
  const DoubleList& GetPriorCovMatrix() const noexcept { return priorCovMatrix_; }
  void SetRegressors(const DoubleList& values) { regressors_ = values; }
  const DoubleList& GetRegressors() const noexcept { return regressors_; }

  // Log-linear analysis.
  void SetLogLinPriorType(BSNConst::LogLinPriorType type) noexcept { logLinPriorType_ = type; }
  BSNConst::LogLinPriorType GetLogLinPriorType() const noexcept { return logLinPriorType_; }
  void SetLogLinModel(BSNConst::DistTypes model) noexcept { logLinModel_ = model; }
  BSNConst::DistTypes GetLogLinModel() const noexcept { return logLinModel_; }
  void SetFixType(BSNConst::FixType type) noexcept { fixType_ = type; }
  BSNConst::FixType GetFixType() const noexcept { return fixType_; }
  void SetLogLinShapes(const DoubleList& values) { logLinShapes_ = values; }
  const DoubleList& GetLogLinShapes() const noexcept { return logLinShapes_; }
  void SetLambdas(const DoubleList& values) { lambdas_ = values; }
  const DoubleList& GetLambdas() const noexcept { return lambdas_; }
  void SetLogLinIntrinsicT(int t) noexcept { logLinIntrinsicT_ = t; }
  int GetLogLinIntrinsicT() const noexcept { return logLinIntrinsicT_; }

  // Plots.
  void SetNPlotPoints(int n) noexcept { nPlotPoints_ = n; }
  int GetNPlotPoints() const noexcept { return nPlotPoints_; }
  void SetPlotDomainLevel(double level) noexcept { plotDomainLevel_ = level; }
  double GetPlotDomainLevel() const noexcept { return plotDomainLevel_; }
  void SetPlotFactors(const IntList& vars) { plotFactors_ = vars; }
  const IntList& GetPlotFactors() const noexcept { return plotFactors_; }
  void SetPlotCovars(const IntList& vars) { plotCovars_ = vars; }
  const IntList& GetPlotCovars() const noexcept { return plotCovars_; }
  void SetPlotFactorCats(const IntList& categories) { plotFactorCats_ = categories; }
  const IntList& GetPlotFactorCats() const noexcept { return plotFactorCats_; }
  void SetMaxNPlotCategories(int n) noexcept { maxNPlotCategories_ = n; }
  int GetMaxNPlotCategories() const noexcept { return maxNPlotCategories_; }
  void SetMaxNPlots(int n) noexcept { maxNPlots_ = n; }
  int GetMaxNPlots() const noexcept { return maxNPlots_; }

  // Run-time services.
  void SetProgressListener(KQCommon_850::ProgressListener* listener) noexcept {
    progressListener_ = listener;
  }
  KQCommon_850::ProgressListener* GetProgressListener() const noexcept { return progressListener_; }
  /// Stored only when greater than 0.
  bool SetProgressFrequency(int nRecords) noexcept;
  int GetProgressFrequency() const noexcept { return progressFrequency_; }
  void SetCancelPointer(KQCommon_850::KQQueryCancel* query) noexcept { cancelPointer_ = query; }
  KQCommon_850::KQQueryCancel* GetCancelPointer() const noexcept { return cancelPointer_; }
  void SetMaxThreadNum(int n) noexcept { maxThreadNum_ = n; }
  int GetMaxThreadNum() const noexcept { return maxThreadNum_; }
  void SetNPairsPerTask(int n) noexcept { nPairsPerTask_ = n; }
  int GetNPairsPerTask() const noexcept { return nPairsPerTask_; }
  void SetMemCacheKB(int kilobytes) noexcept { memCacheKB_ = kilobytes; }
  int GetMemCacheKB() const noexcept { return memCacheKB_; }
  void SetThreadFactory(KQThread_850::IKQThreadFactory* factory) noexcept { threadFactory_ = factory; }
  KQThread_850::IKQThreadFactory* GetThreadFactory() const noexcept { return threadFactory_; }
  void SetThreadIterFactory(KQThread_850::KQThreadIterFactory* factory) noexcept {
    threadIterFactory_ = factory;
  }
  KQThread_850::KQThreadIterFactory* GetThreadIterFactory() const noexcept { return threadIterFactory_; }
  /// The warnings that IsValidSettings adds.
  KQCommon_850::KQWarnings& GetWarningMessages() noexcept { return warnings_; }
  const KQCommon_850::KQWarnings& GetWarningMessages() const noexcept { return warnings_; }

  /// Judges whether the settings describe an analysis that can run; see BSNSettingsValidation.cpp.
  KQCommon_850::KQStatus IsValidSettings();
  void Display(std::ostream& os) const;

 private:
  static bool SetIndex(int& field, int var) noexcept;
  static bool Store(IntList& field, const IntList& value);
  static bool SetSizes(IntList& field, const IntList& sizes, const IntList& vars);

  BSNConst::ModelTypes modelType_ = BSNConst::ModelTypes::OneSample;
  int nCases_ = 0;
  int dependVar_ = -1;
  int freqWeightVar_ = -1;
  int regrWeightVar_ = -1;
  int groupVar_ = -1;
  IntList factors_, factorSizes_, covariates_;
  IntList fullModFactors_, fullModFactorSizes_, fullModCovariates_;
  IntList secondRelated_;
  BSNConst::MissScope missScope_ = BSNConst::MissScope::MissingAnalysis;

  BSNConst::AnalysTypes analysType_ = BSNConst::AnalysTypes::Posterior;
  BSNConst::DistTypes testDistType_ = BSNConst::DistTypes::Normal;
  BSNConst::MethodTypes methodType_ = BSNConst::MethodTypes::AQL;
  BSNConst::EstBFTypes estBFType_ = BSNConst::EstBFTypes::JZS;
  double ciLevel_ = 95.0;
  int maxIterations_ = 2000;
  double tolValue_ = 0.000001;
  unsigned long randomSeed_ = 2000000;
  int mcSamples_ = 10000;
  long posteriorSamples_ = 10000;
  BSNConst::CorrTests corrTest_ = BSNConst::CorrTests::Pearson;
  double corrCValue_ = 0.0;
  BSNConst::RegrCompute regrCompType_ = BSNConst::RegrCompute::Siow;
  double regrComPar_ = KQCommon_850::KQMV::Missing();
  double secondGonenPar_ = KQCommon_850::KQMV::Missing();
  double regrPrecision_ = 0.000001;
  BSNConst::CompareTypes compareType_ = BSNConst::CompareTypes::Null;
  std::vector<BayesFTest> fTests_;
  bool computeVarianceInScoring_ = false;

  DoubleList dataVarVals_;
  bool equalDataVar_ = false;
  double nullValue_ = 0.0;
  DoubleList nullValues_, nullPrior1s_, nullPrior2s_, alterGValues_, alterPrior1s_, alterPrior2s_;
  BSNConst::PriorTypes priorType_ = BSNConst::PriorTypes::Conjugate;
  double priorParam1_ = KQCommon_850::KQMV::Missing();
  double priorParam2_ = KQCommon_850::KQMV::Missing();
  BSNConst::DistTypes priorDistType_ = BSNConst::DistTypes::Diffuse;
  double priorDistParam1_ = KQCommon_850::KQMV::Missing();
  double priorDistParam2_ = KQCommon_850::KQMV::Missing();
  BSNConst::DistTypes meanDistType_ = BSNConst::DistTypes::Diffuse;
  double meanDistParams_[4] = {KQCommon_850::KQMV::Missing(), KQCommon_850::KQMV::Missing(),
                               KQCommon_850::KQMV::Missing(), KQCommon_850::KQMV::Missing()};
  double kappaValue_ = 1.0;
  double priorShape_ = KQCommon_850::KQMV::Missing();
  double priorScale_ = KQCommon_850::KQMV::Missing();
  DoubleList priorMeans_, priorCovMatrix_, regressors_;

  BSNConst::LogLinPriorType logLinPriorType_ = BSNConst::LogLinPriorType::Conjugate;
  BSNConst::DistTypes logLinModel_ = BSNConst::DistTypes::Multinomial;
  BSNConst::FixType fixType_ = BSNConst::FixType::FixedTotal;
  DoubleList logLinShapes_, lambdas_;
  int logLinIntrinsicT_ = -1;

  int nPlotPoints_ = 100;
  double plotDomainLevel_ = 0.005;
  IntList plotFactors_, plotCovars_, plotFactorCats_;
  int maxNPlotCategories_ = 2;
  int maxNPlots_ = 10;

  KQCommon_850::ProgressListener* progressListener_ = nullptr;
  int progressFrequency_ = 50;
  KQCommon_850::KQQueryCancel* cancelPointer_ = nullptr;
  int maxThreadNum_ = 1;
  int nPairsPerTask_ = 50;
  int memCacheKB_ = 1048576;
  KQThread_850::IKQThreadFactory* threadFactory_ = nullptr;
  KQThread_850::KQThreadIterFactory* threadIterFactory_ = nullptr;
  KQCommon_850::KQWarnings warnings_;
};

}  // namespace KQBSN_850
