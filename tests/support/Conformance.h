#pragma once
// The behaviour every analysis shares, checked once for all through BSNComponent: cancellation at
// each poll, progress through both listener routes, frequency weights as repeated records, the empty
// data set, the status protocol and Display leaving the caller's stream alone.
//
// An analysis joins with a traits struct:
//   static BSNSettings Settings();               // settings over the columns of Rows()
//   static kqtest::Rows Rows();                  // a tiny data set; at least one variable warns
//   static std::vector<double> Numbers(const BSNOutputStats&);  // the record's main numbers
//   static constexpr bool kCountsZeroWeights;    // progress counts records of weight 0 too
//   static constexpr int kPasses;                // passes over the records, each reporting progress
//   static KQVarList VarList();                  // optional: the variable dictionary (else empty)

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "companion/KQDisplay.h"
#include "companion/KQMV.h"
#include "frame/BSNStatusCodes.h"
#include "tests/support/BuiltAnalysis.h"
#include "tests/support/ExpectNearRel.h"

namespace kqtest {

/// The traits' data set with one more column, its frequency weights (`weight(i)` for row i).
template <class Traits, class Weight>
Rows Weighted(std::size_t n, const Weight& weight) {
  Rows rows;
  while (rows.size() < n)
    for (const auto& row : Traits::Rows()) {
      rows.push_back(row);
      rows.back()->push_back(weight(rows.size() - 1));
    }
  return rows;
}

/// The traits' variable dictionary, or an empty one.
template <class Traits>
KQCommon_850::KQVarList VarsOf() {
  if constexpr (requires { Traits::VarList(); })
    return Traits::VarList();
  else
    return {};
}

template <class Traits>
class Conformance : public ::testing::Test {};

TYPED_TEST_SUITE_P(Conformance);

TYPED_TEST_P(Conformance, BuildsTheTinyDataSetWithAWarningDisplaysItAndNotAnEmptyOne) {
  const BuiltAnalysis<> run(TypeParam::Settings(), TypeParam::Rows(), nullptr, nullptr, VarsOf<TypeParam>());
  ASSERT_FALSE(run.status.IsError()) << run.status.GetErrorCode();
  run.ExpectConsistent();
  EXPECT_FALSE(run.ListedWarnings().empty());  // so that the cancellation test sees warnings kept
  const std::vector<double> numbers = TypeParam::Numbers(*run.Record());
  EXPECT_FALSE(numbers.empty());
  // The component keeps its own copy of the settings: changing them after construction changes nothing.
  KQBSN_850::BSNSettings settings = TypeParam::Settings();
  KQBSN_850::BSNComponent component(settings, VarsOf<TypeParam>());
  settings.SetFrequencyWeightVar(0);
  settings.SetCILevel(50.0);
  VectorRecordIter iter(TypeParam::Rows());
  ASSERT_FALSE(component.BuildModel(iter).IsError());
  EXPECT_EQ(TypeParam::Numbers(*component.GetOutputStats()), numbers);
  // Display writes to the stream it is given and leaves the caller's stream alone.
  std::ostringstream callers, analysis, record;
  {
    KQDisplay_850::StreamScope scope(callers);
    run.component.Display(analysis);
    run.Record()->Display(record);
    EXPECT_EQ(KQDisplay_850::GetOutStream(), &callers);
  }
  EXPECT_TRUE(callers.str().empty());
  EXPECT_FALSE(analysis.str().empty() || record.str().empty());
  // The empty data set has no valid case.
  const BuiltAnalysis<> empty(TypeParam::Settings(), {}, nullptr, nullptr, VarsOf<TypeParam>());
  empty.ExpectConsistent();
  EXPECT_TRUE(empty.status.IsError());
  EXPECT_EQ(empty.status.GetErrorCode(), KQBSN_850::BSN_NO_VALID_CASES);
}

TYPED_TEST_P(Conformance, CancellationAtEachPoll) {
  const Warnings allWarnings =
      BuiltAnalysis<>(TypeParam::Settings(), TypeParam::Rows(), nullptr, nullptr, VarsOf<TypeParam>())
          .ListedWarnings();
  bool keptAWarning = false;
  int n = 0;
  for (;; ++n) {
    ASSERT_LT(n, 10000) << "the build never finished";
    CancelAfter query(n);
    const BuiltAnalysis<> run(TypeParam::Settings(), TypeParam::Rows(), &query, nullptr, VarsOf<TypeParam>());
    run.ExpectConsistent();
    if (!run.status.IsError()) break;
    const int code = run.status.GetErrorCode();
    EXPECT_TRUE(code == KQBSN_850::BSN_STATUS_CANCELLED || code == KQBSN_850::BSN_CANCELLED)
        << "poll " << n << ": code " << code;
    // The warnings listed before the cancellation stay, in order.
    const Warnings kept = run.ListedWarnings();
    ASSERT_LE(kept.size(), allWarnings.size()) << "poll " << n;
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), allWarnings.begin())) << "poll " << n;
    keptAWarning = keptAWarning || !kept.empty();
  }
  EXPECT_GT(n, 0);  // the build polls at least once
  EXPECT_TRUE(keptAWarning);
}

