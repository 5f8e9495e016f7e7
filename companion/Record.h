#pragma once
// The host's view of one case and of the data set as a sequence of cases that can be read
// several times. Analyses read a record's values once per record (GetAll), not field by field,
// because a virtual call per field costs more than the work done on the value.

#include <vector>

namespace KQCommon_850 {

/// One case: a value per variable of the variable list, the missing value where none is known.
class Record {
 public:
  virtual ~Record() = default;
  /// The value of variable var (its position in the variable list).
  virtual double operator[](int var) const = 0;
  /// Every value of the case, indexed by variable position.
  virtual const std::vector<double>& GetAll() const = 0;
};

/// Multi-pass iteration over the cases.
class MultiPassRecordIter {
 public:
  virtual ~MultiPassRecordIter() = default;
  /// True while a record is left in this pass; does not move.
  virtual bool HasNext() = 0;
  /// The next record, or null for a case the host cannot deliver; moves on. The record stays
  /// valid until the next call of NextRecord or StartPass.
  virtual const Record* NextRecord() = 0;
  /// Goes back to the first record.
  virtual void StartPass() = 0;
};

}  // namespace KQCommon_850
