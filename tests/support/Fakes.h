#pragma once
// Fakes of the host's objects: an iterator over rows (a missing row is a null record), a
// listener that records every report, and a cancellation query that says yes after N questions.

#include <optional>
#include <vector>

#include "companion/KQCancel.h"
#include "companion/Progress.h"
#include "companion/Record.h"

namespace kqtest {

class VectorRecordIter final : public KQCommon_850::MultiPassRecordIter, private KQCommon_850::Record {
 public:
  /// Each row is one record; std::nullopt stands for a null record.
  explicit VectorRecordIter(std::vector<std::optional<std::vector<double>>> rows) : rows_(std::move(rows)) {}
  bool HasNext() override { return next_ < rows_.size(); }
  const KQCommon_850::Record* NextRecord() override {
    if (!HasNext() || !rows_[next_++]) return nullptr;
    values_ = *rows_[next_ - 1];
    return this;
  }
  void StartPass() override {
    next_ = 0;
    ++nStartPass_;
  }
  int GetNStartPass() const { return nStartPass_; }

 private:
  // The record handed out last: the current row's values.
  double operator[](int var) const override { return values_[static_cast<std::size_t>(var)]; }
  const std::vector<double>& GetAll() const override { return values_; }

  std::vector<std::optional<std::vector<double>>> rows_;
  std::vector<double> values_;
  std::size_t next_ = 0;
  int nStartPass_ = 0;
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
  explicit CancelAfter(int n) : n_(n) {}
  bool IsCancel() override { return ++nAsked > n_; }
  int nAsked = 0;

 private:
  int n_;
};

}  // namespace kqtest
