#pragma once
// BSNReporter: the progress report an analysis hands to the host's listener. It answers the
// measure "records" (exact spelling and case) with the number of records processed so far.

#include <string>

#include "companion/Progress.h"

namespace KQBSN_850 {

class BSNReporter : public KQCommon_850::ProgressReport {
 public:
  explicit BSNReporter(int nRecords = 0) noexcept : nRecords_(nRecords) {}
  BSNReporter(const BSNReporter&) = default;
  BSNReporter& operator=(const BSNReporter&) = default;
  ~BSNReporter() override = default;

  void SetNRecords(int nRecords) noexcept { nRecords_ = nRecords; }
  /// The number of records for "records"; -1 for any other name.
  int DiscreteMeasure(const std::string& name) const override;
  /// Always the missing value: the report has no real-valued measure.
  double ScaleMeasure(const std::string& name) const override;

 private:
  int nRecords_;
};

}  // namespace KQBSN_850