TYPED_TEST_P(Conformance, ProgressAt50And100AndTheEndThroughBothListenerRoutes) {
  // The data set over and over, weights 1, 0, 2 in turn, to at least 120 records.
  const Rows rows =
      Weighted<TypeParam>(120, [](std::size_t i) { return i % 3 == 1 ? 0.0 : 1.0 + i % 3 / 2; });
  int counted = 0;
  for (const auto& row : rows) counted += row->back() > 0.0 || TypeParam::kCountsZeroWeights;
  std::vector<int> expected;
  for (int pass = 0; pass < TypeParam::kPasses; ++pass) {
    for (int n = 50; n <= counted; n += 50) expected.push_back(n);
    if (counted % 50 != 0) expected.push_back(counted);
  }
  KQBSN_850::BSNSettings settings = TypeParam::Settings();
  settings.SetFrequencyWeightVar(static_cast<int>(rows[0]->size()) - 1);
  RecordingListener fromSettings, replaced, fromComponent;
  settings.SetProgressListener(&fromSettings);
  ASSERT_FALSE(BuiltAnalysis<>(settings, rows, nullptr, nullptr, VarsOf<TypeParam>()).status.IsError());
  EXPECT_EQ(fromSettings.records, expected);
  // A listener given to the component replaces the one in the settings.
  settings.SetProgressListener(&replaced);
  ASSERT_FALSE(
      BuiltAnalysis<>(settings, rows, nullptr, &fromComponent, VarsOf<TypeParam>()).status.IsError());
  EXPECT_EQ(fromComponent.records, expected);
  EXPECT_TRUE(replaced.records.empty()) << "the replaced listener heard " << replaced.records.size();
}

TYPED_TEST_P(Conformance, FrequencyWeightsCountRecordsRepeatedly) {
  // Weights 2, 1.5 and 2.6 round to 2 and 3 copies; 0, 0.4, -1 and missing drop the record.
  const std::vector<double> weights = {2, 1, 0, KQCommon_850::KQMV::Missing(), 1.5, 0.4, 1, -1, 2.6};
  const std::vector<int> copies = {2, 1, 0, 0, 2, 0, 1, 0, 3};
  const Rows weighted = Weighted<TypeParam>(1, [&](std::size_t i) { return weights[i % weights.size()]; });
  Rows repeated;
  for (std::size_t i = 0; i < weighted.size(); ++i)
    repeated.insert(repeated.end(), copies[i % copies.size()], TypeParam::Rows()[i]);
  KQBSN_850::BSNSettings settings = TypeParam::Settings();
  const BuiltAnalysis<> plain(settings, repeated, nullptr, nullptr, VarsOf<TypeParam>());
  settings.SetFrequencyWeightVar(static_cast<int>(weighted[0]->size()) - 1);
  const BuiltAnalysis<> byWeight(settings, weighted, nullptr, nullptr, VarsOf<TypeParam>());
  ASSERT_FALSE(plain.status.IsError() || byWeight.status.IsError());
  const std::vector<double> a = TypeParam::Numbers(*byWeight.Record()),
                            b = TypeParam::Numbers(*plain.Record());
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NEAR_REL(a[i], b[i], 1e-12) << "number " << i;
}

REGISTER_TYPED_TEST_SUITE_P(Conformance, BuildsTheTinyDataSetWithAWarningDisplaysItAndNotAnEmptyOne,
                            CancellationAtEachPoll, ProgressAt50And100AndTheEndThroughBothListenerRoutes,
                            FrequencyWeightsCountRecordsRepeatedly);

}  // namespace kqtest
