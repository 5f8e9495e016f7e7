#include "frame/BSNComponent.h"

#include <gtest/gtest.h>

#include <sstream>

#include "companion/KQMemoryDataSet.h"
#include "frame/BSNStatusCodes.h"
#include "frame/CaseWeights.h"
#include "tests/support/Fakes.h"

using namespace KQBSN_850;
using KQCommon_850::KQMemoryDataSet;
using KQCommon_850::KQMemoryRecordIter;
using KQCommon_850::KQStatus;
using KQCommon_850::MultiPassRecordIter;

namespace {

KQMemoryDataSet Data() { return KQMemoryDataSet::FromRows({"x", "w"}, {{1.0, 1.0}, {2.0, 2.0}, {3.0, 0.0}}); }

void ExpectUnbuiltAndEmpty(const BSNComponent& component) {
  EXPECT_FALSE(component.IsModelBuilt());
  EXPECT_TRUE(component.GetWarningMessages().IsEmpty());
  EXPECT_EQ(component.GetOutputStats(), nullptr);
}

}  // namespace

TEST(BSNComponent, SettingsWithoutAnAnalysisBuildNothing) {
  const KQMemoryDataSet data = Data();
  const auto vars = data.MakeVarList();
  for (auto [model, dist] : {std::pair{9, 0}, std::pair{0, 5}, std::pair{-1, 0}}) {
    BSNSettings settings;
    settings.SetModelType(static_cast<BSNConst::ModelTypes>(model), true);
    settings.SetTestDistType(static_cast<BSNConst::DistTypes>(dist));
    BSNComponent component(settings, vars);
    EXPECT_FALSE(component.HasAnalysis());
    EXPECT_TRUE(component.GetStatus().IsOK());
    ExpectUnbuiltAndEmpty(component);

    KQMemoryRecordIter iter(data);
    const KQStatus st = component.BuildModel(iter);
    EXPECT_TRUE(st.IsError());
    EXPECT_EQ(st.GetErrorCode(), BSN_BAD_PARAMETER);
    EXPECT_EQ(st.GetDiscreteDatum(0), model);
    EXPECT_EQ(st.GetDiscreteDatum(1), dist);
    EXPECT_EQ(component.GetStatus(), st);
    ExpectUnbuiltAndEmpty(component);
    std::ostringstream os;
    component.Display(os);  // defined, prints nothing
    component.SetCancelPtr(nullptr);
    component.SetProgressListener(nullptr);
  }
}

TEST(BSNComponent, AnIteratorLeftAtItsEndIsReadFromTheStart) {
  // Two components read the same iterator one after the other; the second must see every record.
  const KQMemoryDataSet data = Data();
  BSNSettings settings;
  settings.SetCovariates({0});
  KQMemoryRecordIter iter(data);
  BSNComponent first(settings, data.MakeVarList());
  ASSERT_TRUE(first.BuildModel(iter).IsOK());
  BSNComponent second(settings, data.MakeVarList());
  EXPECT_TRUE(second.BuildModel(iter).IsOK());
  EXPECT_TRUE(second.IsModelBuilt());
}

namespace {

class CountingOutput final : public BSNOutputStats {
 public:
  explicit CountingOutput(double total) : total_(total) {}
  BSNConst::ModelTypes GetModelType() const override { return BSNConst::ModelTypes::OneSample; }
  BSNConst::OutputTypes GetOutputType() const override { return BSNConst::OutputTypes::Output1SampleNormal; }
  void Display(std::ostream& os) const override { os << total_; }
  double total_;
};

// A minimal analysis: sums variable 0 over the records with positive weight; fails when none.
class WeightedSum final : public BSNAlgorithm {
 public:
  using BSNAlgorithm::BSNAlgorithm;
  KQStatus BuildModel(MultiPassRecordIter& iter) override {
    double total = 0.0;
    KQStatus st = MakePass().Run(iter, [&](const std::vector<double>& values, const CaseWeight& weight) {
      total += weight.frequency * values[0];
    });
    if (st.IsOK() && total == 0.0) st = KQStatus(BSN_NO_VALID_CASES, false);
    if (!st.IsError()) outputStats_ = std::make_unique<CountingOutput>(total);
    return FinishBuild(st);
  }
  void Display(std::ostream& os) const override { os << "WeightedSum"; }
};

}  // namespace

TEST(BSNAlgorithm, BuildProtocol) {
  const KQMemoryDataSet data = Data();
  BSNSettings settings;
  settings.SetFrequencyWeightVar(1);
  kqtest::RecordingListener fromSettings;
  settings.SetProgressListener(&fromSettings);
  settings.SetProgressFrequency(1);
  WeightedSum analysis(settings, data.MakeVarList());
  settings.SetFrequencyWeightVar(0);  // the analysis keeps its own copy
  kqtest::RecordingListener later;
  analysis.SetProgressListener(&later);
  EXPECT_EQ(analysis.GetOutputStats(), nullptr);
  KQMemoryRecordIter iter(data);
  const KQStatus st = analysis.BuildModel(iter);
  EXPECT_TRUE(st.IsOK());
  EXPECT_TRUE(analysis.IsModelBuilt());
  ASSERT_NE(analysis.GetOutputStats(), nullptr);
  EXPECT_EQ(static_cast<const CountingOutput*>(analysis.GetOutputStats())->total_, 5.0);  // 1·1 + 2·2 + 3·0
  EXPECT_TRUE(fromSettings.records.empty());
  EXPECT_EQ(later.records, (std::vector<int>{1, 2}));  // the zero-weight record is not counted
}

TEST(BSNAlgorithm, CancelledBuildStaysUnbuilt) {
  const KQMemoryDataSet data = Data();
  WeightedSum analysis(BSNSettings(), data.MakeVarList());
  kqtest::CancelAfter query(1);
  analysis.SetCancelPtr(&query);
  KQMemoryRecordIter iter(data);
  const KQStatus st = analysis.BuildModel(iter);
  EXPECT_EQ(st.GetErrorCode(), BSN_STATUS_CANCELLED);
  EXPECT_EQ(analysis.GetStatus(), st);
  EXPECT_FALSE(analysis.IsModelBuilt());
  EXPECT_EQ(analysis.GetOutputStats(), nullptr);
}

namespace {

// An analysis whose computation lets an exception out after a warning and a result record.
class Throwing final : public BSNAlgorithm {
 public:
  using BSNAlgorithm::BSNAlgorithm;
  KQStatus BuildModel(MultiPassRecordIter&) override {
    AddWarning(KQStatus(BSN_CONSTANT_FIELDS, true));
    outputStats_ = std::make_unique<CountingOutput>(1.0);
    throw std::domain_error("no root");
  }
  void Display(std::ostream& os) const override { os << "Throwing"; }
};

}  // namespace

TEST(BSNAlgorithm, AnExceptionBecomesAnInternalError) {
  const KQMemoryDataSet data = Data();
  Throwing analysis(BSNSettings(), data.MakeVarList());
  KQMemoryRecordIter iter(data);
  const KQStatus st = analysis.GuardedBuildModel(iter);
  EXPECT_EQ(st.GetErrorCode(), BSN_INTERNAL_ERROR);
  EXPECT_EQ(analysis.GetStatus(), st);
  EXPECT_FALSE(analysis.IsModelBuilt());
  EXPECT_EQ(analysis.GetOutputStats(), nullptr);
  EXPECT_EQ(analysis.GetWarningMessages().Size(), 1u);
}
