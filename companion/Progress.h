#pragma once
// Progress reports travel from an analysis to the host's listener; the listener asks the
// report for named measures.

#include <string>

namespace KQCommon_850 {

class ProgressReport {
 public:
  virtual ~ProgressReport() = default;
  /// A whole-number measure by name; -1 for a name the report does not know.
  virtual int DiscreteMeasure(const std::string& name) const = 0;
  /// A real-valued measure by name; the missing value for a name the report does not know.
  virtual double ScaleMeasure(const std::string& name) const = 0;
};

class ProgressListener {
 public:
  virtual ~ProgressListener() = default;
  virtual void ReportProgress(const ProgressReport& report) = 0;
};

}  // namespace KQCommon_850
