#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <cmath>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "companion/KQApplicInfo4XML.h"
#include "companion/KQCommonCodes.h"
#include "companion/KQMV.h"
#include "frame/BayesEstimation.h"
#include "regression/BSNMultiRegOutputStats.h"
#include "tests/regression/CarsFixture.h"
#include "tests/support/ExpectNearRel.h"
#include "tests/support/PmmlSchema.h"
#include "tests/support/ReferenceTable.h"

using namespace KQBSN_850;
using namespace KQCommon_850;
using namespace kqtest;

// Expected coefficients and (X'X)^-1: tests/reference/regression_fit.out and regression_score.out (R's
// coef(lm) and summary(lm)$cov.unscaled of mpg ~ cyl + wt + hp on mtcars, cylinder 8 the base level).
// Predictions rebuilt from a document are compared with Score on the same records.

namespace {

const std::vector<std::string> kCylLabels{"4", "6", "8"};
const std::vector<std::string> kCarbLabels{"1", "2", "3", "4", "6", "8"};

/// The cars' variables with the category texts of the data as labels.
KQVarList LabelledVars() {
  KQVarList vars;
  vars.AddContVar("mpg", 10.4, 33.9);
  vars.AddContVar("wt", 1.513, 5.424);
  vars.AddContVar("hp", 52, 335);
  auto cyl = std::make_unique<KQCategVar>("cyl", 3);
  cyl->SetLabels(kCylLabels);
  vars.AddVar(std::move(cyl));
  vars.AddContVar("w", 0.5, 2);
  vars.AddContVar("f", 1, 3);
  auto carb = std::make_unique<KQCategVar>("carb", 6);
  carb->SetLabels(kCarbLabels);
  vars.AddVar(std::move(carb));
  return vars;
}

struct Export {
  KQStatus status;
  std::string document;
};

Export Write(const BSNMultiRegOutputStats& r, const KQVarList& vars, bool withCovariance,
             const KQXML_850::KQApplicInfo4XML* appInfo = nullptr) {
  std::ostringstream out;
  Export e;
  e.status = r.ExportPMML(vars, out, withCovariance, appInfo);
  e.document = out.str();
  return e;
}

std::vector<double> Ref(const std::string& file, const std::string& label) {
  return ReferenceValues(ReadReferenceTable(file), label);
}

/// The prediction of a record (values by variable position) from the document alone: each parameter's
/// design value is the product of its predictor cells (a factor cell is 1 when the record's category
/// label equals the cell's value, a covariate cell the value raised to the cell's exponent), 1 for a
/// parameter without cells; the coefficient is the parameter's PCell beta, 0 when it has none.
double PredictFromDocument(const pugi::xml_document& doc, const std::vector<double>& values,
                           const std::map<std::string, int>& positions,
                           const std::map<std::string, std::vector<std::string>>& labels) {
  const pugi::xml_node model = doc.select_node("/PMML/GeneralRegressionModel").node();
  double prediction = 0.0;
  for (const pugi::xpath_node& p : model.select_nodes("ParameterList/Parameter")) {
    const std::string name = p.node().attribute("name").value();
    double x = 1.0;
    const std::string cellsPath = "PPMatrix/PPCell[@parameterName='" + name + "']";
    for (const pugi::xpath_node& cell : model.select_nodes(cellsPath.c_str())) {
      const std::string predictor = cell.node().attribute("predictorName").value();
      const double value = values.at(static_cast<std::size_t>(positions.at(predictor)));
      const auto factor = labels.find(predictor);
      if (factor != labels.end())
        x *= factor->second.at(static_cast<std::size_t>(value)) == cell.node().attribute("value").value()
                 ? 1.0
                 : 0.0;
      else
        x *= std::pow(value, cell.node().attribute("value").as_double());
    }
    const std::string betaPath = "ParamMatrix/PCell[@parameterName='" + name + "']";
    const pugi::xpath_node beta = model.select_node(betaPath.c_str());
    if (beta) prediction += x * beta.node().attribute("beta").as_double();
  }
  return prediction;
}

const std::map<std::string, int> kPositions{{"mpg", 0}, {"wt", 1}, {"hp", 2},  {"cyl", 3},
                                            {"w", 4},   {"f", 5},  {"carb", 6}};
const std::map<std::string, std::vector<std::string>> kLabels{{"cyl", kCylLabels}, {"carb", kCarbLabels}};

void ExpectDocumentPredictsAsScore(const BSNMultiRegOutputStats& r, const std::string& document) {
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(document.c_str()));
  int n = 0;
  for (const auto& row : Cars()) {
    BayesEstimation e;
    r.Score(ValuesRecord(*row), e);
    EXPECT_NEAR_REL(PredictFromDocument(doc, *row, kPositions, kLabels), e.mean, 1e-12) << "car " << n;
    ++n;
  }
  EXPECT_EQ(n, 32);
}

}  // namespace

