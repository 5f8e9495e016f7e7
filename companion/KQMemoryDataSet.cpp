#include "companion/KQMemoryDataSet.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <memory>

#include "companion/KQMV.h"

namespace KQCommon_850 {

KQMemoryDataSet KQMemoryDataSet::FromRows(std::vector<std::string> names,
                                          const std::vector<std::vector<double>>& rows) {
  KQMemoryDataSet data;
  for (std::size_t j = 0; j < names.size(); ++j) {
    std::vector<double> column;
    column.reserve(rows.size());
    for (const auto& row : rows) column.push_back(j < row.size() ? row[j] : KQMV::Missing());
    data.AddColumn(std::move(names[j]), std::move(column));
  }
  return data;
}

int KQMemoryDataSet::AddColumn(std::string name, std::vector<double> values) {
  assert(columns_.empty() || values.size() == GetNRows());
  names_.push_back(std::move(name));
  columns_.push_back(std::move(values));
  return GetNColumns() - 1;
}

KQVarList KQMemoryDataSet::MakeVarList(const std::vector<int>& categoricalColumns) const {
  std::vector<CategoricalColumn> categorical;
  for (int column : categoricalColumns) categorical.push_back({column, 0, {}});
  return MakeVarListWithCategories(categorical);
}

KQVarList KQMemoryDataSet::MakeVarListWithCategories(
    const std::vector<CategoricalColumn>& categoricalColumns) const {
  KQVarList vars;
  for (int j = 0; j < GetNColumns(); ++j) {
    double lo = KQMV::Missing();
    double hi = KQMV::Missing();
    for (double x : GetColumn(j)) {
      if (KQMV::IsMissingOrNaN(x)) continue;
      lo = KQMV::IsMissing(lo) ? x : std::min(lo, x);
      hi = KQMV::IsMissing(hi) ? x : std::max(hi, x);
    }
    const auto categorical = std::find_if(categoricalColumns.begin(), categoricalColumns.end(),
                                          [j](const CategoricalColumn& c) { return c.column == j; });
    if (categorical != categoricalColumns.end()) {
      const int fromCodes = KQMV::IsMissing(hi) || hi < 0.0 ? 0 : static_cast<int>(std::floor(hi)) + 1;
      const int nCategories =
          std::max({fromCodes, categorical->minCategories, static_cast<int>(categorical->labels.size())});
      auto var = std::make_unique<KQCategVar>(GetName(j), nCategories);
      var->SetLabels(categorical->labels);
      vars.AddVar(std::move(var));
    } else {
      vars.AddContVar(GetName(j), lo, hi);
    }
  }
  return vars;
}

KQMemoryRecordIter::KQMemoryRecordIter(const KQMemoryDataSet& data) : data_(&data) {
  row_.values_.resize(static_cast<std::size_t>(data.GetNColumns()));
  for (int j = 0; j < data.GetNColumns(); ++j) columns_.push_back(data.GetColumn(j).data());
}

const Record* KQMemoryRecordIter::NextRecord() {
  if (!HasNext()) return nullptr;
  const std::size_t nColumns = columns_.size();
  for (std::size_t j = 0; j < nColumns; ++j) row_.values_[j] = columns_[j][next_];
  ++next_;
  return &row_;
}

}  // namespace KQCommon_850
