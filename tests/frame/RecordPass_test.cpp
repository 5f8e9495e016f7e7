#include "frame/RecordPass.h"

#include <gtest/gtest.h>

#include <limits>

#include "frame/CaseWeights.h"
#include "tests/support/Fakes.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using kqtest::VectorRecordIter;
using Rows = std::vector<std::optional<std::vector<double>>>;

namespace {

Rows Counting(int n) {
  Rows rows;
  for (int i = 0; i < n; ++i) rows.push_back(std::vector<double>{static_cast<double>(i)});
  return rows;
}

// The values handed to the analysis and the reports a listener hears in one pass.
struct Seen {
  std::vector<double> firstValues;
  std::vector<double> frequencies, products;
  std::vector<int> reports;
  KQStatus status;
};

Seen RunPass(const BSNSettings& settings, Rows rows, PassOptions options = {}, std::vector<int> screened = {},
             KQQueryCancel* query = nullptr) {
  Seen seen;
  kqtest::RecordingListener listener;
  KQCancelInfo cancel(query);
  VectorRecordIter iter(std::move(rows));
  RecordPass pass(settings, cancel, &listener, options, std::move(screened));
  seen.status = pass.Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
    seen.firstValues.push_back(values[0]);
    seen.frequencies.push_back(weight.frequency);
    seen.products.push_back(weight.Product());
  });
  seen.reports = listener.records;
  return seen;
}

}  // namespace

TEST(RecordPass, WeightsRoundedZeroWeightsSkippedAndProgressReported) {
  BSNSettings settings;
  settings.SetProgressFrequency(1);
  settings.SetFrequencyWeightVar(1);
  const double missing = KQMV::Missing(), nan = std::numeric_limits<double>::quiet_NaN();
  // Rounding halves up: 2.4 -> 2, 2.5 -> 3, 0.5 -> 1; 0.49, negatives, missing and NaN weigh 0, and so
  // does a record too short to hold the weight. By hand, trunc(f + 0.5): the largest double below 1.5
  // gives 1, 6.5 gives 7, 2^52 - 0.5 gives 2^52 and 2^53 stays as it is.
  const Rows rows{std::vector<double>{0, 2.4},
                  std::vector<double>{1, 2.5},
                  std::vector<double>{2, 0.5},
                  std::vector<double>{3, 0.49},
                  std::vector<double>{4, -3},
                  std::vector<double>{5, missing},
                  std::vector<double>{6, nan},
                  std::vector<double>{7},
                  std::vector<double>{8, 1e12 + 0.7},
                  std::vector<double>{9, 1.4999999999999998},
                  std::vector<double>{10, 6.5},
                  std::vector<double>{11, 4503599627370495.5},
                  std::vector<double>{12, 9007199254740992.0}};
  const Seen used = RunPass(settings, rows);
  EXPECT_EQ(used.firstValues, (std::vector<double>{0, 1, 2, 8, 9, 10, 11, 12}));
  EXPECT_EQ(used.frequencies,
            (std::vector<double>{2, 3, 1, 1e12 + 1, 1, 7, 4503599627370496.0, 9007199254740992.0}));
  EXPECT_EQ(used.reports, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  // Counting every record: the skipped ones count toward progress too.
  EXPECT_EQ(RunPass(settings, rows, {.progress = ProgressCount::EveryRecord}).reports.back(), 13);
}

TEST(RecordPass, RegressionWeightsMultiplyAndMustBePositive) {
  BSNSettings settings;
  settings.SetFrequencyWeightVar(1);
  settings.SetRegrWeightVar(2);
  const Rows rows{std::vector<double>{0, 2, 0.5}, std::vector<double>{1, 1, 0}, std::vector<double>{2, 1, -1},
                  std::vector<double>{3, 1, KQMV::Missing()}, std::vector<double>{4, 0, 3}};
  const Seen both = RunPass(settings, rows, {.weights = WeightRule::FrequencyAndRegression});
  EXPECT_EQ(both.firstValues, (std::vector<double>{0}));
  EXPECT_EQ(both.products[0], 1.0);  // 2 x 0.5
}

TEST(RecordPass, ListwiseScreeningSkipsRecordsWithAMissingScreenedValue) {
  BSNSettings settings;
  const double missing = KQMV::Missing(), nan = std::numeric_limits<double>::quiet_NaN();
  const Rows rows{std::vector<double>{0, 1, 1}, std::vector<double>{1, missing, 1},
                  std::vector<double>{2, 1, nan}, std::vector<double>{3, 1}, std::vector<double>{4, 1, 1}};
  const PassOptions listwise{.missScope = BSNConst::MissScope::MissingListwise};
  EXPECT_EQ(RunPass(settings, rows, listwise, {1, 2}).firstValues, (std::vector<double>{0, 4}));
  EXPECT_EQ(RunPass(settings, rows, listwise, {1}).firstValues, (std::vector<double>{0, 2, 3, 4}));
}

TEST(RecordPass, NullRecordEndsOrIsSkipped) {
  BSNSettings settings;
  Rows rows = Counting(4);
  rows[1].reset();
  EXPECT_EQ(RunPass(settings, rows).firstValues, (std::vector<double>{0}));
  EXPECT_EQ(RunPass(settings, rows, {.nullRecordEndsPass = false}).firstValues,
            (std::vector<double>{0, 2, 3}));
}

TEST(RecordPass, CancellationStopsThePassWithoutAFinalReport) {
  BSNSettings settings;
  kqtest::CancelAfter query(3);
  const Seen seen = RunPass(settings, Counting(10), {}, {}, &query);
  EXPECT_EQ(seen.status.GetErrorCode(), BSN_STATUS_CANCELLED);
  EXPECT_EQ(seen.firstValues.size(), 3u);
  EXPECT_TRUE(seen.reports.empty());
  // Without per-record polling the host is not asked during the pass.
  kqtest::CancelAfter never(100);
  EXPECT_TRUE(RunPass(settings, Counting(10), {.pollCancelPerRecord = false}, {}, &never).status.IsOK());
  EXPECT_EQ(never.nAsked, 0);
  // A yes given before the pass stops it at its first record, also once the host's query is gone.
  kqtest::CancelAfter yes(0);
  KQCancelInfo answered(&yes);
  ASSERT_TRUE(answered.IsCancel());
  answered.SetCancelPtr(nullptr);
  VectorRecordIter iter(Counting(3));
  int nVisited = 0;
  const KQStatus status =
      RecordPass(settings, answered, nullptr).Run(iter, [&](const auto&, const auto&) { ++nVisited; });
  EXPECT_EQ(status.GetErrorCode(), BSN_STATUS_CANCELLED);
  EXPECT_EQ(nVisited, 0);
}
