#pragma once
// One F test of a regression model: L·beta = test values over the listed predictors, with or
// without the intercept.

#include <ostream>
#include <string>
#include <vector>

namespace KQBSN_850 {

class BayesFTest {
 public:
  BayesFTest() = default;
  BayesFTest(bool useIntercept, std::vector<int> predictors, std::vector<double> testValues,
             std::string label)
      : useIntercept_(useIntercept),
        predictors_(std::move(predictors)),
        testValues_(std::move(testValues)),
        label_(std::move(label)) {}

  void SetUseIntercept(bool useIntercept) { useIntercept_ = useIntercept; }
  void SetPredictors(const std::vector<int>& predictors) { predictors_ = predictors; }
  void SetTestValues(const std::vector<double>& testValues) { testValues_ = testValues; }
  void SetLabel(const std::string& label) { label_ = label; }
  bool IsUseIntercept() const noexcept { return useIntercept_; }
  const std::vector<int>& GetPredictors() const noexcept { return predictors_; }
  const std::vector<double>& GetTestValues() const noexcept { return testValues_; }
  const std::string& GetLabel() const noexcept { return label_; }

  void Display(std::ostream& os) const;

  friend bool operator==(const BayesFTest&, const BayesFTest&) = default;

 private:
  bool useIntercept_ = false;
  std::vector<int> predictors_;
  std::vector<double> testValues_;
  std::string label_;
};

}  // namespace KQBSN_850