TEST(MultiRegPmmlExport, DocumentsValidateAgainstTheSchema) {
  const KQVarList vars = LabelledVars();
  const RegrRun run(CarSettings(BSNConst::AnalysTypes::Both), Cars(), vars);
  ASSERT_TRUE(run.status.IsOK());
  const KQXML_850::KQApplicInfo4XML app("kqbayes", "8.5.0", "(c) the authors");
  for (bool withCovariance : {false, true}) {
    const Export e = Write(run.Record(), vars, withCovariance, &app);
    ASSERT_TRUE(e.status.IsOK()) << e.status.GetErrorCode();
    EXPECT_TRUE(ValidatesAgainstPmmlSchema(e.document)) << e.document;
    EXPECT_EQ(e.document.find("PCovMatrix") != std::string::npos, withCovariance);
  }
  // Covariates only (no FactorList), and a many-level factor with one covariate (no hp).
  BSNSettings covariatesOnly = CarSettings(BSNConst::AnalysTypes::Both);
  covariatesOnly.SetFactors({});
  covariatesOnly.SetFactorNCategs({});
  const BSNSettings carb = WithCarbAndWeight(CarSettings(BSNConst::AnalysTypes::Both));
  for (const BSNSettings* s : std::vector<const BSNSettings*>{&covariatesOnly, &carb}) {
    const RegrRun other(*s, Cars(), vars);
    ASSERT_TRUE(other.status.IsOK());
    const Export e = Write(other.Record(), vars, true);
    ASSERT_TRUE(e.status.IsOK());
    EXPECT_TRUE(ValidatesAgainstPmmlSchema(e.document)) << e.document;
  }
  // The validation does reject: the same document with its ParamMatrix before the PPMatrix.
  std::string swapped = Write(run.Record(), vars, false).document;
  const std::size_t pp = swapped.find("<PPMatrix>"), ppEnd = swapped.find("</PPMatrix>") + 11;
  ASSERT_NE(pp, std::string::npos);
  const std::string ppMatrix = swapped.substr(pp, ppEnd - pp);
  swapped.erase(pp, ppEnd - pp);
  swapped.insert(swapped.find("</GeneralRegressionModel>"), ppMatrix);
  EXPECT_FALSE(ValidatesAgainstPmmlSchema(swapped));
}

TEST(MultiRegPmmlExport, DocumentCarriesTheModelInOrder) {
  const KQVarList vars = LabelledVars();
  const RegrRun run(CarSettings(BSNConst::AnalysTypes::Both), Cars(), vars);
  ASSERT_TRUE(run.status.IsOK());
  const KQXML_850::KQApplicInfo4XML app("kqbayes", "8.5.0");
  const Export e = Write(run.Record(), vars, true, &app);
  ASSERT_TRUE(e.status.IsOK());
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(e.document.c_str()));
  const pugi::xml_node root = doc.child("PMML");
  EXPECT_STREQ(root.attribute("version").value(), "4.4");
  EXPECT_STREQ(root.attribute("xmlns").value(), "http://www.dmg.org/PMML-4_4");
  EXPECT_STREQ(root.select_node("Header/Application/@name").attribute().value(), "kqbayes");
  EXPECT_STREQ(root.select_node("Header/Application/@version").attribute().value(), "8.5.0");
  EXPECT_TRUE(std::regex_match(root.child("Header").child_value("Timestamp"),
                               std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));
  // The data dictionary: the dependent, the factor with its category texts, the covariates.
  std::vector<std::string> fields;
  for (const pugi::xpath_node& f : root.select_nodes("DataDictionary/DataField"))
    fields.push_back(std::string(f.node().attribute("name").value()) + ":" +
                     f.node().attribute("optype").value() + ":" + f.node().attribute("dataType").value());
  EXPECT_EQ(fields, (std::vector<std::string>{"mpg:continuous:double", "cyl:categorical:string",
                                              "wt:continuous:double", "hp:continuous:double"}));
  std::vector<std::string> cylValues;
  for (const pugi::xpath_node& v : root.select_nodes("DataDictionary/DataField[@name='cyl']/Value"))
    cylValues.push_back(v.node().attribute("value").value());
  EXPECT_EQ(cylValues, kCylLabels);
  const pugi::xml_node model = root.child("GeneralRegressionModel");
  EXPECT_STREQ(model.attribute("modelType").value(), "generalLinear");
  EXPECT_STREQ(model.attribute("algorithmName").value(), "BayesianMultipleRegression");
  EXPECT_STREQ(model.attribute("functionName").value(), "regression");
  std::vector<std::string> children;
  for (const pugi::xml_node child : model.children()) children.push_back(child.name());
  EXPECT_EQ(children, (std::vector<std::string>{"Extension", "MiningSchema", "ParameterList", "FactorList",
                                                "CovariateList", "PPMatrix", "PCovMatrix", "ParamMatrix"}));
  EXPECT_STREQ(model.child("Extension").attribute("name").value(), "modelID");
  EXPECT_STREQ(model.child("Extension").attribute("value").value(), "0");
  EXPECT_STREQ(model.select_node("MiningSchema/MiningField[@usageType='target']/@name").attribute().value(),
               "mpg");
  EXPECT_EQ(model.select_nodes("MiningSchema/MiningField[@usageType='active']").size(), 3u);
  std::vector<std::string> labels;
  for (const pugi::xpath_node& p : model.select_nodes("ParameterList/Parameter"))
    labels.push_back(p.node().attribute("label").value());
  EXPECT_EQ(labels, (std::vector<std::string>{"Intercept", "cyl=4", "cyl=6", "cyl=8", "wt", "hp"}));
}

