// The log-linear analysis from records to record: classical tests against R's chisq.test and
// fisher.test, the Bayes factors of every prior against tests/reference/loglinear_reference.R
// (BayesFactor's contingencyTableBF, the intrinsic and nonparametric sums written in R, R's integrate
// of the Dirichlet mixtures), the posterior of the log odds ratios against digamma / trigamma, and the
// choices and fallbacks of the factor with their warnings.

#include <gtest/gtest.h>

#include <cmath>

#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "tests/loglinear/LogLinearRun.h"
#include "tests/support/ExpectNearRel.h"

namespace kqtest {
namespace {

using KQBSN_850::BSNSettings;
using KQBSN_850::BSNConst::AnalysTypes;
using KQBSN_850::BSNConst::DistTypes;
using KQBSN_850::BSNConst::FixType;
using KQBSN_850::BSNConst::LogLinPriorType;
using KQCommon_850::KQMV;

struct NamedTable {
  std::string name;
  Table table;
};

TEST(LogLinear, ChiSquareAndLikelihoodRatioMatchR) {
  // R: chisq.test(x, correct = FALSE); G2 = 2 sum(x log(x / expected)) with pchisq.
  for (const NamedTable& t : {NamedTable{"t22", kT22}, {"t23", kT23}, {"t42", kT42}, {"hair", kHair}}) {
    SCOPED_TRACE(t.name);
    const LogLinearRun run(LogLinearSettings(t.table, AnalysTypes::Posterior), CellRecords(t.table));
    ASSERT_TRUE(run.status.IsOK()) << run.status.GetErrorCode();
    const auto& r = *run.Record();
    const std::vector<double> pearson = Reference(t.name + " pearson stat, df, p");
    const std::vector<double> ratio = Reference(t.name + " likelihood ratio stat, p");
    EXPECT_NEAR_REL(r.GetChiSquareResult().GetWald(), pearson[0], 1e-13);
    EXPECT_EQ(r.GetChiSquareResult().GetDF(), pearson[1]);
    // Significances as ratios: the hair table's are near 1e-25.
    EXPECT_NEAR(r.GetChiSquareResult().GetSig() / pearson[2], 1.0, 1e-9);
    EXPECT_NEAR_REL(r.GetLikeRatioResult().GetWald(), ratio[0], 1e-13);
    EXPECT_NEAR(r.GetLikeRatioResult().GetSig() / ratio[1], 1.0, 1e-9);
    EXPECT_EQ(r.GetChiSquareResult().GetTestType(), 2);
    // Only 2 x 2 tables have the corrected test and Fisher's test.
    const bool twoByTwo = t.name == "t22";
    EXPECT_EQ(KQMV::IsMissing(r.GetContCorrectResult().GetWald()), !twoByTwo);
    EXPECT_EQ(KQMV::IsMissing(r.GetFisher2SidedSig()), !twoByTwo);
    EXPECT_EQ(KQMV::IsMissing(r.GetFisher1SidedSig()), !twoByTwo);
  }
}

TEST(LogLinear, YatesAndFisherMatchR) {
  // R: chisq.test(x)$statistic (Yates), fisher.test(x)$p.value and the one-sided test in the
  // direction of the association.
  const LogLinearRun run(LogLinearSettings(kT22, AnalysTypes::Posterior), CellRecords(kT22));
  const std::vector<double> yates = Reference("t22 yates stat, p");
  const std::vector<double> fisher = Reference("t22 fisher two-sided, one-sided");
  EXPECT_NEAR_REL(run.Record()->GetContCorrectResult().GetWald(), yates[0], 1e-13);
  EXPECT_NEAR_REL(run.Record()->GetContCorrectResult().GetSig(), yates[1], 1e-9);
  EXPECT_NEAR_REL(run.Record()->GetFisher2SidedSig(), fisher[0], 1e-9);
  EXPECT_NEAR_REL(run.Record()->GetFisher1SidedSig(), fisher[1], 1e-9);
  // ad = bc: no correction, the pivot is a, and the two-sided test is 1.
  const Table independent = {{4, 6}, {2, 3}};
  const LogLinearRun flat(LogLinearSettings(independent, AnalysTypes::Posterior), CellRecords(independent));
  const std::vector<double> zero = Reference("t22 independent yates stat, fisher two-sided, one-sided");
  EXPECT_EQ(flat.Record()->GetContCorrectResult().GetWald(), zero[0]);
  EXPECT_NEAR_REL(flat.Record()->GetFisher2SidedSig(), zero[1], 1e-12);
  EXPECT_NEAR_REL(flat.Record()->GetFisher1SidedSig(), zero[2], 1e-12);
}

/// The Bayes factor of a run with these prior settings.
struct FactorRun {
  LogLinearRun run;
  explicit FactorRun(const BSNSettings& settings, const Table& table) : run(settings, CellRecords(table)) {}
  double Factor() const { return run.Record() != nullptr ? run.Record()->GetBayesFactor() : KQMV::Missing(); }
};

BSNSettings FactorSettings(const Table& table, DistTypes model, FixType fix, LogLinPriorType prior) {
  BSNSettings s = LogLinearSettings(table, AnalysTypes::BayesFactor);
  s.SetLogLinModel(model);
  s.SetFixType(fix);
  s.SetLogLinPriorType(prior);
  return s;
}

TEST(LogLinear, ConjugateFactorsMatchBayesFactorPackage) {
  // R: 1 / contingencyTableBF(x, sampleType = "jointMulti" | "indepMulti" with fixedMargin "rows" or
  // "cols" | "poisson", priorConcentration = a); the Poisson form with the prior scale I J a / N.
  for (const NamedTable& t : {NamedTable{"t22", kT22}, {"t23", kT23}, {"hair", kHair}})
    for (double a : {1.0, 2.5}) {
      SCOPED_TRACE(t.name + " a=" + std::to_string(a));
      char label[96];
      std::snprintf(label, sizeof label, "%s conjugate a=%g joint, rows fixed, cols fixed, poisson",
                    t.name.c_str(), a);
      const std::vector<double> expected = Reference(label);
      const FixType fixes[] = {FixType::FixedTotal, FixType::FixedRow, FixType::FixedColumn};
      for (int k = 0; k < 3; ++k) {
        BSNSettings s = FactorSettings(t.table, DistTypes::Multinomial, fixes[k], LogLinPriorType::Conjugate);
        s.SetLogLinShapes({a});
        EXPECT_NEAR_REL(FactorRun(s, t.table).Factor(), expected[static_cast<std::size_t>(k)], 1e-10)
            << "fix " << k;
      }
      BSNSettings poisson =
          FactorSettings(t.table, DistTypes::Poisson, FixType::FixedTotal, LogLinPriorType::Conjugate);
      poisson.SetLogLinShapes({a});
      double total = 0.0;
      for (const auto& row : t.table)
        for (double n : row) total += n;
      poisson.SetPriorScale(static_cast<double>(t.table.size() * t.table[0].size()) * a / total);
      EXPECT_NEAR_REL(FactorRun(poisson, t.table).Factor(), expected[3], 1e-10);
      // One shape per cell, all equal, is the single shape.
      BSNSettings perCell =
          FactorSettings(t.table, DistTypes::Multinomial, FixType::FixedTotal, LogLinPriorType::Conjugate);
      perCell.SetLogLinShapes(std::vector<double>(t.table.size() * t.table[0].size(), a));
      EXPECT_NEAR_REL(FactorRun(perCell, t.table).Factor(), expected[0], 1e-10);
    }
}

TEST(LogLinear, IntrinsicFactorsMatchTheSumsWrittenInR) {
  // R: the sums of loglinear_reference.R (intrinsicTotal, intrinsicRows) with lgamma.
  const std::vector<double> total = Reference("t22 intrinsic log BF01 total T=500 (all 30), T=10");
  const std::vector<double> rows = Reference("t22 intrinsic log BF01 rows T=5000 (all), T=6");
  const std::vector<double> cols = Reference("t22 intrinsic log BF01 cols T=5000 (all), T=6");
  const std::vector<double> one = Reference("t22 intrinsic log BF01 rows T=1");
  struct Case {
    FixType fix;
    int t;
    double logBf01;
    int expectedT, expectedT1, expectedT2;
  };
  // Default T (-1): 500 with a fixed total, reduced to N = 30; 5000 with a fixed margin, reduced to
  // the margins 17, 13 (rows) and 15, 15 (columns).
  for (const Case& c :
       {Case{FixType::FixedTotal, -1, total[0], 30, -1, -1},
        Case{FixType::FixedTotal, 10, total[1], 10, -1, -1}, Case{FixType::FixedRow, -1, rows[0], 30, 17, 13},
        Case{FixType::FixedRow, 6, rows[1], 12, 6, 6}, Case{FixType::FixedColumn, -1, cols[0], 30, 15, 15},
        Case{FixType::FixedColumn, 6, cols[1], 12, 6, 6}, Case{FixType::FixedRow, 1, one[0], 2, 1, 1}}) {
    SCOPED_TRACE(::testing::Message() << "fix " << static_cast<int>(c.fix) << " T " << c.t);
    BSNSettings s = FactorSettings(kT22, DistTypes::Multinomial, c.fix, LogLinPriorType::Intrinsic);
    s.SetLogLinIntrinsicT(c.t);
    const FactorRun run(s, kT22);
    EXPECT_NEAR_REL(std::log(run.Factor()), c.logBf01, 1e-12);
    EXPECT_EQ(run.run.Record()->GetT(), c.expectedT);
    EXPECT_EQ(run.run.Record()->GetT1(), c.expectedT1);
    EXPECT_EQ(run.run.Record()->GetT2(), c.expectedT2);
  }
}

TEST(LogLinear, NonparametricFactorsMatchR) {
  // R: lb(lambda) + lb(lambda + x1 + x2) - lb(lambda + x1) - lb(lambda + x2), lb the log multivariate beta.
  const std::vector<double> rows = Reference("t23 nonparametric rows log BF01 lambda 1, lambda (0.5, 1, 2)");
  BSNSettings s =
      FactorSettings(kT23, DistTypes::Nonparametric, FixType::FixedRow, LogLinPriorType::Conjugate);
  EXPECT_NEAR_REL(std::log(FactorRun(s, kT23).Factor()), rows[0], 1e-12);  // no lambda: 1 for each column
  s.SetLambdas({0.5, 1.0, 2.0});
  EXPECT_NEAR_REL(std::log(FactorRun(s, kT23).Factor()), rows[1], 1e-12);
  BSNSettings cols =
      FactorSettings(kT42, DistTypes::Nonparametric, FixType::FixedColumn, LogLinPriorType::Conjugate);
  cols.SetLambdas({1.0});
  EXPECT_NEAR_REL(std::log(FactorRun(cols, kT42).Factor()),
                  Reference("t42 nonparametric cols log BF01 lambda 1")[0], 1e-12);
  // A lambda list of the wrong length is an error without a record.
  s.SetLambdas({1.0, 2.0});
  const FactorRun wrong(s, kT23);
  EXPECT_EQ(wrong.run.status.GetErrorCode(), KQBSN_850::BSN_LOGLINEAR_LAMBDA_COUNT);
  EXPECT_EQ(wrong.run.status.GetDiscreteDatum(0), 3);
  EXPECT_EQ(wrong.run.status.GetDiscreteDatum(1), 2);
  EXPECT_EQ(wrong.run.Record(), nullptr);
}

TEST(LogLinear, DirichletFactorsMatchRIntegrate) {
  // R: integrate() over ln alpha of the log-Cauchy mixtures of Dirichlet-multinomial likelihoods on
  // alpha in (0, 1e8]; the quadrature's tolerance here is 1e-10.
  for (const NamedTable& t : {NamedTable{"t22", kT22}, {"t23", kT23}, {"hair", kHair}}) {
    SCOPED_TRACE(t.name);
    const std::vector<double> expected =
        Reference(t.name + " dirichlet log BF01 total, rows fixed, cols fixed");
    const FixType fixes[] = {FixType::FixedTotal, FixType::FixedRow, FixType::FixedColumn};
    for (int k = 0; k < 3; ++k) {
      BSNSettings s = FactorSettings(t.table, DistTypes::Multinomial, fixes[k], LogLinPriorType::Dirichlet);
      s.SetTolValue(1e-10);
      EXPECT_NEAR_REL(std::log(FactorRun(s, t.table).Factor()), expected[static_cast<std::size_t>(k)], 1e-7)
          << "fix " << k;
    }
  }
}

TEST(LogLinear, FactorChoicesFallBackWithTheirWarnings) {
  // Intrinsic on a 2 x 3 table and nonparametric with fixed rows on 4 x 2: the Dirichlet factor after a
  // warning.
  BSNSettings intrinsic =
      FactorSettings(kT23, DistTypes::Multinomial, FixType::FixedTotal, LogLinPriorType::Intrinsic);
  BSNSettings dirichlet =
      FactorSettings(kT23, DistTypes::Multinomial, FixType::FixedTotal, LogLinPriorType::Dirichlet);
  const FactorRun fallback(intrinsic, kT23);
  EXPECT_EQ(fallback.run.ListedWarnings(), (Warnings{{KQBSN_850::BSN_INTRINSIC_NOT_2X2, 0}}));
  EXPECT_EQ(fallback.Factor(), FactorRun(dirichlet, kT23).Factor());
  const FactorRun nonpar(
      FactorSettings(kT42, DistTypes::Nonparametric, FixType::FixedRow, LogLinPriorType::Conjugate), kT42);
  EXPECT_EQ(nonpar.run.ListedWarnings(), (Warnings{{KQBSN_850::BSN_NONPARAMETRIC_NOT_2XK, 0}}));
  EXPECT_EQ(nonpar.Factor(), FactorRun(FactorSettings(kT42, DistTypes::Multinomial, FixType::FixedRow,
                                                      LogLinPriorType::Dirichlet),
                                       kT42)
                                 .Factor());
  // Nonparametric with a fixed total is an error when a factor is asked for, not for a posterior.
  BSNSettings total =
      FactorSettings(kT23, DistTypes::Nonparametric, FixType::FixedTotal, LogLinPriorType::Conjugate);
  EXPECT_EQ(FactorRun(total, kT23).run.status.GetErrorCode(), KQBSN_850::BSN_NONPARAMETRIC_FIXED_TOTAL);
  total.SetAnalysType(AnalysTypes::Posterior);
  EXPECT_TRUE(FactorRun(total, kT23).run.status.IsOK());
  // A prior type outside the enumeration computes no factor and says so on the standard output.
  BSNSettings unknown = FactorSettings(kT22, DistTypes::Multinomial, FixType::FixedTotal, LogLinPriorType{7});
  ::testing::internal::CaptureStdout();
  const FactorRun none(unknown, kT22);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\nThe Requested Method is Not Ready Yet!\n");
  EXPECT_TRUE(none.run.status.IsOK());
  EXPECT_TRUE(KQMV::IsMissing(none.Factor()));
}

TEST(LogLinear, ConjugatePriorProblemsAndDefaultScale) {
  // Shape 0.5 on a 3 x 3 table: ksi = 3 * 0.5 - 3 + 1 = -0.5, a warning and no factor.
  const Table t33 = {{5, 3, 2}, {4, 6, 1}, {2, 2, 7}};
  BSNSettings s =
      FactorSettings(t33, DistTypes::Multinomial, FixType::FixedTotal, LogLinPriorType::Conjugate);
  s.SetLogLinShapes({0.5});
  const FactorRun small(s, t33);
  EXPECT_TRUE(small.run.status.IsOK());
  EXPECT_EQ(small.run.ListedWarnings(), (Warnings{{KQBSN_850::BSN_PRIOR_COMPONENT_TOO_SMALL, 0}}));
  EXPECT_TRUE(KQMV::IsMissing(small.Factor()));
  // Four shapes for nine cells: an error naming both counts.
  s.SetLogLinShapes({1, 1, 1, 1});
  const FactorRun wrong(s, t33);
  EXPECT_EQ(wrong.run.status.GetErrorCode(), KQBSN_850::BSN_BAD_LOGLINEAR_SHAPES);
  EXPECT_EQ(wrong.run.status.GetDiscreteDatum(0), 9);
  EXPECT_EQ(wrong.run.status.GetDiscreteDatum(1), 4);
  // Without a prior scale the Poisson factor takes N / (R' K' a) = 30 / 4 (a = 1).
  BSNSettings poisson =
      FactorSettings(kT22, DistTypes::Poisson, FixType::FixedTotal, LogLinPriorType::Conjugate);
  const double byDefault = FactorRun(poisson, kT22).Factor();
  poisson.SetPriorScale(7.5);
  EXPECT_EQ(byDefault, FactorRun(poisson, kT22).Factor());
}

TEST(LogLinear, FactorsBeyondTheDoubleRangeAreLogarithms) {
  // A strong association in a large table: ln BF01 of the conjugate joint-multinomial factor (a = 1,
  // so ksi = zeta = 1) in closed form, worked by hand from the multivariate beta functions:
  // [ln r1! + ln r2! - ln (N + 1)!] + [ln c1! + ln c2! - ln (N + 1)!] + ln (N + 3)! - ln 3! - sum ln n_ij!.
  const Table strong = {{5000, 10}, {9, 5000}};
  BSNSettings s =
      FactorSettings(strong, DistTypes::Multinomial, FixType::FixedTotal, LogLinPriorType::Conjugate);
  s.SetAnalysType(AnalysTypes::Both);
  const FactorRun run(s, strong);
  ASSERT_TRUE(run.run.status.IsOK());
  EXPECT_TRUE(run.run.Record()->IsLogBayesFactor());
  const auto lf = [](double n) { return std::lgamma(n + 1.0); };
  // Rows (5010, 5009), columns (5009, 5010), N = 10019.
  const double rowsOrCols = lf(5010) + lf(5009) - lf(10020) + lf(1);  // lb(1 + r) - lb(1)
  const double expected = 2.0 * rowsOrCols + (lf(10019 + 3) - lf(3)) - (lf(5000) + lf(10) + lf(9) + lf(5000));
  EXPECT_NEAR_REL(run.Factor(), expected, 1e-12);
  EXPECT_LT(run.Factor(), -708.4);
  EXPECT_EQ(run.run.ListedWarnings(), (Warnings{{KQBSN_850::BSN_LOG_FACTOR, 0}}));
  // The Dirichlet and intrinsic factors of the same table are logarithms too, never 0 or infinite.
  for (LogLinPriorType prior : {LogLinPriorType::Dirichlet, LogLinPriorType::Intrinsic}) {
    const FactorRun other(FactorSettings(strong, DistTypes::Multinomial, FixType::FixedTotal, prior), strong);
    EXPECT_TRUE(other.run.Record()->IsLogBayesFactor()) << static_cast<int>(prior);
    EXPECT_LT(other.Factor(), -708.4) << static_cast<int>(prior);
  }
}

TEST(LogLinear, PosteriorLogOddsRatiosMatchDigammaAndTrigamma) {
  // R: mean = sum(+-digamma(n + 1)), variance = sum(trigamma(n + 1)) over the four cells of each pair.
  BSNSettings s = LogLinearSettings(kHair, AnalysTypes::Posterior);
  constexpr long kSamples = 40000;
  s.SetPosteriorSamples(kSamples);
  const LogLinearRun run(s, CellRecords(kHair));
  const auto& estimations = run.Record()->GetPosteriorEstimations();
  ASSERT_EQ(estimations.size(), 9u);
  for (std::size_t a = 0; a < 3; ++a)
    for (std::size_t b = 0; b < 3; ++b) {
      const std::vector<double> exact = Reference("hair log odds (" + std::to_string(a + 1) + "," +
                                                  std::to_string(b + 1) + ") mean, variance");
      const auto& e = estimations[a * 3 + b];
      const double sd = std::sqrt(exact[1]);
      // Within 4.5 Monte Carlo standard errors; the variance's is about sd^2 sqrt(2 / S).
      EXPECT_NEAR(e.mean, exact[0], 4.5 * sd / std::sqrt(kSamples)) << a << b;
      EXPECT_NEAR(e.variance, exact[1], 4.5 * exact[1] * std::sqrt(2.0 / kSamples)) << a << b;
      // The median: the law of a log-gamma draw is skewed, so only near the mean.
      EXPECT_NEAR(e.mode, exact[0], 0.1 * sd) << a << b;
      EXPECT_LT(e.lower, e.mode);
      EXPECT_GT(e.upper, e.mode);
    }
  // The same seed gives the same draws.
  const LogLinearRun again(s, CellRecords(kHair));
  EXPECT_EQ(again.Record()->GetPosteriorEstimations(), estimations);
}

TEST(LogLinear, CredibleLimitsByTheRankStatistic) {
  // With one pair the statistic of sorted position j is max(s_j, S + 1 - s_j), s_j the sample there; for
  // S = 10 these are 10, 9, 8, 7, 6, 6, 7, 8, 9, 10 in some order, sorted 6, 6, 7, 7, 8, 8, 9, 9, 10, 10
  // (worked by hand). Level 50: q is the 5th, 8, so the limits are the 3rd and 8th of the sorted draws;
  // level 90: q = 10, the 1st and 10th, the extremes. Level 5: S level / 100 < 1 leaves them missing.
  BSNSettings s = LogLinearSettings(kT22, AnalysTypes::Posterior);
  s.SetPosteriorSamples(10);
  auto limits = [&](double level) {
    s.SetCILevel(level);
    const LogLinearRun run(s, CellRecords(kT22));
    EXPECT_EQ(run.Record()->GetPosteriorEstimations().size(), 1u);
    return run.Record()->GetPosteriorEstimations().at(0);
  };
  const KQBSN_850::BayesEstimation half = limits(50.0), most = limits(90.0), few = limits(5.0);
  EXPECT_GT(half.lower, most.lower);
  EXPECT_LT(half.upper, most.upper);
  EXPECT_LT(half.lower, half.mode);  // the median lies between the 5th and 6th draws
  EXPECT_GT(half.upper, half.mode);
  EXPECT_EQ(limits(100.0), most);
  EXPECT_TRUE(KQMV::IsMissing(few.lower));
  EXPECT_TRUE(KQMV::IsMissing(few.upper));
  EXPECT_EQ(few.mean, half.mean);
}

TEST(LogLinear, EmptyCategoriesAndOneCategory) {
  // An empty column of a 3 x 3 table: df (3 - 1)(2 - 1) = 2, pairs 2 x 1.
  const Table gap = {{5, 0, 3}, {2, 0, 6}, {4, 0, 1}};
  const LogLinearRun run(LogLinearSettings(gap), CellRecords(gap));
  ASSERT_TRUE(run.status.IsOK());
  EXPECT_EQ(run.Record()->GetChiSquareResult().GetDF(), 2.0);
  EXPECT_EQ(run.Record()->GetPosteriorEstimations().size(), 2u);
  // One non-empty row: a warning and a record with the table only.
  const Table oneRow = {{5, 2}, {0, 0}};
  const LogLinearRun single(LogLinearSettings(oneRow), CellRecords(oneRow));
  EXPECT_EQ(single.status.GetErrorCode(), KQBSN_850::BSN_LOGLINEAR_ONE_ROW_CATEGORY);
  ASSERT_NE(single.Record(), nullptr);
  EXPECT_EQ(single.Record()->GetContingencyMatrix().GetTotalWeight(), 7.0);
  EXPECT_TRUE(KQMV::IsMissing(single.Record()->GetChiSquareResult().GetWald()));
  EXPECT_TRUE(KQMV::IsMissing(single.Record()->GetBayesFactor()));
  // Not two factors: an error with the number of factors.
  BSNSettings three = LogLinearSettings(kT22);
  three.SetFactors({0, 1, 2});
  three.SetFactorNCategs({2, 2, 2});
  const LogLinearRun wrong(three, CellRecords(kT22));
  EXPECT_EQ(wrong.status.GetErrorCode(), KQBSN_850::BSN_LOGLINEAR_NOT_TWO_FACTORS);
  EXPECT_EQ(wrong.status.GetDiscreteDatum(0), 3);
}

}  // namespace
}  // namespace kqtest
