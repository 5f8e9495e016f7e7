#include "companion/KQRegrTables.h"

#include "companion/KQDisplay.h"

namespace KQMath_850 {

using namespace KQDisplay_850;

void KQRegANOVA::Display() const {
  DisplayD("Regression sum of squares", ssReg);
  DisplayD("Regression df", dfReg);
  DisplayD("Regression mean square", msReg);
  DisplayD("F", f);
  DisplayD("Significance", sig);
  DisplayD("Residual sum of squares", ssRes);
  DisplayD("Residual df", dfRes);
  DisplayD("Residual mean square", msRes);
  DisplayD("Total sum of squares", ssTotal);
  DisplayD("Total df", dfTotal);
}

void KQTestStats::Display() const {
  DisplayI("Test type", type_);
  DisplayD("Statistic", statistic_);
  DisplayD("DF", df_);
  DisplayD("DF2", df2_);
  DisplayD("Significance", sig_);
}

}  // namespace KQMath_850
