#include "companion/KQMemoryDataSet.h"

#include <gtest/gtest.h>

#include "companion/KQMV.h"
#include "companion/KQThread.h"

using namespace KQCommon_850;

TEST(KQMemoryDataSet, VarListRecordsRangesAndCategories) {
  const double m = KQMV::Missing();
  const KQVarList vars =
      KQMemoryDataSet::FromRows({"x", "g", "empty"}, {{1.5, 0, m}, {-2.0, 2, m}, {m, 1, m}, {4.0, 0, m}})
          .MakeVarList({1});
  ASSERT_NE(vars.GetContVarAt(0), nullptr);
  EXPECT_EQ(vars.GetContVarAt(0)->GetMin(), -2.0);  // the missing value is not the minimum
  EXPECT_EQ(vars.GetContVarAt(0)->GetMax(), 4.0);
  ASSERT_NE(vars.GetCategVarAt(1), nullptr);
  EXPECT_TRUE(vars.GetCategVarAt(1)->IsValidCategory(2.0) && !vars.GetCategVarAt(1)->IsValidCategory(1.5));
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
