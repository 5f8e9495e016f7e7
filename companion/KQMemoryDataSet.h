#pragma once
// An in-memory data set stored by column, with a multi-pass record iterator over it. Hosts
// that hold their data in memory (the command-line runner, tests, examples) share it.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "companion/KQVarList.h"
#include "companion/Record.h"

namespace KQCommon_850 {

class KQMemoryDataSet {
 public:
  KQMemoryDataSet() = default;
  /// Builds a data set from rows (each row one case); names label the columns.
  static KQMemoryDataSet FromRows(std::vector<std::string> names,
                                  const std::vector<std::vector<double>>& rows);

  /// Appends a column; every column must have the same number of values. Returns its position.
  int AddColumn(std::string name, std::vector<double> values);
  int GetNColumns() const noexcept { return static_cast<int>(columns_.size()); }
  std::size_t GetNRows() const noexcept { return columns_.empty() ? 0 : columns_.front().size(); }
  const std::string& GetName(int column) const { return names_.at(static_cast<std::size_t>(column)); }
  std::span<const double> GetColumn(int column) const {
    return columns_.at(static_cast<std::size_t>(column));
  }

  /// A dictionary of the columns: each listed in categoricalColumns is categorical with
  /// (largest code + 1) categories; every other is continuous with its observed minimum and maximum
  /// over the non-missing values (both missing when it has none).
  KQVarList MakeVarList(const std::vector<int>& categoricalColumns = {}) const;

  /// A categorical column with what the host knows beyond its codes.
  struct CategoricalColumn {
    int column;
    int minCategories = 0;            ///< categories it has at least (the model's count)
    std::vector<std::string> labels;  ///< the texts of its categories by code; may be empty
  };
  /// As above; a categorical column has max(largest code + 1, minCategories, labels) categories and
  /// carries the labels.
  KQVarList MakeVarListWithCategories(const std::vector<CategoricalColumn>& categoricalColumns) const;

 private:
  std::vector<std::string> names_;
  std::vector<std::vector<double>> columns_;
};

/// Reads a KQMemoryDataSet record by record. Each record gathers its row once, so that an
/// analysis pays one virtual call per record, not per value. The data set must outlive the iterator.
class KQMemoryRecordIter final : public MultiPassRecordIter {
 public:
  explicit KQMemoryRecordIter(const KQMemoryDataSet& data);
  bool HasNext() override { return next_ < data_->GetNRows(); }
  const Record* NextRecord() override;
  void StartPass() override { next_ = 0; }

 private:
  class RowRecord final : public Record {
   public:
    double operator[](int var) const override { return values_[static_cast<std::size_t>(var)]; }
    const std::vector<double>& GetAll() const override { return values_; }
    std::vector<double> values_;
  };

  const KQMemoryDataSet* data_;
  std::vector<const double*> columns_;
  std::size_t next_ = 0;
  RowRecord row_;
};

}  // namespace KQCommon_850
