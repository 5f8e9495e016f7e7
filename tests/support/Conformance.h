#pragma once
// The behaviour every analysis shares, checked once for all through BSNComponent: cancellation at
// each poll, progress through both listener routes, frequency weights as repeated records, the empty
// data set, the status protocol and Display leaving the caller's stream alone.
//
// An analysis joins with a traits struct:
//   static BSNSettings Settings();               // settings over the columns of Rows()
//   static std::vector<std::vector<double>> Rows();  // a tiny data set; at least one variable warns
//   static std::vector<double> Numbers(const BSNOutputStats&);  // the record's main numbers
//   static constexpr bool kCountsZeroWeights;    // progress counts records of weight 0 too
//   static constexpr int kPasses;                // passes over the records, each reporting progress

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "tests/support/BuiltAnalysis.h"
#include "tests/support/ExpectNearRel.h"

namespace kqtest {

using Table = std::vector<std::vector<double>>;

/// A component built over a data set of the traits.
struct ComponentRun : BuiltAnalysis<> {
  ComponentRun(const KQBSN_850::BSNSettings& settings, const Table& rows,
               KQCommon_850::KQQueryCancel* cancel = nullptr,
               KQCommon_850::ProgressListener* listener = nullptr)
      : BuiltAnalysis<>(settings, Rows(rows.begin(), rows.end()), cancel, listener) {}
  std::vector<int> WarningCodes() const {
    std::vector<int> codes;
    for (const auto& [code, datum] : ListedWarnings()) codes.push_back(code);
    return codes;
  }
};

template <class Traits>
class Conformance : public ::testing::Test {
 protected:
  static int NColumns() { return static_cast<int>(Traits::Rows().at(0).size()); }
};

TYPED_TEST_SUITE_P(Conformance);

TYPED_TEST_P(Conformance, BuildsTheTinyDataSetWithAWarning) {
  const ComponentRun run(TypeParam::Settings(), TypeParam::Rows());
  ASSERT_FALSE(run.status.IsError()) << run.status.GetErrorCode();
  run.ExpectConsistent();
  EXPECT_FALSE(run.WarningCodes().empty());  // so that the cancellation test sees warnings kept
  const std::vector<double> numbers = TypeParam::Numbers(*run.component.GetOutputStats());
  EXPECT_FALSE(numbers.empty());

  // The component keeps its own copy of the settings: changing them before the build changes nothing.
  KQBSN_850::BSNSettings settings = TypeParam::Settings();
  KQBSN_850::BSNComponent component(settings, KQCommon_850::KQVarList());
  settings.SetFrequencyWeightVar(0);
  settings.SetCILevel(50.0);
  const Table table = TypeParam::Rows();
  VectorRecordIter iter(Rows(table.begin(), table.end()));
  ASSERT_FALSE(component.BuildModel(iter).IsError());
  EXPECT_EQ(TypeParam::Numbers(*component.GetOutputStats()), numbers);
}

TYPED_TEST_P(Conformance, CancellationAtEachPoll) {
  const ComponentRun full(TypeParam::Settings(), TypeParam::Rows());
  ASSERT_FALSE(full.status.IsError());
  const std::vector<int> allWarnings = full.WarningCodes();
  bool keptAWarning = false;
  int n = 0;
  for (;; ++n) {
    ASSERT_LT(n, 10000) << "the build never finished";
    CancelAfter query(n);
    const ComponentRun run(TypeParam::Settings(), TypeParam::Rows(), &query);
    run.ExpectConsistent();
    if (!run.status.IsError()) break;
    const int code = run.status.GetErrorCode();
    EXPECT_TRUE(code == KQBSN_850::BSN_STATUS_CANCELLED || code == KQBSN_850::BSN_CANCELLED)
        << "poll " << n << ": code " << code;
    // The warnings listed before the cancellation stay, in order.
    const std::vector<int> kept = run.WarningCodes();
    ASSERT_LE(kept.size(), allWarnings.size()) << "poll " << n;
    EXPECT_EQ(kept, std::vector<int>(allWarnings.begin(), allWarnings.begin() + kept.size())) << "poll " << n;
    keptAWarning = keptAWarning || !kept.empty();
  }
  EXPECT_GT(n, 0);  // the build polls at least once
  EXPECT_TRUE(keptAWarning);
}

TYPED_TEST_P(Conformance, BothListenerRoutesHearTheSameReports) {
  KQBSN_850::BSNSettings settings = TypeParam::Settings();
  settings.SetProgressFrequency(2);
  RecordingListener fromSettings;
  settings.SetProgressListener(&fromSettings);
  const ComponentRun bySettings(settings, TypeParam::Rows());
  ASSERT_FALSE(bySettings.status.IsError());
  EXPECT_FALSE(fromSettings.records.empty());

  RecordingListener replaced, later;
  settings.SetProgressListener(&replaced);
  const ComponentRun byComponent(settings, TypeParam::Rows(), nullptr, &later);
  ASSERT_FALSE(byComponent.status.IsError());
  EXPECT_EQ(later.records, fromSettings.records);
  EXPECT_TRUE(replaced.records.empty()) << "the replaced listener heard " << replaced.records.size();
}

TYPED_TEST_P(Conformance, ProgressAt50And100AndTheEnd) {
  // The data set over and over, weights 1, 0, 2 in turn, to at least 120 records.
  Table rows;
  int counted = 0;
  while (rows.size() < 120) {
    for (const std::vector<double>& row : TypeParam::Rows()) {
      const double weight = static_cast<double>(rows.size() % 3 == 1 ? 0 : 1 + rows.size() % 3 / 2);
      rows.push_back(row);
      rows.back().push_back(weight);
      counted += weight > 0.0 || TypeParam::kCountsZeroWeights;
    }
  }
  std::vector<int> expected;
  for (int pass = 0; pass < TypeParam::kPasses; ++pass) {
    for (int n = 50; n <= counted; n += 50) expected.push_back(n);
    if (counted % 50 != 0) expected.push_back(counted);
  }
  KQBSN_850::BSNSettings settings = TypeParam::Settings();
  settings.SetFrequencyWeightVar(this->NColumns());
  RecordingListener listener;
  settings.SetProgressListener(&listener);
  const ComponentRun run(settings, rows);
  ASSERT_FALSE(run.status.IsError());
  EXPECT_EQ(listener.records, expected);
}

TYPED_TEST_P(Conformance, FrequencyWeightsCountRecordsRepeatedly) {
  // Weights 2, 1.5 and 2.6 round to 2 and 3 copies; 0, 0.4, -1 and missing drop the record.
  const std::vector<double> weights = {2, 1, 0, KQCommon_850::KQMV::Missing(), 1.5, 0.4, 1, -1, 2.6};
  const Table rows = TypeParam::Rows();
  const std::vector<int> copies = {2, 1, 0, 0, 2, 0, 1, 0, 3};
  Table weighted, repeated;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::size_t k = i % weights.size();
    weighted.push_back(rows[i]);
    weighted.back().push_back(weights[k]);
    for (int c = 0; c < copies[k]; ++c) repeated.push_back(rows[i]);
  }
  KQBSN_850::BSNSettings settings = TypeParam::Settings();
  const ComponentRun plain(settings, repeated);
  settings.SetFrequencyWeightVar(this->NColumns());
  const ComponentRun byWeight(settings, weighted);
  ASSERT_FALSE(plain.status.IsError());
  ASSERT_FALSE(byWeight.status.IsError());
  const std::vector<double> a = TypeParam::Numbers(*byWeight.component.GetOutputStats());
  const std::vector<double> b = TypeParam::Numbers(*plain.component.GetOutputStats());
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NEAR_REL(a[i], b[i], 1e-12) << "number " << i;
}