TEST(MultiRegPmmlExport, CoefficientsAndCovarianceAreLmsAndReadBackPredictsAsScore) {
  const KQVarList vars = LabelledVars();
  const RegrRun run(CarSettings(BSNConst::AnalysTypes::Both), Cars(), vars);
  ASSERT_TRUE(run.status.IsOK());
  const Export e = Write(run.Record(), vars, true);
  ASSERT_TRUE(e.status.IsOK());
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(e.document.c_str()));
  const pugi::xml_node model = doc.select_node("/PMML/GeneralRegressionModel").node();
  // Betas: R's coefficients in design order; the redundant cyl 8 indicator (p3) has no cell.
  const std::vector<double> b = Ref("regression_fit.out", "plain coefficients");
  ASSERT_EQ(b.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    const std::string path = "ParamMatrix/PCell[@parameterName='p" + std::to_string(i) + "']/@beta";
    const pugi::xpath_node beta = model.select_node(path.c_str());
    if (i == 3) {
      EXPECT_FALSE(beta) << "redundant parameter written";
      continue;
    }
    ASSERT_TRUE(beta) << i;
    EXPECT_NEAR_REL(beta.attribute().as_double(), b[static_cast<std::size_t>(i)], 1e-10) << i;
  }
  // (X'X)^-1: the lower triangle of the kept parameters p0, p1, p2, p4, p5.
  const std::vector<int> kept{0, 1, 2, 4, 5};
  for (std::size_t r = 0; r < kept.size(); ++r) {
    const std::vector<double> row =
        Ref("regression_score.out", "dense unscaled covariance row " + std::to_string(r));
    ASSERT_EQ(row.size(), r + 1);
    for (std::size_t c = 0; c <= r; ++c) {
      const std::string path = "PCovMatrix/PCovCell[@pRow='p" + std::to_string(kept[r]) + "' and @pCol='p" +
                               std::to_string(kept[c]) + "']/@value";
      const pugi::xpath_node cell = model.select_node(path.c_str());
      ASSERT_TRUE(cell) << path;
      EXPECT_NEAR_REL(cell.attribute().as_double(), row[c], 1e-9) << path;
    }
  }
  EXPECT_EQ(model.select_nodes("PCovMatrix/PCovCell").size(), 15u);
  ExpectDocumentPredictsAsScore(run.Record(), e.document);
}

TEST(MultiRegPmmlExport, ConjugateAndSparseModelsReadBackAsScore) {
  const KQVarList vars = LabelledVars();
  // Conjugate prior: the document's betas are the posterior means that Score uses.
  BSNSettings conjugate = CarSettings(BSNConst::AnalysTypes::Posterior);
  conjugate.SetPriorType(BSNConst::PriorTypes::Conjugate);
  conjugate.SetPriorShape(2.0);
  conjugate.SetPriorScale(10.0);
  conjugate.SetPriorMeans({20.0, 0.0, 0.0, 0.0, -3.0, 0.0});
  std::vector<double> packed(21, 0.0);
  const std::vector<double> diagonal{100.0, 10.0, 10.0, 1.0, 1.0, 0.01};
  for (std::size_t i = 0; i < 6; ++i) packed[i * (i + 1) / 2 + i] = diagonal[i];
  conjugate.SetPriorCovMatrix(packed);
  const BSNSettings carb = WithCarbAndWeight(CarSettings(BSNConst::AnalysTypes::Both));
  for (const BSNSettings* s : std::vector<const BSNSettings*>{&conjugate, &carb}) {
    const RegrRun run(*s, Cars(), vars);
    ASSERT_TRUE(run.status.IsOK());
    const Export e = Write(run.Record(), vars, false);
    ASSERT_TRUE(e.status.IsOK());
    ExpectDocumentPredictsAsScore(run.Record(), e.document);
  }
  // The conjugate betas are R's posterior means (regression_fit.R, "conjugate redundant mean").
  const RegrRun run(conjugate, Cars(), vars);
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(Write(run.Record(), vars, false).document.c_str()));
  const std::vector<double> means = Ref("regression_fit.out", "conjugate redundant mean");
  EXPECT_NEAR_REL(doc.select_node("//PCell[@parameterName='p4']/@beta").attribute().as_double(), means[4],
                  1e-10);
  EXPECT_NEAR_REL(doc.select_node("//PCell[@parameterName='p0']/@beta").attribute().as_double(), means[0],
                  1e-10);
}

