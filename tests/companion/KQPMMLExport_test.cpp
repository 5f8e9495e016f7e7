#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "companion/KQBitSet.h"
#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"
#include "companion/KQPMMLExporter.h"
#include "companion/KQPMMLRegrExporter.h"
#include "companion/KQRegSettings.h"
#include "companion/KQSymMatrix.h"
#include "companion/KQVarList.h"
#include "companion/XMLElement.h"
#include "tests/support/Fakes.h"

using namespace KQXML_850;
using namespace KQCommon_850;

namespace {

pugi::xml_document Parse(const std::string& text) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_string(text.c_str())) << text;
  return doc;
}

std::string Written(const XMLElement& root, bool indent = true, std::string_view doctype = {}) {
  std::ostringstream out;
  EXPECT_TRUE(WriteTree(out, doctype, root, indent).IsOK());
  return out.str();
}

}  // namespace

TEST(XMLElement, AttributesKeepTheirOrderAndTextsAreEscaped) {
  XMLElement root("Root");
  root.SetAttribute("b", "1");
  root.SetAttribute("a", "2");
  root.SetAttribute("b", "3");  // replaced in place
  ASSERT_EQ(root.GetAttributes().size(), 2u);
  EXPECT_EQ(root.GetAttributes()[0].first, "b");
  EXPECT_EQ(*root.GetAttribute("b"), "3");
  EXPECT_EQ(root.GetAttribute("c"), nullptr);
  const std::string awkward = "a<b & \"c\" 'd' >";
  root.AddChild("Child").SetAttribute("v", awkward);
  root.AddChild("Text").SetText(awkward);
  root.AddChild("Child").SetAttribute("v", "second");
  EXPECT_EQ(*root.FindChild("Child")->GetAttribute("v"), awkward);
  for (bool indent : {true, false}) {
    const std::string text = Written(root, indent);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << text;
    const pugi::xml_document doc = Parse(text);
    EXPECT_EQ(std::string(doc.child("Root").first_attribute().name()), "b");
    EXPECT_EQ(doc.child("Root").child("Child").attribute("v").value(), awkward);
    EXPECT_EQ(doc.child("Root").child_value("Text"), awkward);
    EXPECT_EQ(doc.select_nodes("/Root/Child").size(), 2u);
  }
  EXPECT_NE(Written(root, true, "Root SYSTEM \"root.dtd\"").find("<!DOCTYPE Root SYSTEM \"root.dtd\">"),
            std::string::npos);
  // A stream that fails: the export-failed status.
  std::ostringstream bad;
  bad.setstate(std::ios::badbit);
  EXPECT_EQ(WriteTree(bad, {}, root, true).GetErrorCode(), KQ_EXPORT_FAILED);
}

TEST(XMLElement, NumbersReadBackAsTheSameDouble) {
  for (double x : {0.1, 1.0 / 3.0, -2.5e10, 1e-300, 5e-324, DBL_MAX, -0.0, 32.66011087020946, 1.0}) {
    const std::string text = FormatNumber(x);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), x) << text;
  }
  EXPECT_EQ(FormatNumber(1.0), "1");
  EXPECT_EQ(FormatNumber(1.0 / 3.0, 3), "0.333");
  EXPECT_EQ(FormatNumber(KQMV::Missing()), "");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::quiet_NaN()), "");
  EXPECT_EQ(FormatNumber(std::numeric_limits<double>::infinity()), "");
}

