#include "tests/support/Fakes.h"

namespace kqtest {

VectorRecordIter::VectorRecordIter(std::vector<std::optional<std::vector<double>>> rows)
    : rows_(std::move(rows)) {}

const KQCommon_850::Record* VectorRecordIter::NextRecord() {
  if (!HasNext()) return nullptr;
  const auto& row = rows_[next_++];
  if (!row) return nullptr;
  row_.values = *row;
  return &row_;
}

}  // namespace kqtest
