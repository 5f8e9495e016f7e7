#include "frame/RecordPass.h"

#include <gtest/gtest.h>

#include "frame/CaseWeights.h"
#include "tests/support/Fakes.h"

using namespace KQBSN_850;
using kqtest::VectorRecordIter;

namespace {

std::vector<std::optional<std::vector<double>>> Rows(int n) {
  std::vector<std::optional<std::vector<double>>> rows;
  for (int i = 0; i < n; ++i) rows.push_back(std::vector<double>{static_cast<double>(i)});
  return rows;
}

}  // namespace

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
