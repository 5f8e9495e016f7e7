#pragma once
// Helpers of the binomial and Poisson analysis tests: records made from columns, and a component
// built over them whose status, warnings and result record the tests read.

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "frame/BSNComponent.h"
#include "tests/support/Fakes.h"

namespace kqtest {

using Rows = std::vector<std::optional<std::vector<double>>>;
/// (code, discrete datum 0) of each listed warning, in order.
using Warnings = std::vector<std::pair<int, long>>;

/// Records from columns of different lengths: a short column is missing in the later records.
inline Rows FromColumns(const std::vector<std::vector<double>>& columns) {
  std::size_t n = 0;
  for (const auto& column : columns) n = std::max(n, column.size());
  Rows rows(n, std::vector<double>(columns.size(), KQCommon_850::KQMV::Missing()));
  for (std::size_t j = 0; j < columns.size(); ++j)
    for (std::size_t i = 0; i < columns[j].size(); ++i) (*rows[i])[j] = columns[j][i];
  return rows;
}

/// A component built over the records, with its result record read as Stats.
template <class Stats>
struct BuiltAnalysis {
  BuiltAnalysis(const KQBSN_850::BSNSettings& settings, Rows rows)
      : component(settings, KQCommon_850::KQVarList()), iter(std::move(rows)) {
    status = component.BuildModel(iter);
  }
  /// The result record; null when the build made none.
  const Stats* Record() const { return dynamic_cast<const Stats*>(component.GetOutputStats()); }
  Warnings ListedWarnings() const {
    Warnings listed;
    const KQCommon_850::KQWarnings& warnings = component.GetWarningMessages();
    for (std::size_t i = 0; i < warnings.Size(); ++i)
      listed.emplace_back(warnings[i].GetErrorCode(), warnings[i].GetDiscreteDatum(0));
    return listed;
  }

  KQBSN_850::BSNComponent component;
  VectorRecordIter iter;
  KQCommon_850::KQStatus status;
};

}  // namespace kqtest