TEST(KQPMMLExporter, RootHeaderAndDataDictionary) {
  KQPMMLExporter exporter;
  std::unique_ptr<XMLElement> root = exporter.ExportPMMLElement();
  ASSERT_TRUE(root);
  EXPECT_EQ(*root->GetAttribute("version"), "4.4");
  EXPECT_EQ(*root->GetAttribute("xmlns"), "http://www.dmg.org/PMML-4_4");
  // Without application information: a default application name, no version; no timestamp asked for.
  ASSERT_TRUE(exporter.ExportHeader(nullptr, "fit", false, *root));
  const XMLElement* header = root->FindChild("Header");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(*header->GetAttribute("description"), "fit");
  EXPECT_EQ(header->GetAttribute("copyright"), nullptr);
  EXPECT_EQ(*header->FindChild("Application")->GetAttribute("name"), "kqbayes");
  EXPECT_EQ(header->FindChild("Application")->GetAttribute("version"), nullptr);
  EXPECT_EQ(header->FindChild("Timestamp"), nullptr);

  KQVarList vars;
  vars.AddContVar("x", 1.5, 2.5);
  vars.AddContVar("unseen", KQMV::Missing(), KQMV::Missing());
  auto group = std::make_unique<KQCategVar>("group", 3);
  group->SetLabels({"low", "", "high"});
  vars.AddVar(std::move(group));
  std::unique_ptr<XMLElement> dictionary;
  ASSERT_TRUE(exporter.ExportDataDictionary(vars, {2, 0, 1}, dictionary).IsOK());
  root->AppendChild(std::move(dictionary));
  const pugi::xml_document doc = Parse(Written(*root));
  EXPECT_STREQ(doc.select_node("//DataDictionary/@numberOfFields").attribute().value(), "3");
  std::vector<std::string> values;
  for (const pugi::xpath_node& v : doc.select_nodes("//DataField[@name='group']/Value"))
    values.push_back(v.node().attribute("value").value());
  // The unlabelled category falls back to its code.
  EXPECT_EQ(values, (std::vector<std::string>{"low", "1", "high"}));
  EXPECT_STREQ(doc.select_node("//DataField[@name='x']/Interval/@rightMargin").attribute().value(), "2.5");
  EXPECT_FALSE(doc.select_node("//DataField[@name='unseen']/Interval"));
  EXPECT_STREQ(doc.select_node("//DataField[@name='unseen']/@dataType").attribute().value(), "double");

  // A position outside the list: variable not found with its position; no variable at all: failed.
  const KQStatus missing = exporter.ExportDataDictionary(vars, {0, 7}, dictionary);
  EXPECT_EQ(missing.GetErrorCode(), KQ_VARIABLE_NOT_FOUND);
  EXPECT_EQ(missing.GetDiscreteDatum(0), 7);
  EXPECT_FALSE(dictionary);
  EXPECT_EQ(exporter.ExportDataDictionary(vars, {}, dictionary).GetErrorCode(), KQ_EXPORT_FAILED);
  XMLElement parent("M");
  EXPECT_FALSE(exporter.ExportExtension("", "v", parent));
  EXPECT_TRUE(parent.GetChildren().empty());
}

TEST(KQPMMLExporter, CancelledExportMakesNothing) {
  kqtest::CancelAfter cancel(0);
  KQPMMLExporter exporter(&cancel);
  EXPECT_FALSE(exporter.ExportPMMLElement());
  XMLElement root("PMML");
  EXPECT_FALSE(exporter.ExportHeader(nullptr, "", true, root));
  EXPECT_TRUE(root.GetChildren().empty());
}

TEST(KQCategVar, LabelsFallBackToCodesAndMustBeDistinct) {
  KQCategVar v("v", 3);
  EXPECT_EQ(v.GetLabel(0), "0");
  EXPECT_EQ(v.GetLabel(3), "");
  EXPECT_EQ(v.GetLabel(-1), "");
  EXPECT_TRUE(v.HasDistinctCategories(3));
  EXPECT_TRUE(v.HasDistinctCategories(2));
  EXPECT_FALSE(v.HasDistinctCategories(4));
  EXPECT_FALSE(v.HasDistinctCategories(0));
  v.SetLabels({"a", "b", "c", "ignored"});
  EXPECT_EQ(v.GetLabel(2), "c");
  v.SetLabels({"2", "b"});  // code 2 has no label and falls back to "2", the label of code 0
  EXPECT_FALSE(v.HasDistinctCategories(3));
  // Labels survive a copy of the list.
  KQVarList vars;
  auto w = std::make_unique<KQCategVar>("w", 2);
  w->SetLabels({"no", "yes"});
  vars.AddVar(std::move(w));
  const KQVarList copy = vars;
  EXPECT_EQ(copy.GetCategVarAt(0)->GetLabel(1), "yes");
}

