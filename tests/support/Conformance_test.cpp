// The five available analyses in the conformance suite. Each data set has a variable that warns, so
// that cancelled builds can show the warnings they keep.

#include "tests/support/Conformance.h"

#include "onesample/BSN1SampleBinoOutputStats.h"
#include "onesample/BSN1SampleNormOutputStats.h"
#include "onesample/BSN1SamplePoisnOutputStats.h"
#include "twosample/BSN2SampleIndOutputStats.h"
#include "twosample/BSN2SampleRelatedOutputStats.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using kqtest::Table;
using Lists = std::vector<const std::vector<double>*>;

namespace {

std::vector<double> Join(const Lists& lists, const std::vector<const std::vector<int>*>& counts = {}) {
  std::vector<double> all;
  for (const auto* list : lists) all.insert(all.end(), list->begin(), list->end());
  for (const auto* list : counts) all.insert(all.end(), list->begin(), list->end());
  return all;
}

BSNSettings Settings(BSNConst::ModelTypes model, BSNConst::DistTypes dist) {
  BSNSettings settings;
  settings.SetModelType(model, true);
  settings.SetTestDistType(dist);
  settings.SetAnalysType(BSNConst::AnalysTypes::Both);
  return settings;
}

/// x, a constant column (it warns) and y.
struct OneSampleNormal {
  static BSNSettings Settings() {
    BSNSettings settings = ::Settings(BSNConst::ModelTypes::OneSample, BSNConst::DistTypes::Normal);
    settings.SetCovariates({0, 1, 2});
    settings.SetNullValues({5.0, 0.0, 0.0});
    return settings;
  }
  static Table Rows() {
    return {{5.1, 3, 1.2}, {4.9, 3, -0.4}, {6.2, 3, 2.3}, {5.8, 3, 0.7}, {6.0, 3, 0.8},
            {5.5, 3, 1.9}, {5.3, 3, -1.1}, {6.8, 3, 0.5}, {4.7, 3, 3.1}, {5.9, 3, 1.4}};
  }
  static constexpr bool kCountsZeroWeights = true;
  static constexpr int kPasses = 1;
  static std::vector<double> Numbers(const BSNOutputStats& stats) {
    const auto& r = dynamic_cast<const BSN1SampleNormOutputStats&>(stats);
    return Join({&r.GetNs(), &r.GetMeanValues(), &r.GetStdDevs(), &r.GetTValues(), &r.GetSigs(),
                 &r.GetBayesFactors(), &r.GetPostMeanValues(), &r.GetVarianceValues(), &r.GetLowerLimits(),
                 &r.GetUpperLimits()});
  }
};

/// Successes and failures of two variables; the second has no valid case (it warns).
struct OneSampleBinomial {
  static BSNSettings Settings() {
    BSNSettings settings = ::Settings(BSNConst::ModelTypes::OneSample, BSNConst::DistTypes::Binomial);
    settings.SetFactors({0, 1});
    settings.SetAlterPrior1s({1.0, 1.0});
    settings.SetAlterPrior2s({1.0, 1.0});
    settings.SetPriorParam1(1.0);
    settings.SetPriorParam2(1.0);
    return settings;
  }
  static Table Rows() {
    const double m = KQMV::Missing();
    return {{1, m}, {0, -1}, {1, m}, {1, m}, {0, m}, {0, m}, {1, m}, {1, m}, {0, m}, {1, m}};
  }
  static constexpr bool kCountsZeroWeights = false;
  static constexpr int kPasses = 1;
  static std::vector<double> Numbers(const BSNOutputStats& stats) {
    const auto& r = dynamic_cast<const BSN1SampleBinoOutputStats&>(stats);
    return Join({&r.GetBayesFactors(), &r.GetMeanValues(), &r.GetVarianceValues(), &r.GetLowerLimits(),
                 &r.GetUpperLimits()},
                {&r.GetNs(), &r.GetCat1Ns()});
  }
};

/// Counts of two variables; the second has no alternative prior (it warns).
struct OneSamplePoisson {
  static BSNSettings Settings() {
    BSNSettings settings = ::Settings(BSNConst::ModelTypes::OneSample, BSNConst::DistTypes::Poisson);
    settings.SetCovariates({0, 1});
    settings.SetAlterPrior1s({1.0, KQMV::Missing()});
    settings.SetAlterPrior2s({1.0, 1.0});
    settings.SetPriorParam1(0.5);
    settings.SetPriorParam2(1.0);
    return settings;
  }
  static Table Rows() {
    const double m = KQMV::Missing();
    return {{3, 1}, {0, m}, {2, 0}, {5, 2}, {1, 1}, {0, 0}, {4, 3}, {2, 1}, {1, 0}, {3, 2}};
  }
  static constexpr bool kCountsZeroWeights = false;
  static constexpr int kPasses = 1;
  static std::vector<double> Numbers(const BSNOutputStats& stats) {
    const auto& r = dynamic_cast<const BSN1SamplePoisnOutputStats&>(stats);
    return Join({&r.GetBayesFactors(), &r.GetMeanValues(), &r.GetVarianceValues(), &r.GetLowerLimits(),
                 &r.GetUpperLimits()},
                {&r.GetNs(), &r.GetMaxCnts()});
  }
};

/// Student's sleep pairs (x, y), and the pair (x, x + 2.5) whose differences are constant (it warns).
struct TwoRelatedSamples {
  static BSNSettings Settings() {
    BSNSettings settings = ::Settings(BSNConst::ModelTypes::Related, BSNConst::DistTypes::Normal);
    settings.SetCovariates({0, 0});
    settings.Set2ndRelatedList({1, 2});
    return settings;
  }
  static Table Rows() {
    const std::vector<double> x = {0.7, -1.6, -0.2, -1.2, -0.1, 3.4, 3.7, 0.8, 0.0, 2.0};
    const std::vector<double> y = {1.9, 0.8, 1.1, 0.1, -0.1, 4.4, 5.5, 1.6, 4.6, 3.4};
    Table rows;
    for (std::size_t i = 0; i < x.size(); ++i) rows.push_back({x[i], y[i], x[i] + 2.5});
    return rows;
  }
  static constexpr bool kCountsZeroWeights = false;
  static constexpr int kPasses = 1;
  static std::vector<double> Numbers(const BSNOutputStats& stats) {
    const auto& r = dynamic_cast<const BSN2SampleRelatedOutputStats&>(stats);
    return Join({&r.GetNs(), &r.GetMeanDiffValues(), &r.GetStdDevs(), &r.GetTValues(), &r.GetSigs(),
                 &r.GetBayesFactors(), &r.GetPostMeanValues(), &r.GetVarianceValues(), &r.GetLowerLimits(),
                 &r.GetUpperLimits()});
  }
};

/// Student's sleep data as two independent groups: extra, a constant column (it warns), the group.
struct TwoIndependentSamples {
  static BSNSettings Settings() {
    BSNSettings settings = ::Settings(BSNConst::ModelTypes::Independent, BSNConst::DistTypes::Normal);
    settings.SetCovariates({0, 1});
    settings.SetGroupVar(2);
    return settings;
  }
  static Table Rows() {
    const std::vector<double> extra = {0.7, -1.6, -0.2, -1.2, -0.1, 3.4, 3.7, 0.8, 0.0, 2.0,
                                       1.9, 0.8,  1.1,  0.1,  -0.1, 4.4, 5.5, 1.6, 4.6, 3.4};
    Table rows;
    for (std::size_t i = 0; i < extra.size(); ++i) rows.push_back({extra[i], 7.0, i % 2 == 0 ? 0.0 : 1.0});
    return rows;
  }
  static constexpr bool kCountsZeroWeights = true;
  static constexpr int kPasses = 2;
  static std::vector<double> Numbers(const BSNOutputStats& stats) {
    const auto& r = dynamic_cast<const BSN2SampleIndOutputStats&>(stats);
    return Join(
        {&r.GetGroup1MeanValues(), &r.GetGroup2StdDevs(), &r.GetTValues(), &r.GetSigs(), &r.GetBayesFactors(),
         &r.GetModeValues(), &r.GetVarianceValues(), &r.GetLowerLimits(), &r.GetUpperLimits()},
        {&r.GetGroup1StatsNs(), &r.GetGroup2StatsNs()});
  }
};

}  // namespace

namespace kqtest {
using Analyses = ::testing::Types<OneSampleNormal, OneSampleBinomial, OneSamplePoisson, TwoRelatedSamples,
                                  TwoIndependentSamples>;
INSTANTIATE_TYPED_TEST_SUITE_P(Analyses, Conformance, Analyses);
}  // namespace kqtest
