#include <gtest/gtest.h>

#include <sstream>

#include "companion/KQDisplay.h"
#include "frame/BSNComponentDisplay.h"
#include "frame/BSNSettings.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

namespace {

bool Has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

}  // namespace

TEST(SettingsDisplay, MissingDoublesAreLeftOutAndTheCallersStreamKept) {
  std::ostringstream callers, os;
  KQDisplay_850::StreamScope scope(callers);
  BSNSettings settings;
  settings.Display(os);
  // Each label starts a line; "Null Prior Parameter 1" must not count as "Prior Parameter 1".
  for (const char* label : {"\nPrior Parameter 1", "\nShape Value", "\nMean Distribution Parameter"})
    EXPECT_FALSE(Has(os.str(), label)) << label;
  settings.SetPriorShape(2.5);
  settings.SetMeanDistParam3(4.0);
  os.str("");
  settings.Display(os);
  EXPECT_TRUE(Has(os.str(), "\nShape Value = 2.5\n"));
  EXPECT_TRUE(Has(os.str(), "\nMean Distribution Parameter 3 = 4\n"));
  EXPECT_FALSE(Has(os.str(), "Mean Distribution Parameter 1"));
  EXPECT_EQ(KQDisplay_850::GetOutStream(), &callers);
  EXPECT_TRUE(callers.str().empty());
}

TEST(ComponentDisplay, UnknownEnumerationValues) {
  const auto printed = [](auto print) {
    std::ostringstream os;
    KQDisplay_850::StreamScope scope(os);
    print();
    return os.str();
  };
  using C = BSNComponentDisplay;
  EXPECT_EQ(printed([] { C::DisplayC("Model Type", static_cast<BSNConst::ModelTypes>(7)); }),
            "Model Type = unrecognized\n");
  EXPECT_EQ(printed([] { C::DisplayC("Prior type", static_cast<BSNConst::LogLinPriorType>(3)); }),
            "Prior type\n");
}
