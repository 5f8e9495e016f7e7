#include "onesample/detail/BSN1SampleNormal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "companion/KQDisplay.h"
#include "frame/BSNStatusCodes.h"
#include "tests/onesample/NormalAnalysisRun.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/Fakes.h"

using namespace KQBSN_850;
using KQCommon_850::KQMemoryDataSet;
using KQCommon_850::KQWarnings;
using kqtest::kMissing;
using Analysis = BSNConst::AnalysTypes;

// Expected values: tests/reference/normal_onesample.R (output in normal_onesample.out).

TEST(BSN1SampleNormal, TTestMatchesR) {
  const kqtest::NormalRun run =
      kqtest::BuildNormal(kqtest::NormalSettings(Analysis::BayesFactor), kqtest::NormalData());
  ASSERT_TRUE(run.status.IsOK());
  ASSERT_NE(run.record, nullptr);
  const BSN1SampleNormOutputStats& r = *run.record;
  EXPECT_TRUE(run.component->IsModelBuilt());
  EXPECT_TRUE(run.component->GetWarningMessages().IsEmpty());
  EXPECT_EQ(r.GetVarIndices(), (std::vector<int>{0, 1}));
  EXPECT_EQ(r.GetModelType(), BSNConst::ModelTypes::OneSample);
  EXPECT_EQ(r.GetOutputType(), BSNConst::OutputTypes::Output1SampleNormal);
  // t.test(x, mu = 5); mean(x), sd(x), sd(x)/sqrt(10)
  EXPECT_NEAR_REL(r.GetTValues()[0], 3.0430529581671522, 1e-13);
  EXPECT_NEAR_REL(r.GetSigs()[0], 0.013948815660920464, 1e-12);
  EXPECT_EQ(r.GetDFValues()[0], 9.0);
  EXPECT_EQ(r.GetNs()[0], 10.0);
  EXPECT_NEAR_REL(r.GetMeanValues()[0], 5.6200000000000001, 1e-15);
  EXPECT_NEAR_REL(r.GetStdDevs()[0], 0.64429116951197696, 1e-14);
  EXPECT_NEAR_REL(r.GetEMs()[0], 0.20374275719914831, 1e-14);
  // t.test(y, mu = 0) over its nine present values
  EXPECT_NEAR_REL(r.GetTValues()[1], 2.4693848037796871, 1e-13);
  EXPECT_NEAR_REL(r.GetSigs()[1], 0.038747597318239853, 1e-12);
  EXPECT_EQ(r.GetDFValues()[1], 8.0);
  EXPECT_NEAR_REL(r.GetStdDevs()[1], 1.3093679560934903, 1e-14);
}

TEST(BSN1SampleNormal, WeightedRecordsEqualRepeatedRecords) {
  BSNSettings settings = kqtest::NormalSettings(Analysis::Both);
  settings.SetCovariates({0});
  settings.SetNullValues({5.0});
  settings.SetPriorDistType(BSNConst::DistTypes::Jeffreys4);
  BSNSettings weightedSettings = settings;
  weightedSettings.SetFrequencyWeightVar(2);
  const kqtest::NormalRun weighted = kqtest::BuildNormal(weightedSettings, kqtest::NormalData());
  // The rows of x repeated by the rounded weights 1 2 0 2 0 3 1 1 1 1.
  const KQMemoryDataSet data = kqtest::NormalData();
  std::vector<std::vector<double>> rows;
  const std::vector<int> counts = {1, 2, 0, 2, 0, 3, 1, 1, 1, 1};
  for (std::size_t i = 0; i < counts.size(); ++i) {
    for (int k = 0; k < counts[i]; ++k) rows.push_back({data.GetColumn(0)[i]});
  }
  const kqtest::NormalRun repeated = kqtest::BuildNormal(settings, KQMemoryDataSet::FromRows({"x"}, rows));
  ASSERT_NE(weighted.record, nullptr);
  ASSERT_NE(repeated.record, nullptr);
  // t.test(rep(x, w), mu = 5)
  EXPECT_NEAR_REL(weighted.record->GetTValues()[0], 2.8832843566128914, 1e-13);
  EXPECT_NEAR_REL(weighted.record->GetSigs()[0], 0.014883580101551297, 1e-12);
  EXPECT_EQ(weighted.record->GetNs()[0], 12.0);
  using Getter = const std::vector<double>& (BSN1SampleNormOutputStats::*)() const noexcept;
  for (Getter get :
       {&BSN1SampleNormOutputStats::GetMeanValues, &BSN1SampleNormOutputStats::GetStdDevs,
        &BSN1SampleNormOutputStats::GetBayesFactors, &BSN1SampleNormOutputStats::GetUpperLimits}) {
    EXPECT_NEAR_REL((weighted.record->*get)()[0], (repeated.record->*get)()[0], 1e-13);
  }
}

