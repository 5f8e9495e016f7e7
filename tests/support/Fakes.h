#pragma once
// Fakes of the host's objects: an iterator over rows (a missing row is a null record), a
// listener that records every report, and a cancellation query that says yes after N questions.

#include <optional>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/Progress.h"
#include "companion/Record.h"

namespace kqtest {

class VectorRecordIter final : public KQCommon_850::MultiPassRecordIter {
 public:
  /// Each row is one record; std::nullopt stands for a null record.
  explicit VectorRecordIter(std::vector<std::optional<std::vector<double>>> rows);
  bool HasNext() override { return next_ < rows_.size(); }
  const KQCommon_850::Record* NextRecord() override;
  void StartPass() override {
    next_ = 0;
    ++nStartPass_;
  }
  int GetNStartPass() const { return nStartPass_; }

 private:
  class Row final : public KQCommon_850::Record {
   public:
    double operator[](int var) const override { return values[static_cast<std::size_t>(var)]; }
    const std::vector<double>& GetAll() const override { return values; }
    std::vector<double> values;
  };
  std::vector<std::optional<std::vector<double>>> rows_;
  std::size_t next_ = 0;
  int nStartPass_ = 0;
  Row row_;
};

class RecordingListener final : public KQCommon_850::ProgressListener {
 public:
  void ReportProgress(const KQCommon_850::ProgressReport& report) override {
    records.push_back(report.DiscreteMeasure("records"));
  }
  std::vector<int> records;
};

class CancelAfter final : public KQCommon_850::KQQueryCancel {
 public:
  /// Answers no to the first n questions and yes from then on.
  explicit CancelAfter(int n) : remaining_(n) {}
  bool IsCancel() override {
    ++nAsked;
    return remaining_-- <= 0;
  }
  int nAsked = 0;

 private:
  int remaining_;
};

}  // namespace kqtest