TEST(MultiRegPmmlExport, ErrorsWriteNothing) {
  const KQVarList vars = LabelledVars();
  BSNSettings s = CarSettings(BSNConst::AnalysTypes::Both);
  s.SetCovariates({1, 4});  // wt and the variable w at position 4
  const RegrRun run(s, Cars(), vars);
  ASSERT_TRUE(run.status.IsOK());
  // A list without w: the covariate at position 4 is missing.
  KQVarList short4;
  short4.AddContVar("mpg", 10.4, 33.9);
  short4.AddContVar("wt", 1.513, 5.424);
  short4.AddContVar("hp", 52, 335);
  short4.AddVar(vars.GetVarAt(3)->Clone());
  Export e = Write(run.Record(), short4, true);
  EXPECT_EQ(e.status.GetErrorCode(), KQ_VARIABLE_NOT_FOUND);
  EXPECT_EQ(e.status.GetDiscreteDatum(0), 4);
  EXPECT_TRUE(e.status.HasDiscreteDatum(1));
  EXPECT_EQ(e.status.GetDiscreteDatum(1), 1);
  EXPECT_TRUE(e.document.empty());
  // Without the factor's position: datum 1 is 0.
  KQVarList short3;
  for (int i = 0; i < 3; ++i) short3.AddVar(vars.GetVarAt(i)->Clone());
  e = Write(run.Record(), short3, false);
  EXPECT_EQ(e.status.GetErrorCode(), KQ_VARIABLE_NOT_FOUND);
  EXPECT_EQ(e.status.GetDiscreteDatum(0), 3);
  EXPECT_EQ(e.status.GetDiscreteDatum(1), 0);
  EXPECT_TRUE(e.document.empty());
  // A categorical factor whose categories cannot be told apart, or too few of them: no data items.
  for (const std::vector<std::string>& labels :
       {std::vector<std::string>{"4", "4", "8"}, std::vector<std::string>{"1", "", "8"}}) {
    KQVarList bad = vars;
    auto cyl = std::make_unique<KQCategVar>("cyl", 3);
    cyl->SetLabels(labels);
    KQVarList rebuilt;
    for (int i = 0; i < bad.GetNVars(); ++i)
      rebuilt.AddVar(i == 3 ? std::unique_ptr<KQVariable>(cyl->Clone()) : bad.GetVarAt(i)->Clone());
    e = Write(run.Record(), rebuilt, false);
    EXPECT_EQ(e.status.GetErrorCode(), KQ_VARIABLE_NOT_FOUND);
    EXPECT_EQ(e.status.GetNDiscreteData(), 0u);
    EXPECT_TRUE(e.document.empty());
  }
  KQVarList twoCategories;
  for (int i = 0; i < vars.GetNVars(); ++i)
    twoCategories.AddVar(i == 3 ? std::make_unique<KQCategVar>("cyl", 2) : vars.GetVarAt(i)->Clone());
  e = Write(run.Record(), twoCategories, false);
  EXPECT_EQ(e.status.GetErrorCode(), KQ_VARIABLE_NOT_FOUND);
  EXPECT_TRUE(e.document.empty());
  // The dependent is not in the list while the predictors are: the data dictionary fails, 303.
  KQVarList moved;  // the same variables with mpg again at position 7 as the dependent
  for (int i = 0; i < vars.GetNVars(); ++i) moved.AddVar(vars.GetVarAt(i)->Clone());
  moved.AddContVar("mpg2", 10.4, 33.9);
  Rows rows = Cars();
  for (auto& row : rows) row->push_back((*row)[0]);
  BSNSettings s7 = CarSettings(BSNConst::AnalysTypes::Both);
  s7.SetDependVar(7);
  const RegrRun run7(s7, rows, moved);
  ASSERT_TRUE(run7.status.IsOK());
  e = Write(run7.Record(), vars, true);
  EXPECT_EQ(e.status.GetErrorCode(), KQ_EXPORT_FAILED);
  EXPECT_TRUE(e.document.empty());
  EXPECT_TRUE(Write(run7.Record(), moved, true).status.IsOK());
}