TEST(BSN1SampleNormal, LargeMeanGivesTheCentredT) {
  // Values at 1e9 in steps of 1/16 are exact, and so is their mean 1e9 + 0.125: any loss is the
  // accumulator's (a sum of squares would lose every digit of the variance here).
  const std::vector<double> centred = {-1.5, 0.25, 1.0, -0.75, 0.5, 1.25, -0.25, 2.0, -1.0, -0.25};
  std::vector<std::vector<double>> rowsCentred, rowsShifted;
  for (double c : centred) {
    rowsCentred.push_back({c});
    rowsShifted.push_back({c + 1e9});
  }
  BSNSettings settings = kqtest::NormalSettings(Analysis::BayesFactor);
  settings.SetCovariates({0});
  settings.SetNullValues({0.0});
  const kqtest::NormalRun small =
      kqtest::BuildNormal(settings, KQMemoryDataSet::FromRows({"x"}, rowsCentred));
  settings.SetNullValues({1e9});
  const kqtest::NormalRun large =
      kqtest::BuildNormal(settings, KQMemoryDataSet::FromRows({"x"}, rowsShifted));
  ASSERT_NE(small.record, nullptr);
  ASSERT_NE(large.record, nullptr);
  EXPECT_NEAR_REL(large.record->GetTValues()[0], small.record->GetTValues()[0], 1e-9);
  EXPECT_NEAR_REL(large.record->GetStdDevs()[0], small.record->GetStdDevs()[0], 1e-12);
}

TEST(BSN1SampleNormal, DegenerateVariablesWarnAndStayMissing) {
  // Columns: x, constant, all missing, one value.
  std::vector<std::vector<double>> rows;
  for (int i = 0; i < 10; ++i) rows.push_back({5.0 + 0.1 * i * i, 3.0, kMissing, i == 4 ? 7.5 : kMissing});
  BSNSettings settings = kqtest::NormalSettings(Analysis::Both);
  settings.SetCovariates({0, 1, 2, 3});
  settings.SetNullValues({});
  const kqtest::NormalRun run =
      kqtest::BuildNormal(settings, KQMemoryDataSet::FromRows({"x", "c", "m", "one"}, rows));
  ASSERT_TRUE(run.status.IsOK());
  ASSERT_NE(run.record, nullptr);
  const KQWarnings& warnings = run.component->GetWarningMessages();
  const std::vector<std::pair<int, long>> expected = {
      {BSN_CONSTANT_FIELDS, 1}, {BSN_FEW_VALID_CASES_NORMAL, 2}, {BSN_FEW_VALID_CASES_NORMAL, 3}};
  ASSERT_EQ(warnings.Size(), expected.size());
  for (std::size_t k = 0; k < expected.size(); ++k) {
    EXPECT_TRUE(warnings[k].IsWarning());
    EXPECT_EQ(warnings[k].GetErrorCode(), expected[k].first);
    EXPECT_EQ(warnings[k].GetDiscreteDatum(0), expected[k].second);
    EXPECT_EQ(warnings.GetDestination(k), 0);
  }
  const BSN1SampleNormOutputStats& r = *run.record;
  EXPECT_EQ(r.GetMeanValues(), (std::vector<double>{r.GetMeanValues()[0], 3.0, kMissing, 7.5}));
  EXPECT_EQ(r.GetStdDevs(), (std::vector<double>{r.GetStdDevs()[0], 0.0, kMissing, kMissing}));
  EXPECT_EQ(r.GetEMs(), (std::vector<double>{r.GetEMs()[0], 0.0, kMissing, kMissing}));
  EXPECT_EQ(r.GetDFValues(), (std::vector<double>{9.0, 9.0, kMissing, 0.0}));
  EXPECT_EQ(r.GetNs(), (std::vector<double>{10.0, 10.0, 0.0, 1.0}));
  for (std::size_t i = 1; i < 4; ++i) {
    EXPECT_EQ(r.GetTValues()[i], kMissing);
    EXPECT_EQ(r.GetBayesFactors()[i], kMissing);
    EXPECT_EQ(r.GetPostMeanValues()[i], kMissing);
  }
  for (const auto* list : {&r.GetTValues(), &r.GetSigs(), &r.GetBayesFactors(), &r.GetModeValues(),
                           &r.GetVarianceValues(), &r.GetLowerLimits(), &r.GetUpperLimits()}) {
    ASSERT_EQ(list->size(), 4u);
    for (double value : *list) EXPECT_FALSE(std::isnan(value));
  }
}

