#include "frame/BSNComponent.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "companion/KQMemoryDataSet.h"
#include "frame/BSNAlgorithm.h"
#include "frame/BSNStatusCodes.h"

using namespace KQBSN_850;
using namespace KQCommon_850;

namespace {

KQMemoryDataSet Data() { return KQMemoryDataSet::FromRows({"x", "w"}, {{1.0, 1.0}, {2.0, 2.0}, {3.0, 0.0}}); }

class OneValueOutput final : public BSNOutputStats {
 public:
  BSNConst::ModelTypes GetModelType() const override { return BSNConst::ModelTypes::OneSample; }
  BSNConst::OutputTypes GetOutputType() const override { return BSNConst::OutputTypes::Output1SampleNormal; }
  void Display(std::ostream& os) const override { os << "one value"; }
};

// An analysis whose computation lets an exception out after a warning and a result record.
class Throwing final : public BSNAlgorithm {
 public:
  using BSNAlgorithm::BSNAlgorithm;
  KQStatus BuildModel(MultiPassRecordIter&) override {
    AddWarning(KQStatus(BSN_CONSTANT_FIELDS, true));
    outputStats_ = std::make_unique<OneValueOutput>();
    throw std::domain_error("no root");
  }
  void Display(std::ostream& os) const override { os << "Throwing"; }
};

}  // namespace

TEST(BSNComponent, SettingsWithoutAnAnalysisBuildNothing) {
  const KQMemoryDataSet data = Data();
  for (auto [model, dist] : {std::pair{9, 0}, std::pair{0, 5}, std::pair{-1, 0}}) {
    BSNSettings settings;
    settings.SetModelType(static_cast<BSNConst::ModelTypes>(model), true);
    settings.SetTestDistType(static_cast<BSNConst::DistTypes>(dist));
    BSNComponent component(settings, data.MakeVarList());
    EXPECT_FALSE(component.HasAnalysis());
    KQMemoryRecordIter iter(data);
    const KQStatus st = component.BuildModel(iter);
    EXPECT_EQ(st.GetErrorCode(), BSN_BAD_PARAMETER);
    EXPECT_EQ(st.GetDiscreteDatum(0), model);
    EXPECT_EQ(st.GetDiscreteDatum(1), dist);
    EXPECT_FALSE(component.IsModelBuilt());
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
}

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
