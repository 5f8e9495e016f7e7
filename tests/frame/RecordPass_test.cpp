#include "frame/RecordPass.h"

#include <gtest/gtest.h>

#include "frame/CaseWeights.h"
#include "tests/support/Fakes.h"

using namespace KQBSN_850;
using KQCommon_850::KQCancelInfo;
using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;
using kqtest::VectorRecordIter;

namespace {

std::vector<std::optional<std::vector<double>>> Rows(int n) {
  std::vector<std::optional<std::vector<double>>> rows;
  for (int i = 0; i < n; ++i) rows.push_back(std::vector<double>{static_cast<double>(i)});
  return rows;
}

std::vector<int> ReportsFor(int nRecords, int frequency = 50) {
  BSNSettings settings;
  settings.SetProgressFrequency(frequency);
  kqtest::RecordingListener listener;
  KQCancelInfo cancel;
  VectorRecordIter iter(Rows(nRecords));
  RecordPass pass(settings, cancel, &listener);
  EXPECT_TRUE(pass.Run(iter, [](const std::vector<double>&) { return true; }).IsOK());
  EXPECT_EQ(pass.GetNUsed(), nRecords);
  return listener.records;
}

}  // namespace

TEST(RecordPass, ReportsEveryFrequencyAndOnceAtTheEnd) {
  EXPECT_EQ(ReportsFor(120), (std::vector<int>{50, 100, 120}));
  EXPECT_EQ(ReportsFor(100), (std::vector<int>{50, 100}));
  EXPECT_EQ(ReportsFor(3, 1), (std::vector<int>{1, 2, 3}));
  EXPECT_TRUE(ReportsFor(0).empty());
}

TEST(RecordPass, CountsOnlyUsedRecords) {
  BSNSettings settings;
  settings.SetProgressFrequency(2);
  kqtest::RecordingListener listener;
  KQCancelInfo cancel;
  VectorRecordIter iter(Rows(7));
  RecordPass pass(settings, cancel, &listener);
  // Only even values count: 0, 2, 4, 6.
  ASSERT_TRUE(
      pass.Run(iter, [](const std::vector<double>& v) { return static_cast<int>(v[0]) % 2 == 0; }).IsOK());
  EXPECT_EQ(listener.records, (std::vector<int>{2, 4}));
  // No record used: no report at all.
  listener.records.clear();
  ASSERT_TRUE(pass.Run(iter, [](const std::vector<double>&) { return false; }).IsOK());
  EXPECT_TRUE(listener.records.empty());
  EXPECT_EQ(iter.GetNStartPass(), 2);
}

TEST(RecordPass, NullRecordEndsOrIsSkipped) {
  BSNSettings settings;
  KQCancelInfo cancel;
  auto rows = Rows(4);
  rows[1].reset();
  int seen = 0;
  auto count = [&](const std::vector<double>&) { return ++seen > 0; };
  VectorRecordIter iter(rows);
  ASSERT_TRUE(RecordPass(settings, cancel, nullptr).Run(iter, count).IsOK());
  EXPECT_EQ(seen, 1);
  seen = 0;
  ASSERT_TRUE(RecordPass(settings, cancel, nullptr, {.nullRecordEndsPass = false}).Run(iter, count).IsOK());
  EXPECT_EQ(seen, 3);
}

TEST(RecordPass, HasAnyRecordRewindsFirst) {
  VectorRecordIter iter(Rows(2));
  while (iter.HasNext()) iter.NextRecord();
  EXPECT_TRUE(HasAnyRecord(iter));
  VectorRecordIter empty(Rows(0));
  EXPECT_FALSE(HasAnyRecord(empty));
}

TEST(RecordPass, CancellationStopsThePass) {
  BSNSettings settings;
  kqtest::CancelAfter query(3);
  KQCancelInfo cancel(&query);
  kqtest::RecordingListener listener;
  VectorRecordIter iter(Rows(10));
  int seen = 0;
  const KQStatus st = RecordPass(settings, cancel, &listener).Run(iter, [&](const std::vector<double>&) {
    ++seen;
    return true;
  });
  EXPECT_TRUE(st.IsError());
  EXPECT_EQ(st.GetErrorCode(), BSN_STATUS_CANCELLED);
  EXPECT_EQ(seen, 3);
  EXPECT_TRUE(listener.records.empty());
  // Without per-record polling the host is not asked during the pass.
  kqtest::CancelAfter never(100);
  KQCancelInfo quiet(&never);
  EXPECT_TRUE(RecordPass(settings, quiet, nullptr, {.pollCancelPerRecord = false})
                  .Run(iter, [](const std::vector<double>&) { return true; })
                  .IsOK());
  EXPECT_EQ(never.nAsked, 0);
}

TEST(BSNReporter, AnswersRecordsOnly) {
  BSNReporter reporter(7);
  EXPECT_EQ(reporter.DiscreteMeasure("records"), 7);
  EXPECT_EQ(reporter.DiscreteMeasure("Records"), -1);
  EXPECT_EQ(reporter.DiscreteMeasure("cases"), -1);
  EXPECT_TRUE(KQMV::IsMissing(reporter.ScaleMeasure("records")));
  BSNReporter copy = reporter;
  reporter.SetNRecords(9);
  EXPECT_EQ(copy.DiscreteMeasure("records"), 7);
}

TEST(CaseWeights, RoundsHalvesUpAndDropsSmallOrMissing) {
  EXPECT_EQ(RoundedFrequencyWeight(2.4), 2.0);
  EXPECT_EQ(RoundedFrequencyWeight(2.5), 3.0);
  EXPECT_EQ(RoundedFrequencyWeight(0.5), 1.0);
  EXPECT_EQ(RoundedFrequencyWeight(0.49), 0.0);
  EXPECT_EQ(RoundedFrequencyWeight(-3.0), 0.0);
  EXPECT_EQ(RoundedFrequencyWeight(KQMV::Missing()), 0.0);
  EXPECT_EQ(RoundedFrequencyWeight(std::numeric_limits<double>::quiet_NaN()), 0.0);
  EXPECT_EQ(RoundedFrequencyWeight(1e12 + 0.7), 1e12 + 1.0);
  const std::vector<double> values{3.6, 1.0};
  EXPECT_EQ(FrequencyWeight(-1)(values), 1.0);
  EXPECT_EQ(FrequencyWeight(0)(values), 4.0);
  EXPECT_EQ(FrequencyWeight(2)(values), 0.0);  // beyond the record: no weight
}
