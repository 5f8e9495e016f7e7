#include <gtest/gtest.h>

#include <sstream>

#include "companion/KQDisplay.h"
#include "frame/BSNComponentDisplay.h"
#include "frame/BSNSettings.h"
#include "frame/BSNStatusCodes.h"
#include "frame/BayesEstimation.h"

using namespace KQBSN_850;
using KQCommon_850::KQMV;
using KQCommon_850::KQStatus;

namespace {

std::string SettingsText(const BSNSettings& settings) {
  std::ostringstream os;
  settings.Display(os);
  return os.str();
}

/// Runs a printer with the display stream pointed at a string.
template <class Print>
std::string Printed(Print print) {
  std::ostringstream os;
  KQDisplay_850::StreamScope scope(os);
  print();
  return os.str();
}

bool Has(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

}  // namespace

TEST(SettingsDisplay, NewSettingsLeaveOutMissingDoubles) {
  BSNSettings settings;
  settings.SetNCases(-5);
  const std::string text = SettingsText(settings);
  EXPECT_EQ(text.rfind("BSNSettings display start", 0), 0u);
  EXPECT_TRUE(Has(text, "End of display BSNSettings object\n"));
  EXPECT_TRUE(Has(text, "Prior Distribution Type = Diffuse\n"));
  EXPECT_TRUE(Has(text, "Model Type = One-Sample\n"));
  EXPECT_TRUE(Has(text, "Number of cases = 0\n"));
  EXPECT_TRUE(Has(text, "Progress Report Frequency = 50\n"));
  // Each label starts a line; "Null Prior Parameter 1" must not count as "Prior Parameter 1".
  for (const char* label :
       {"\nPrior Parameter 1", "\nPrior Parameter 2", "\nPrior Distribution Parameter",
        "\nMean Distribution Parameter", "\nSecond Gonen Parameter", "\nShape Value", "\nScale Value"})
    EXPECT_FALSE(Has(text, label)) << label;
  // The regression parameter is printed even while missing.
  EXPECT_TRUE(Has(text, "Regression Computation Parameter = missing"));
  // Labels come in their fixed order.
  EXPECT_LT(text.find("Model Type"), text.find("Number of cases"));
  EXPECT_LT(text.find("Kappa Value"), text.find("Mean Values"));
  EXPECT_LT(text.find("Max number of threads"), text.find("Progress Report Frequency"));
}

TEST(SettingsDisplay, PresentDoublesAndFTestsArePrinted) {
  BSNSettings settings;
  settings.SetModelType(BSNConst::ModelTypes::Correlation, false);
  settings.SetPriorShape(2.5);
  settings.SetMeanDistParam3(4.0);
  settings.SetFTests({BayesFTest(true, {1, 2}, {0.0, 1.0}, "slopes"), BayesFTest()});
  const std::string text = SettingsText(settings);
  EXPECT_TRUE(Has(text, "Model Type = Correlation\n"));
  EXPECT_TRUE(Has(text, "Shape Value = 2.5\n"));
  EXPECT_TRUE(Has(text, "Mean Distribution Parameter 3 = 4\n"));
  EXPECT_FALSE(Has(text, "Mean Distribution Parameter 1"));
  EXPECT_TRUE(Has(text, "\nStart Display of BayesFTest. Use intercept = true\n"));
  EXPECT_TRUE(Has(text, "Label = slopes\n"));
  EXPECT_EQ(text.find("Label ="), text.rfind("Label ="));  // the unlabelled test prints no label
  EXPECT_LT(text.find("Use intercept"), text.find("LogLinear Shape params"));
}

TEST(SettingsDisplay, RestoresTheCallersStream) {
  std::ostringstream outer;
  KQDisplay_850::SetOutStream(&outer);
  SettingsText(BSNSettings());
  EXPECT_EQ(KQDisplay_850::GetOutStream(), &outer);
  KQDisplay_850::SetOutStream(nullptr);
  EXPECT_TRUE(outer.str().empty());
}

TEST(ComponentDisplay, EnumerationWords) {
  using C = BSNComponentDisplay;
  EXPECT_EQ(Printed([] { C::DisplayC("Model Type", BSNConst::ModelTypes::Correlation); }),
            "Model Type = Correlation\n");
  EXPECT_EQ(Printed([] { C::DisplayC("Model Type", static_cast<BSNConst::ModelTypes>(7)); }),
            "Model Type = unrecognized\n");
  EXPECT_EQ(Printed([] { C::DisplayC("T", BSNConst::DistTypes::InverseChiSquare); }),
            "T = Inverse Chi-Square\n");
  EXPECT_EQ(Printed([] { C::DisplayC("O", BSNConst::OutputTypes::OutputCorrelation); }),
            "O = Output Correllation\n");
  EXPECT_EQ(Printed([] { C::DisplayC("Prior type", BSNConst::LogLinPriorType::Intrinsic); }),
            "Prior type = Intrinsic\n");
  EXPECT_EQ(Printed([] { C::DisplayC("Prior type", static_cast<BSNConst::LogLinPriorType>(3)); }),
            "Prior type\n");
}

TEST(ComponentDisplay, Statuses) {
  const std::string ok = Printed([] { BSNComponentDisplay::DisplayStatus("Status", KQStatus()); });
  EXPECT_EQ(ok, "Status\nIsError = false\nerror code = 0\n\nDiscrete Datum 0 = 0\n");
  KQStatus warning(BSN_CONSTANT_FIELDS, true);
  warning.SetDiscreteDatum(0, 3);
  const std::string list = Printed([&] {
    BSNComponentDisplay::DisplayVStatus("Warnings", {KQStatus(BSN_NO_VALID_CASES, false), warning});
  });
  EXPECT_TRUE(Has(list,
                  "Warnings\n  size = 2\nindex = 0\nIsError = true\nerror code = 410003\n"
                  "Error: No valid cases were found\n"));
  EXPECT_TRUE(Has(list,
                  "index = 1\nIsError = false\nerror code = 410010\n"
                  "Warning: some constant fields have been found\nDiscrete Datum 0 = 3\n"));
}

TEST(BayesEstimation, DefaultsMissingAndDisplays) {
  const BayesEstimation empty;
  EXPECT_TRUE(KQMV::IsMissing(empty.mode) && KQMV::IsMissing(empty.upper));
  const BayesEstimation e(1.0, 2.0, 0.25, -1.5, 3.5);
  std::ostringstream os;
  e.Display(os);
  EXPECT_EQ(os.str(),
            "Mode value = 1\nMean value for posterior = 2\nVariance value = 0.25\nLower bound value = -1.5\n"
            "Upper bound value = 3.5\n");
}