TEST(KQPMMLRegrExporter, ModelElements) {
  using namespace KQMath_850;
  KQVarList vars;
  vars.AddContVar("y", 0, 1);
  vars.AddCategVar("g", 2);
  vars.AddContVar("x", 0, 1);
  vars.AddContVar("w", 0, 1);
  KQRegSettings model;
  model.SetDepVar(0);
  model.AddFactor(1, 2);
  model.AddCovariate(2);
  model.AddCovariate(2);  // listed twice, active once
  // Intercept, g = 0, g = 1 (redundant), x.
  const std::vector<KQRegrParameter> parameters{{-1, -1, -1}, {0, 1, 0}, {0, 1, 1}, {1, 2, -1}};
  KQBitSet nonRedundant(4, true);
  nonRedundant.Reset(2);
  const KQPMMLRegrExporter exporter(model, vars, parameters, {1.5, -0.25, 7.0, 2.0}, nonRedundant, nullptr);
  EXPECT_EQ(exporter.GetActiveFactors(), std::vector<int>{1});
  EXPECT_EQ(exporter.GetActiveCovariates(), std::vector<int>{2});

  const std::vector<double> importances{0.25, 0.75};
  const std::unique_ptr<XMLElement> schema = exporter.ExportMiningSchema(3, 3, &importances);
  std::vector<std::string> usage;
  for (const auto& field : schema->GetChildren())
    usage.push_back(*field->GetAttribute("name") + ":" + *field->GetAttribute("usageType"));
  EXPECT_EQ(usage, (std::vector<std::string>{"g:active", "x:active", "y:target", "w:frequencyWeight",
                                             "w:analysisWeight"}));
  EXPECT_EQ(*schema->GetChildren()[1]->GetAttribute("importance"), "0.75");

  // Redundant parameter: no PCell unless asked for, and then beta 0.
  std::unique_ptr<XMLElement> params = exporter.ExportParamMatrix(false, 0);
  ASSERT_EQ(params->GetChildren().size(), 3u);
  EXPECT_EQ(*params->GetChildren()[2]->GetAttribute("parameterName"), "p3");
  params = exporter.ExportParamMatrix(true, 0);
  ASSERT_EQ(params->GetChildren().size(), 4u);
  EXPECT_EQ(*params->GetChildren()[2]->GetAttribute("beta"), "0");

  KQSymMatrix covariance(4, true);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j <= i; ++j) covariance(i, j) = 10.0 * i + j;
  std::unique_ptr<XMLElement> pcov = exporter.ExportPCovMatrix(covariance, 1, false, 0);
  ASSERT_TRUE(pcov);
  EXPECT_EQ(*pcov->GetAttribute("type"), "robust");
  EXPECT_EQ(pcov->GetChildren().size(), 6u);  // lower triangle of p0, p1, p3
  const XMLElement& last = *pcov->GetChildren().back();
  EXPECT_EQ(*last.GetAttribute("pRow") + *last.GetAttribute("pCol") + "=" + *last.GetAttribute("value"),
            "p3p3=33");
  EXPECT_EQ(exporter.ExportPCovMatrix(covariance, 0, true, 0)->GetChildren().size(), 10u);
  EXPECT_FALSE(exporter.ExportPCovMatrix(KQSymMatrix(3, true), 0, false, 0));

  // Only the parameters of the optional set get cells.
  KQBitSet only(4, false);
  only.Set(3);
  const KQPMMLRegrExporter restricted(model, vars, parameters, {1.5, -0.25, 7.0, 2.0}, nonRedundant, &only);
  ASSERT_EQ(restricted.ExportParamMatrix(true, 0)->GetChildren().size(), 1u);

  // No factors: no FactorList.
  KQRegSettings covariatesOnly;
  covariatesOnly.SetDepVar(0);
  covariatesOnly.AddCovariate(2);
  const KQPMMLRegrExporter plain(covariatesOnly, vars, {{-1, -1, -1}, {0, 2, -1}}, {1.0, 2.0},
                                 KQBitSet(2, true), nullptr);
  EXPECT_FALSE(plain.ExportFactorList());
  ASSERT_TRUE(plain.ExportCovariateList());
  EXPECT_EQ(plain.ExportPPMatrix()->GetChildren().size(), 1u);
}
