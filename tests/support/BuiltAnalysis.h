#pragma once
// A component built over rows of doubles as a host builds it (a missing row is a null record); the
// tests read its status, its warnings and its result record.

#include <gtest/gtest.h>

#include <algorithm>

#include "companion/KQMV.h"
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
template <class Stats = KQBSN_850::BSNOutputStats>
struct BuiltAnalysis {
  BuiltAnalysis(const KQBSN_850::BSNSettings& settings, Rows rows,
                KQCommon_850::KQQueryCancel* cancel = nullptr,
                KQCommon_850::ProgressListener* listener = nullptr,
                const KQCommon_850::KQVarList& vars = KQCommon_850::KQVarList())
      : component(settings, vars), iter(std::move(rows)) {
    if (cancel != nullptr) component.SetCancelPtr(cancel);
    if (listener != nullptr) component.SetProgressListener(listener);
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
  /// The status protocol: the returned status is GetStatus(); an error leaves the model unbuilt and
  /// no result record, anything else a built model with one.
  void ExpectConsistent() const {
    EXPECT_EQ(component.GetStatus(), status);
    EXPECT_EQ(component.IsModelBuilt(), !status.IsError());
    EXPECT_EQ(component.GetOutputStats() == nullptr, status.IsError());
  }

  KQBSN_850::BSNComponent component;
  VectorRecordIter iter;
  KQCommon_850::KQStatus status;
};

}  // namespace kqtest
