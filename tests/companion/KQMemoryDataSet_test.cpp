#include "companion/KQMemoryDataSet.h"

#include <gtest/gtest.h>

#include "companion/KQMV.h"
#include "companion/KQThread.h"

using namespace KQCommon_850;

namespace {

KQMemoryDataSet SmallData() {
  const double m = KQMV::Missing();
  return KQMemoryDataSet::FromRows({"x", "g", "empty"}, {{1.5, 0, m}, {-2.0, 2, m}, {m, 1, m}, {4.0, 0, m}});
}

}  // namespace

TEST(KQMemoryDataSet, IteratesRowsInEveryPass) {
  const KQMemoryDataSet data = SmallData();
  KQMemoryRecordIter iter(data);
  for (int pass = 0; pass < 2; ++pass) {
    iter.StartPass();
    std::vector<double> xs;
    while (iter.HasNext()) xs.push_back((*iter.NextRecord())[0]);
    EXPECT_EQ(iter.NextRecord(), nullptr);
    ASSERT_EQ(xs.size(), 4u);
    EXPECT_EQ(xs[1], -2.0);
    EXPECT_TRUE(KQMV::IsMissing(xs[2]));
  }
}

TEST(KQMemoryDataSet, VarListRecordsRangesAndCategories) {
  const KQVarList vars = SmallData().MakeVarList({1});
  ASSERT_EQ(vars.GetNVars(), 3);
  ASSERT_NE(vars.GetContVarAt(0), nullptr);
  EXPECT_EQ(vars.GetContVarAt(0)->GetMin(), -2.0);  // the missing value is not the minimum
  EXPECT_EQ(vars.GetContVarAt(0)->GetMax(), 4.0);
  const KQCategVar* g = vars.GetCategVarAt(1);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->GetNCategories(), 3);
  EXPECT_TRUE(g->IsValidCategory(2.0) && !g->IsValidCategory(1.5));
  EXPECT_TRUE(KQMV::IsMissing(vars.GetContVarAt(2)->GetMin()));
}

TEST(KQStdThreadFactory, RunsEveryTaskOnce) {
  struct Count final : KQThread_850::IKQThreadTask {
    int runs = 0;
    bool Run() override { return ++runs > 0; }
  };
  std::vector<Count> tasks(7);
  std::vector<KQThread_850::IKQThreadTask*> pointers;
  for (auto& task : tasks) pointers.push_back(&task);
  KQThread_850::KQStdThreadFactory().CreateRunner(3)->RunTasks(pointers);
  for (const auto& task : tasks) EXPECT_EQ(task.runs, 1);
}
