// The available analyses in the conformance suite, over the tiny data sets of
// tests/reference/conformance_rows.out; each has a variable that warns, so that cancelled builds can
// show the warnings they keep. A record's numbers are every number of it that the command-line
// program writes, but for the settings it repeats.

#include "tests/support/Conformance.h"

#include "cli/RecordRegistry.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using Model = BSNConst::ModelTypes;
using Dist = BSNConst::DistTypes;

namespace {

// Settings for both analyses over the covariates, with one more setting: (settings.*set)(value).
template <class Set, class Value>
BSNSettings Settings(Model model, Dist dist, const std::vector<int>& covariates, Set set,
                     const Value& value) {
  BSNSettings settings;
  settings.SetModelType(model, true);
  settings.SetTestDistType(dist);
  settings.SetAnalysType(BSNConst::AnalysTypes::Both);
  settings.SetCovariates(covariates);
  (settings.*set)(value);
  return settings;
}

// One-sample counts of the covariates or factors, with the alternative priors (alter1s, 1) and the prior
// (param1, 1).
BSNSettings Counts(Dist dist, const std::vector<int>& covariates, const std::vector<int>& factors,
                   const std::vector<double>& alter1s, double param1) {
  BSNSettings settings = Settings(Model::OneSample, dist, covariates, &BSNSettings::SetFactors, factors);
  settings.SetAlterPrior1s(alter1s);
  settings.SetAlterPrior2s({1.0, 1.0});
  settings.SetPriorParam1(param1);
  settings.SetPriorParam2(1.0);
  return settings;
}

void Flatten(const kqcli::Json& value, std::vector<double>& numbers) {
  if (value.is_number()) numbers.push_back(value.get<double>());
  if (value.is_null()) numbers.push_back(KQMV::Missing());
  if (value.is_structured())
    for (const kqcli::Json& item : value) Flatten(item, numbers);
}

// The data set's records, its values in order (nan is missing); progress counts only records of positive
// weight, in one pass, unless an analysis says otherwise.
template <const char* kName>
struct TraitsOf {
  static kqtest::Rows Rows() {
    kqtest::Rows rows;
    for (kqtest::ReferenceRow& row : kqtest::ReadReferenceTable("conformance_rows.out")) {
      std::transform(row.values.begin(), row.values.end(), row.values.begin(), KQMV::FromNaN);
      if (row.label == kName) rows.push_back(row.values);
    }
    return rows;
  }
  static std::vector<double> Numbers(const BSNOutputStats& record) {
    std::vector<double> numbers;
    const std::optional<kqcli::RecordView> view =
        kqcli::DescribeRecord(record, kqcli::DataColumns{{"a", "b", "c", "d"}, {}});
    for (const kqcli::Field& field : view->fields)
      if (field.key != "Settings") Flatten(field.value, numbers);
    return numbers;
  }
  static constexpr bool kCountsZeroWeights = false;
  static constexpr int kPasses = 1;
};

constexpr char kNormal[] = "normal", kBinomial[] = "binomial", kPoisson[] = "poisson", kRelated[] = "related",
               kIndependent[] = "independent", kLogLinear[] = "loglinear", kCorrelation[] = "correlation",
               kRegression[] = "regression", kAnova[] = "anova";

struct OneSampleNormal : TraitsOf<kNormal> {
  static BSNSettings Settings() {
    return ::Settings(Model::OneSample, Dist::Normal, {0, 1, 2}, &BSNSettings::SetNullValues,
                      std::vector<double>{5.0, 0.0, 0.0});
  }
  static constexpr bool kCountsZeroWeights = true;
};

struct OneSampleBinomial : TraitsOf<kBinomial> {
  static BSNSettings Settings() { return Counts(Dist::Binomial, {}, {0, 1}, {1.0, 1.0}, 1.0); }
};

// The second variable has no alternative prior (it warns).
struct OneSamplePoisson : TraitsOf<kPoisson> {
  static BSNSettings Settings() { return Counts(Dist::Poisson, {0, 1}, {}, {1.0, KQMV::Missing()}, 0.5); }
};

struct TwoRelatedSamples : TraitsOf<kRelated> {
  static BSNSettings Settings() {
    return ::Settings(Model::Related, Dist::Normal, {0, 0}, &BSNSettings::Set2ndRelatedList,
                      std::vector<int>{1, 2});
  }
};

struct TwoIndependentSamples : TraitsOf<kIndependent> {
  static BSNSettings Settings() {
    return ::Settings(Model::Independent, Dist::Normal, {0, 1}, &BSNSettings::SetGroupVar, 2);
  }
  static constexpr bool kCountsZeroWeights = true;
  static constexpr int kPasses = 2;
};

// A 2 x 3 table with the intrinsic prior, which warns and falls back to the Dirichlet factor; few draws.
struct LogLinear : TraitsOf<kLogLinear> {
  static BSNSettings Settings() {
    BSNSettings settings =
        ::Settings(Model::LogLinear, Dist::Normal, {}, &BSNSettings::SetFactors, std::vector<int>{0, 1});
    settings.SetFactorNCategs({2, 3});
    settings.SetLogLinPriorType(BSNConst::LogLinPriorType::Intrinsic);
    settings.SetPosteriorSamples(20);
    return settings;
  }
};

// Few posterior draws, so that the cancellation test, which asks before each draw, stays short.
struct PearsonCorrelation : TraitsOf<kCorrelation> {
  static BSNSettings Settings() {
    BSNSettings settings =
        ::Settings(Model::Correlation, Dist::Normal, {0, 1, 2}, &BSNSettings::SetPosteriorSamples, 50L);
    settings.SetTolValue(1e-10);
    return settings;
  }
};

// The dictionary says y and x vary and g has two categories, as the regression checks before reading.
struct MultipleRegression : TraitsOf<kRegression> {
  static BSNSettings Settings() {
    BSNSettings settings = ::Settings(Model::Regression, Dist::Normal, {1}, &BSNSettings::SetRegressors,
                                      std::vector<double>{0.5});
    settings.SetDependVar(0);
    settings.SetFactors({2});
    settings.SetFactorNCategs({2});
    settings.SetPriorType(BSNConst::PriorTypes::Reference);
    return settings;
  }
  static KQVarList VarList() {
    KQVarList vars;
    vars.AddContVar("y", 3.1, 13.0);
    vars.AddContVar("x", 1.0, 10.0);
    vars.AddCategVar("g", 2);
    return vars;
  }
  static constexpr int kPasses = 2;
};

// The dictionary says y varies, as the ANOVA checks before reading.
struct OneWayAnova : TraitsOf<kAnova> {
  static BSNSettings Settings() {
    BSNSettings settings =
        ::Settings(Model::Anova, Dist::Normal, {}, &BSNSettings::SetFactors, std::vector<int>{1});
    settings.SetDependVar(0);
    settings.SetFactorNCategs({3});
    settings.SetPriorType(BSNConst::PriorTypes::Reference);
    return settings;
  }
  static KQVarList VarList() {
    KQVarList vars;
    vars.AddContVar("y", 3.8, 7.1);
    vars.AddCategVar("g", 3);
    return vars;
  }
};

}  // namespace

namespace kqtest {
using Analyses =
    ::testing::Types<OneSampleNormal, OneSampleBinomial, OneSamplePoisson, TwoRelatedSamples,
                     TwoIndependentSamples, LogLinear, PearsonCorrelation, MultipleRegression, OneWayAnova>;
INSTANTIATE_TYPED_TEST_SUITE_P(Analyses, Conformance, Analyses);
}  // namespace kqtest
