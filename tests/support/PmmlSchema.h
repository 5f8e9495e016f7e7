#pragma once
// Schema validation of exported PMML documents: xmllint --noout --schema with the PMML 4.4 subset in
// tests/reference/pmml-4-4-subset.xsd. Any test that writes a document can check it with one line:
//   EXPECT_TRUE(kqtest::ValidatesAgainstPmmlSchema(document));

#include <gtest/gtest.h>

#include <string>

namespace kqtest {

/// Success when xmllint accepts the document; the failure message carries xmllint's report.
::testing::AssertionResult ValidatesAgainstPmmlSchema(const std::string& document);

}  // namespace kqtest
