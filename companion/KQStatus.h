#pragma once
// KQStatus: the value every operation returns to say how it went. An OK status has code 0;
// any other code is an error, or a warning when raised with isWarning true. Data items
// (whole numbers and doubles, by position) carry context such as a variable's position.

#include <cstddef>
#include <optional>
#include <vector>

namespace KQCommon_850 {

class KQStatus {
 public:
  /// The OK status.
  KQStatus() = default;
  KQStatus(int code, bool isWarning) : code_(code), isWarning_(code != 0 && isWarning) {}

  bool IsOK() const noexcept { return code_ == 0; }
  bool IsError() const noexcept { return code_ != 0 && !isWarning_; }
  bool IsWarning() const noexcept { return isWarning_; }
  int GetErrorCode() const noexcept { return code_; }

  /// Sets discrete data item i (items before i that were never set stay unset).
  void SetDiscreteDatum(std::size_t i, long value);
  void SetScaleDatum(std::size_t i, double value);
  /// Discrete data item i; 0 when it was never set.
  long GetDiscreteDatum(std::size_t i) const noexcept;
  /// Scale data item i; the missing value when it was never set.
  double GetScaleDatum(std::size_t i) const noexcept;
  bool HasDiscreteDatum(std::size_t i) const noexcept {
    return i < discrete_.size() && discrete_[i].has_value();
  }
  bool HasScaleDatum(std::size_t i) const noexcept { return i < scale_.size() && scale_[i].has_value(); }
  /// One past the highest position of a set item.
  std::size_t GetNDiscreteData() const noexcept { return discrete_.size(); }
  std::size_t GetNScaleData() const noexcept { return scale_.size(); }

  friend bool operator==(const KQStatus&, const KQStatus&) = default;

 private:
  int code_ = 0;
  bool isWarning_ = false;
  std::vector<std::optional<long>> discrete_;
  std::vector<std::optional<double>> scale_;
};

/// A status carrying one discrete datum at position 0, the form every per-variable warning takes.
inline KQStatus StatusWithDatum(int code, bool isWarning, long datum0) {
  KQStatus status(code, isWarning);
  status.SetDiscreteDatum(0, datum0);
  return status;
}

}  // namespace KQCommon_850