TEST(BSN1SampleNormal, BuildErrorsLeaveNoRecord) {
  const KQMemoryDataSet empty = KQMemoryDataSet::FromRows({"x", "y"}, {});
  BSNSettings noVariables = kqtest::NormalSettings(Analysis::Posterior);
  noVariables.SetCovariates({});
  BSNSettings negativeIndex = kqtest::NormalSettings(Analysis::Posterior);
  negativeIndex.SetCovariates({0, -1});
  for (auto [settings, data, code] :
       {std::tuple{kqtest::NormalSettings(Analysis::Posterior), empty, BSN_NO_VALID_CASES},
        std::tuple{noVariables, kqtest::NormalData(), BSN_TOO_FEW_CORR_VARIABLES},
        std::tuple{negativeIndex, kqtest::NormalData(), BSN_BAD_PARAMETER}}) {
    const kqtest::NormalRun run = kqtest::BuildNormal(settings, data);
    EXPECT_EQ(run.status.GetErrorCode(), code);
    EXPECT_TRUE(run.status.IsError());
    EXPECT_EQ(run.component->GetStatus(), run.status);
    EXPECT_EQ(run.record, nullptr);
  }
}

TEST(BSN1SampleNormal, NullRecordEndsThePassAndEveryRecordCounts) {
  // Weights 0 count toward progress too; the null record ends the pass before the last row.
  kqtest::VectorRecordIter iter({std::vector<double>{1.0, 1.0}, std::vector<double>{2.0, 0.0},
                                 std::vector<double>{4.0, 2.0}, std::nullopt,
                                 std::vector<double>{100.0, 1.0}});
  BSNSettings settings = kqtest::NormalSettings(Analysis::Posterior);
  settings.SetCovariates({0});
  settings.SetFrequencyWeightVar(1);
  settings.SetProgressFrequency(2);
  kqtest::RecordingListener listener;
  settings.SetProgressListener(&listener);
  const kqtest::NormalRun run = kqtest::BuildNormal(settings, iter, KQCommon_850::KQVarList());
  ASSERT_NE(run.record, nullptr);
  EXPECT_EQ(run.record->GetNs()[0], 3.0);
  EXPECT_NEAR_REL(run.record->GetMeanValues()[0], 3.0, 1e-15);  // (1 + 4 + 4) / 3
  EXPECT_NEAR_REL(run.record->GetStdDevs()[0], std::sqrt(3.0), 1e-15);
  EXPECT_EQ(listener.records, (std::vector<int>{2, 3}));
}

