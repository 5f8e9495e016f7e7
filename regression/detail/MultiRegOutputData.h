#pragma once
// BSNMultiRegOutputData: what the regression and ANOVA result record holds. The record's constructors
// fill it; its getters, scoring and model export read it.

#include <vector>

#include "companion/KQBitSet.h"
#include "companion/KQFastDesignMatrix.h"
#include "companion/KQMV.h"
#include "companion/KQRegrTables.h"
#include "companion/KQSymMatrix.h"
#include "frame/BSNAlgorithm.h"
#include "frame/BSNSettings.h"
#include "frame/BayesEstimation.h"
#include "regression/detail/BSNRegrPosterior.h"

namespace KQBSN_850 {

struct BSNMultiRegOutputData {
  const BSNSettings* settings;
  const BSNAlgorithm* algorithm;  ///< the analysis (regression or ANOVA); its warnings are read
  KQMath_850::KQRegANOVA anova;
  double bayesFactor = KQCommon_850::KQMV::Missing();
  double rSquared = KQCommon_850::KQMV::Missing(), adjRSquared = KQCommon_850::KQMV::Missing(),
         rSquaredFull = KQCommon_850::KQMV::Missing();
  double stdError = KQCommon_850::KQMV::Missing();
  double fStat = KQCommon_850::KQMV::Missing(), df = KQCommon_850::KQMV::Missing(),
         sig = KQCommon_850::KQMV::Missing();
  std::vector<KQMath_850::KQRegrParameter> parameters;
  KQMath_850::KQFastDesignMatrix design;
  KQMath_850::KQSymMatrix xwxInverse;
  std::vector<double> b;
  KQMath_850::KQBitSet nonRedundant;
  std::vector<double> scoringCoefficients;
  bool sparseScoring = false;
  double postMeanSigma2 = KQCommon_850::KQMV::Missing(), sigma2Scale = KQCommon_850::KQMV::Missing();
  KQMath_850::KQSymMatrix dispersion;
  double tQuantile = KQCommon_850::KQMV::Missing();
  std::vector<KQMath_850::KQTestStats> fTests;
  std::vector<BayesEstimation> coefficients;
  BayesEstimation errorVariance, predicted;
  RegrPlots plots;
  bool computeVarianceInScoring = false;
};

}  // namespace KQBSN_850
