#pragma once
// FactorSummary: each Bayes factor of a record in every form a reader may want, for the JSON output:
// the row's label, BF01, BF10, ln BF10 and the verdict in words. A factor the record keeps as its
// logarithm has ln BF10 exactly, and BF01 or BF10 null where they leave the double range; a factor
// that could not be computed has all three null and no verdict.

#include "cli/JsonWriter.h"
#include "cli/RecordView.h"

namespace kqcli {

/// A list with one object {"label", "BF01", "BF10", "log_BF10", "verdict"} per row of the view that has
/// a factor; empty when the record has none.
Json FactorsToJson(const RecordView& view);

}  // namespace kqcli