TYPED_TEST_P(Conformance, EmptyDataSet) {
  const ComponentRun run(TypeParam::Settings(), {});
  run.ExpectConsistent();
  EXPECT_EQ(run.status.GetErrorCode(), KQBSN_850::BSN_NO_VALID_CASES);
  EXPECT_TRUE(run.status.IsError());
}

TYPED_TEST_P(Conformance, DisplayLeavesTheCallersStream) {
  const ComponentRun run(TypeParam::Settings(), TypeParam::Rows());
  ASSERT_NE(run.component.GetOutputStats(), nullptr);
  std::ostringstream callers, analysis, record;
  {
    KQDisplay_850::StreamScope scope(callers);
    run.component.Display(analysis);
    run.component.GetOutputStats()->Display(record);
    EXPECT_EQ(KQDisplay_850::GetOutStream(), &callers);
  }
  EXPECT_TRUE(callers.str().empty());
  EXPECT_FALSE(analysis.str().empty());
  EXPECT_FALSE(record.str().empty());
}

REGISTER_TYPED_TEST_SUITE_P(Conformance, BuildsTheTinyDataSetWithAWarning, CancellationAtEachPoll,
                            BothListenerRoutesHearTheSameReports, ProgressAt50And100AndTheEnd,
                            FrequencyWeightsCountRecordsRepeatedly, EmptyDataSet,
                            DisplayLeavesTheCallersStream);

}  // namespace kqtest
