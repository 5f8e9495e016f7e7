#pragma once
// Labelled printers for diagnostic output. They write to one current stream per thread
// (std::cout while none is set), one "label = value" line per call.

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace KQDisplay_850 {

/// The current stream of this thread; null while none is set.
std::ostream* GetOutStream() noexcept;
void SetOutStream(std::ostream* os) noexcept;

/// Makes a stream current for the lifetime of the guard and then restores the one before it.
class StreamScope {
 public:
  explicit StreamScope(std::ostream& os) noexcept : previous_(GetOutStream()) { SetOutStream(&os); }
  ~StreamScope() { SetOutStream(previous_); }
  StreamScope(const StreamScope&) = delete;
  StreamScope& operator=(const StreamScope&) = delete;

 private:
  std::ostream* previous_;
};

/// A line of text, indented by two blanks per level above 1.
void DisplayText(int level, const std::string& text);
void DisplayB(const std::string& label, bool value);
void DisplayI(const std::string& label, int value);
void DisplayL(const std::string& label, long value);
/// Doubles print with 17 significant digits; the missing value prints as "missing".
void DisplayD(const std::string& label, double value);
void DisplayS(const std::string& label, const std::string& value);
void DisplayIV(const std::string& label, const std::vector<int>& values);
void DisplayDV(const std::string& label, const std::vector<double>& values);
void DisplayBV(const std::string& label, const std::vector<bool>& values);
void DisplayDVV(const std::string& label, const std::vector<std::vector<double>>& values);
void DisplayVPD(const std::string& label, const std::vector<std::pair<double, double>>& values);
void DisplayVPII(const std::string& label, const std::vector<std::pair<int, int>>& values);

}  // namespace KQDisplay_850
