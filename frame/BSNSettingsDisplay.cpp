// Diagnostic print of the settings, of an F test and of a posterior summary.

#include "companion/KQDisplay.h"
#include "frame/BSNComponentDisplay.h"
#include "frame/BSNSettings.h"
#include "frame/BayesEstimation.h"
#include "frame/BayesFTest.h"

namespace KQBSN_850 {

using KQCommon_850::KQMV;
using namespace KQDisplay_850;

namespace {

/// Prints an optional double: nothing while it holds the missing value.
void DisplayIfPresent(const std::string& label, double value) {
  if (!KQMV::IsMissing(value)) DisplayD(label, value);
}

}  // namespace

void BSNSettings::Display(std::ostream& os) const {
  StreamScope scope(os);
  using C = BSNComponentDisplay;
  DisplayText(1, "BSNSettings display start");
  C::DisplayC("Model Type", modelType_);
  DisplayI("Number of cases", nCases_);
  DisplayI("Max Iterations", maxIterations_);
  DisplayI("Dependent Variable", dependVar_);
  DisplayI("Frequency Weight", freqWeightVar_);
  DisplayI("Regression Weight", regrWeightVar_);
  DisplayIV("Factors", factors_);
  DisplayIV("Factor sizes", factorSizes_);
  DisplayIV("Covariates", covariates_);
  DisplayIV("Full Model Factors", fullModFactors_);
  DisplayIV("Full Model Factor sizes", fullModFactorSizes_);
  DisplayIV("Full Model Covariates", fullModCovariates_);
  DisplayIV("Second list for Related", secondRelated_);
  C::DisplayC("Missing Scope", missScope_);
  DisplayD("CI Level", ciLevel_);
  C::DisplayC("Method Type", methodType_);
  DisplayL("Random Seed", static_cast<long>(randomSeed_));
  DisplayD("Tolerance", tolValue_);
  DisplayI("Monte Carlo Samples", mcSamples_);
  C::DisplayC("Test Distribution Type", testDistType_);
  C::DisplayC("Analysis Type", analysType_);
  DisplayDV("Data Variance Values", dataVarVals_);
  C::DisplayC("Estimation BF Type", estBFType_);
  DisplayD("Null Value", nullValue_);
  DisplayDV("Null Values", nullValues_);
  DisplayDV("Alter G Values", alterGValues_);
  DisplayDV("Null Prior Parameter 1", nullPrior1s_);
  DisplayDV("Null Prior Parameter 2", nullPrior2s_);
  DisplayDV("Alter Prior Parameter 1", alterPrior1s_);
  DisplayDV("Alter Prior Parameter 2", alterPrior2s_);
  C::DisplayC("Prior Type", priorType_);
  DisplayIfPresent("Prior Parameter 1", priorParam1_);
  DisplayIfPresent("Prior Parameter 2", priorParam2_);
  C::DisplayC("Prior Distribution Type", priorDistType_);
  DisplayIfPresent("Prior Distribution Parameter 1", priorDistParam1_);
  DisplayIfPresent("Prior Distribution Parameter 2", priorDistParam2_);
  C::DisplayC("Mean Distribution Type", meanDistType_);
  for (int i = 0; i < 4; ++i)
    DisplayIfPresent("Mean Distribution Parameter " + std::to_string(i + 1), meanDistParams_[i]);
  DisplayIfPresent("Second Gonen Parameter", secondGonenPar_);
  DisplayD("Kappa Value", kappaValue_);
  DisplayIfPresent("Shape Value", priorShape_);
  DisplayIfPresent("Scale Value", priorScale_);
  DisplayDV("Mean Values", priorMeans_);
  DisplayDV("Covariance Matrix", priorCovMatrix_);
  DisplayDV("Regressor Values", regressors_);
  C::DisplayC("Correlation Test Type", corrTest_);
  C::DisplayC("Regression Computation Type", regrCompType_);
  DisplayD("Regression Computation Parameter", regrComPar_);
  DisplayD("Regression Precision", regrPrecision_);
  C::DisplayC("Compare Type", compareType_);
  DisplayI("N of plot points", nPlotPoints_);
  DisplayD("Level for plot domain", plotDomainLevel_);
  DisplayIV("Plot factors", plotFactors_);
  DisplayIV("Plot covariates", plotCovars_);
  DisplayIV("Plot factor categories", plotFactorCats_);
  DisplayB("Indicator of computing variance in scoring", computeVarianceInScoring_);
  for (const BayesFTest& test : fTests_) test.Display(os);
  DisplayDV("LogLinear Shape params", logLinShapes_);
  C::DisplayC("Prior type", logLinPriorType_);
  C::DisplayC("Model type", logLinModel_);
  C::DisplayC("Fix type", fixType_);
  DisplayI("T for intrinsic priors", logLinIntrinsicT_);
  DisplayI("Max number of threads", maxThreadNum_);
  DisplayI("Max memory cache limit", memCacheKB_);
  DisplayI("Progress Report Frequency", progressFrequency_);
  DisplayText(1, "End of display BSNSettings object");
}

void BayesFTest::Display(std::ostream& os) const {
  StreamScope scope(os);
  DisplayB("\nStart Display of BayesFTest. Use intercept", useIntercept_);
  if (!label_.empty()) DisplayS("Label", label_);
  DisplayIV("Predictors", predictors_);
  DisplayDV("Test values", testValues_);
}

void BayesEstimation::Display(std::ostream& os) const {
  StreamScope scope(os);
  DisplayD("Mode value", mode);
  DisplayD("Mean value for posterior", mean);
  DisplayD("Variance value", variance);
  DisplayD("Lower bound value", lower);
  DisplayD("Upper bound value", upper);
}

}  // namespace KQBSN_850
