#pragma once
// Scorer: the "score" command. It fits a regression or ANOVA model on DATA exactly as "run" does, then
// predicts the dependent variable of every record of NEWDATA, in order, with the fitted model's Score:
// one CSV row "mode,mean,variance,lower,upper" per record (a cell is empty where the prediction has no
// such value: the variance and the limits come only with "ComputeVarianceInScoring" and a posterior), or
// a JSON list of objects with those keys (null where missing).
//
// NEWDATA is matched to the model by column name: it must hold every factor and covariate the model
// reads (the dependent and the weights are not needed; other columns are not read). A factor's cell is
// matched with the texts of the fitting data's categories (its code when that column held numbers); a
// record with a missing predictor, or a category the model does not know, gets an empty prediction.
// Exit status as for "run"; nothing is written to out unless the model was built.

#include <ostream>
#include <string>

#include "cli/Fitting.h"
#include "companion/KQCancel.h"

namespace kqcli {

struct ScoreOptions {
  RunOptions fit;           ///< settings, data and how to fit; scoring is set by ScoreCommand
  std::string newDataPath;  ///< the records to score
};

int ScoreCommand(const ScoreOptions& options, std::ostream& out, std::ostream& err,
                 KQCommon_850::KQQueryCancel& interrupt);

}  // namespace kqcli