TEST(BSN1SampleNormal, CancellationInAndBetweenSteps) {
  const KQMemoryDataSet data = kqtest::NormalData();
  // Questions: 1 after initialising, one per record of the pass (10), 1 after the pass.
  for (auto [nNo, code] : {std::pair{3, int{BSN_STATUS_CANCELLED}}, std::pair{11, int{BSN_CANCELLED}}}) {
    kqtest::CancelAfter cancel(nNo);
    KQCommon_850::KQMemoryRecordIter iter(data);
    const kqtest::NormalRun run =
        kqtest::BuildNormal(kqtest::NormalSettings(Analysis::Both), iter, data.MakeVarList(), &cancel);
    EXPECT_EQ(run.status.GetErrorCode(), code);
    EXPECT_TRUE(run.status.IsError());
    EXPECT_FALSE(run.component->IsModelBuilt());
    EXPECT_EQ(run.record, nullptr);
    EXPECT_EQ(cancel.nAsked, nNo + 1);
  }
}

TEST(BSN1SampleNormal, PosteriorOnlyAndDisplay) {
  BSNSettings settings = kqtest::NormalSettings(Analysis::Posterior);
  settings.SetPriorDistType(BSNConst::DistTypes::Jeffreys2);
  const kqtest::NormalRun run = kqtest::BuildNormal(settings, kqtest::NormalData());
  ASSERT_NE(run.record, nullptr);
  // Jeffreys 2 gives the classical interval: t.test(x)$conf.int
  EXPECT_NEAR_REL(run.record->GetLowerLimits()[0], 5.1591018624336913, 1e-13);
  EXPECT_NEAR_REL(run.record->GetUpperLimits()[0], 6.0808981375663089, 1e-13);
  EXPECT_TRUE(run.record->GetTValues().empty());
  EXPECT_TRUE(run.record->GetBayesFactors().empty());

  std::ostringstream callers;
  KQDisplay_850::StreamScope scope(callers);
  std::ostringstream analysis, record;
  run.component->Display(analysis);
  run.record->Display(record);
  EXPECT_EQ(KQDisplay_850::GetOutStream(), &callers);
  EXPECT_TRUE(callers.str().empty());
  for (const char* label :
       {"BSN1SampleNormal Display start", "BSN1SampleNormal is ok!", "Standard deviation Values",
        "Sum of weights of cases's Values", "BSNSettings display start"}) {
    EXPECT_NE(analysis.str().find(label), std::string::npos) << label;
  }
  for (const char* label :
       {"BSN1SampleNormOutputStatsImp Display start", "Standar deviation Values", "Standar error Values",
        "UpperLimites Value", "Lower limits Value", "Plot Prior"}) {
    EXPECT_NE(record.str().find(label), std::string::npos) << label;
  }
}

TEST(BSN1SampleNormOutputStats, CopiesAreIndependent) {
  const kqtest::NormalRun run =
      kqtest::BuildNormal(kqtest::NormalSettings(Analysis::Both), kqtest::NormalData());
  ASSERT_NE(run.record, nullptr);
  BSN1SampleNormOutputStats copy(*run.record);
  copy.SetOutputValues(BSNSettings(), {7}, {1}, {2}, {3}, {4}, {5}, {6}, {7}, {8}, {9}, {10}, {11}, {12},
                       {13});
  const std::vector<const std::vector<double>*> lists = {
      &copy.GetNs(),           &copy.GetMeanValues(),     &copy.GetStdDevs(),        &copy.GetEMs(),
      &copy.GetBayesFactors(), &copy.GetTValues(),        &copy.GetDFValues(),       &copy.GetSigs(),
      &copy.GetModeValues(),   &copy.GetPostMeanValues(), &copy.GetVarianceValues(), &copy.GetLowerLimits(),
      &copy.GetUpperLimits()};
  for (std::size_t k = 0; k < lists.size(); ++k) EXPECT_EQ(*lists[k], std::vector<double>{k + 1.0}) << k;
  EXPECT_EQ(copy.GetVarIndices(), std::vector<int>{7});
  EXPECT_TRUE(copy.GetSettings().GetCovariates().empty());
  EXPECT_EQ(copy.GetPlotPosterior(), run.record->GetPlotPosterior());  // plots are kept
  EXPECT_EQ(run.record->GetNs(), (std::vector<double>{10.0, 9.0}));
  BSN1SampleNormOutputStats assigned(*run.record);
  assigned = copy;
  EXPECT_EQ(assigned.GetUpperLimits(), std::vector<double>{13.0});
}
