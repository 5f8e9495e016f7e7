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
    while (iter.HasNext()) {
      const Record* record = iter.NextRecord();
      ASSERT_NE(record, nullptr);
      ASSERT_EQ(record->GetAll().size(), 3u);
      EXPECT_EQ((*record)[0], record->GetAll()[0]);
      xs.push_back((*record)[0]);
    }
    EXPECT_EQ(iter.NextRecord(), nullptr);
    ASSERT_EQ(xs.size(), 4u);
    EXPECT_EQ(xs[1], -2.0);
    EXPECT_TRUE(KQMV::IsMissing(xs[2]));
  }
}

TEST(KQMemoryDataSet, VarListRecordsRangesAndCategories) {
  const KQVarList vars = SmallData().MakeVarList({1});
  ASSERT_EQ(vars.GetNVars(), 3);
  const KQContVar* x = vars.GetContVarAt(0);
  ASSERT_NE(x, nullptr);
  EXPECT_EQ(x->GetMin(), -2.0);
  EXPECT_EQ(x->GetMax(), 4.0);
  const KQCategVar* g = vars.GetCategVarAt(1);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->GetNCategories(), 3);
  EXPECT_TRUE(g->IsValidCategory(2.0));
  EXPECT_FALSE(g->IsValidCategory(1.5));
  EXPECT_TRUE(KQMV::IsMissing(vars.GetContVarAt(2)->GetMin()));
  EXPECT_EQ(vars.GetVarAt(3), nullptr);
  EXPECT_EQ(vars.FindVar("g"), 1);
  const KQVarList copy = vars;  // deep copy
  EXPECT_EQ(copy.GetContVarAt(0)->GetMax(), 4.0);
  EXPECT_NE(copy.GetVarAt(0), vars.GetVarAt(0));
}

TEST(KQStdThreadFactory, RunsEveryTaskOnce) {
  struct Count final : KQThread_850::IKQThreadTask {
    int runs = 0;
    bool Run() override { return ++runs > 0; }
  };
  std::vector<Count> tasks(7);
  std::vector<KQThread_850::IKQThreadTask*> pointers;
  for (auto& task : tasks) pointers.push_back(&task);
  KQThread_850::KQStdThreadFactory factory;
  factory.CreateRunner(3)->RunTasks(pointers);
  for (const auto& task : tasks) EXPECT_EQ(task.runs, 1);
}
