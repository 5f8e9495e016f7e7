#pragma once
// Value records of the regression library: the ANOVA table of a fitted model, the result of one test
// statistic and the description of one design parameter. All are plain data that the host reads; the
// first two print for diagnosis.

#include <ostream>

#include "companion/KQMV.h"

namespace KQMath_850 {

/// The ANOVA table of a regression: regression, residual and total lines.
struct KQRegANOVA {
  double ssReg = KQCommon_850::KQMV::Missing();
  double dfReg = KQCommon_850::KQMV::Missing();
  double msReg = KQCommon_850::KQMV::Missing();
  double f = KQCommon_850::KQMV::Missing();
  double sig = KQCommon_850::KQMV::Missing();
  double ssRes = KQCommon_850::KQMV::Missing();
  double dfRes = KQCommon_850::KQMV::Missing();
  double msRes = KQCommon_850::KQMV::Missing();
  double ssTotal = KQCommon_850::KQMV::Missing();
  double dfTotal = KQCommon_850::KQMV::Missing();

  void Display() const;
};

/// One test result: its kind, statistic, one or two degrees of freedom and significance.
class KQTestStats {
 public:
  void SetTestType(int type) noexcept { type_ = type; }
  void SetDF(double df) noexcept { df_ = df; }
  void SetDF2(double df2) noexcept { df2_ = df2; }
  void SetWald(double statistic) noexcept { statistic_ = statistic; }
  void SetSig(double sig) noexcept { sig_ = sig; }
  int GetTestType() const noexcept { return type_; }
  double GetDF() const noexcept { return df_; }
  double GetDF2() const noexcept { return df2_; }
  double GetWald() const noexcept { return statistic_; }
  double GetSig() const noexcept { return sig_; }
  void Display() const;

 private:
  int type_ = 0;
  double statistic_ = KQCommon_850::KQMV::Missing();
  double df_ = KQCommon_850::KQMV::Missing();
  double df2_ = KQCommon_850::KQMV::Missing();
  double sig_ = KQCommon_850::KQMV::Missing();
};

/// One parameter of a design (KQFastDesignMatrix): the intercept, one category of a factor or a covariate.
struct KQRegrParameter {
  int effect = -1;    ///< position of its effect in the design; -1 for the intercept
  int var = -1;       ///< the effect's variable; -1 for the intercept
  int category = -1;  ///< the category code of a factor's indicator; -1 otherwise
  bool IsIntercept() const noexcept { return effect < 0; }
  bool IsFactorCategory() const noexcept { return category >= 0; }
  friend bool operator==(const KQRegrParameter&, const KQRegrParameter&) = default;
};

}  // namespace KQMath_850
