#pragma once
// The one-sample t test of a normal mean against a test value mu0, and the three Bayes factors BF01
// (mu = mu0 over the alternative) that the one-sample and paired normal analyses report, as free
// functions of the summary statistics: n (the weighted count), the t statistic or the mean's distance
// from mu0, and the prior's g; and the rule, read from the settings, that gives each test variable its
// factor.
//
// Each answers the missing value when an input is missing or outside its range; nothing warns except
// the JZS quadrature, whose warnings go to the caller's list.
// Accuracy: tests/onesample/BSN1SampleNormBayesFactor_test.cpp compares the t test with R's t.test,
// the JZS factor with BayesFactor::ttest.tstat, and the other two with their closed forms worked in R.

#include <cstddef>

#include "companion/KQWarnings.h"
#include "frame/BSNSettings.h"

namespace KQBSN_850 {

struct OneSampleTResult {
  double t;             ///< (mean - mu0) / stdError
  double significance;  ///< two-sided p-value, 2 P(T_{n-1} > |t|)
};

/// The t statistic and its two-sided significance; both missing unless mean, mu0 and stdError are not
/// missing, n >= 2 and stdError != 0.
OneSampleTResult OneSampleTTest(double mean, double testValue, double stdError, double n);

/// The factor at one fixed g, nu = n - 1 > 0, g > 0:
/// sqrt(1 + n g) (1 + t^2 / ((1 + n g) nu))^((nu + 1)/2) / (1 + t^2/nu)^((nu + 1)/2).
double FixedGBf01(double n, double t, double g);
/// ln of FixedGBf01, finite where the factor itself would underflow or overflow.
double FixedGLogBf01(double n, double t, double g);

/// The factor for a known data variance sigma^2 >= 0 with mu ~ N(mu0, g sigma^2) under the
/// alternative, n > 0, g > 0, meanShift = xbar - mu0:
/// sqrt(1 + n g) exp(-(n meanShift^2 / (2 sigma^2)) / (1 + 1/(n g))).
double KnownVarianceBf01(double n, double meanShift, double variance, double g);
/// ln of KnownVarianceBf01.
double KnownVarianceLogBf01(double n, double meanShift, double variance, double g);

/// Which of the three factors a test variable gets.
enum class NormalMeanFactorKind { None, Jzs, FixedG, KnownVariance };

/// The factor of test variable i of nVars: the known-variance factor when DataVarVals holds one entry
/// per variable and entry i is present; otherwise the one EstBFType names (JZS; Simple: fixed g), and
/// none for Fraction and Custom.
NormalMeanFactorKind ChooseNormalMeanFactor(const BSNSettings& settings, std::size_t i, std::size_t nVars);

/// True when the settings hold what the factor needs for nVars variables: AlterGValues of at least
/// nVars entries for fixed g; AlterGValues of nVars entries and NullValues empty or of nVars entries for
/// the known variance.
bool HasNormalMeanFactorParameters(const BSNSettings& settings, NormalMeanFactorKind kind, std::size_t nVars);

/// ln BF01 of test variable i by the chosen factor, from its weighted count n, its t and its mean's
/// distance from mu0 (which only the known-variance factor reads): finite where the factor is beyond
/// the double range (minus infinity where a Monte Carlo estimate is 0). The settings must have passed
/// HasNormalMeanFactorParameters; missing for NormalMeanFactorKind::None and where inputs are missing.
/// The JZS factor (Cauchy prior of scale 1, N = n, nu = n - 1) is JzsLogBf01FromSettings over all g.
double NormalMeanLogBf01(NormalMeanFactorKind kind, std::size_t i, double n, double t, double meanShift,
                         const BSNSettings& settings, KQCommon_850::KQWarnings& warnings);

}  // namespace KQBSN_850
