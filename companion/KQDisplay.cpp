#include "companion/KQDisplay.h"

#include <cstdio>
#include <initializer_list>
#include <iostream>
#include <string_view>

#include "companion/KQMV.h"

namespace KQDisplay_850 {
namespace {

thread_local std::ostream* currentStream = nullptr;

std::ostream& Out() { return currentStream != nullptr ? *currentStream : std::cout; }

std::string FormatDouble(double x) {
  if (KQCommon_850::KQMV::IsMissing(x)) return "missing";
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.17g", x);
  return buffer;
}

// Joins pieces with +=; chains of operator+ on temporaries trip a false -Wrestrict in GCC 12.
std::string Join(std::initializer_list<std::string_view> pieces) {
  std::string text;
  for (std::string_view piece : pieces) text += piece;
  return text;
}

template <class T, class Format>
void DisplayList(const std::string& label, const std::vector<T>& values, Format format) {
  std::ostream& os = Out();
  os << label << " (" << values.size() << ") = [";
  for (std::size_t i = 0; i < values.size(); ++i) os << (i == 0 ? "" : ", ") << format(values[i]);
  os << "]\n";
}

}  // namespace

std::ostream* GetOutStream() noexcept { return currentStream; }
void SetOutStream(std::ostream* os) noexcept { currentStream = os; }

void DisplayText(int level, const std::string& text) {
  const int indent = level > 1 ? 2 * (level - 1) : 0;
  Out() << std::string(static_cast<std::size_t>(indent), ' ') << text << '\n';
}

void DisplayB(const std::string& label, bool value) {
  Out() << label << " = " << (value ? "true" : "false") << '\n';
}
void DisplayI(const std::string& label, int value) { Out() << label << " = " << value << '\n'; }
void DisplayL(const std::string& label, long value) { Out() << label << " = " << value << '\n'; }
void DisplayD(const std::string& label, double value) {
  Out() << label << " = " << FormatDouble(value) << '\n';
}
void DisplayS(const std::string& label, const std::string& value) {
  Out() << label << " = " << value << '\n';
}

void DisplayIV(const std::string& label, const std::vector<int>& values) {
  DisplayList(label, values, [](int v) { return std::to_string(v); });
}
void DisplayDV(const std::string& label, const std::vector<double>& values) {
  DisplayList(label, values, FormatDouble);
}
void DisplayBV(const std::string& label, const std::vector<bool>& values) {
  DisplayList(label, values, [](bool v) { return std::string(v ? "true" : "false"); });
}
void DisplayDVV(const std::string& label, const std::vector<std::vector<double>>& values) {
  Out() << label << " (" << values.size() << ")\n";
  for (std::size_t i = 0; i < values.size(); ++i) DisplayDV(Join({"  [", std::to_string(i), "]"}), values[i]);
}
void DisplayVPD(const std::string& label, const std::vector<std::pair<double, double>>& values) {
  DisplayList(label, values, [](const auto& p) {
    return Join({"(", FormatDouble(p.first), ", ", FormatDouble(p.second), ")"});
  });
}
void DisplayVPII(const std::string& label, const std::vector<std::pair<int, int>>& values) {
  DisplayList(label, values, [](const auto& p) {
    return Join({"(", std::to_string(p.first), ", ", std::to_string(p.second), ")"});
  });
}

}  // namespace KQDisplay_850
