#include "cli/JsonWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

#include "companion/KQMV.h"

namespace kqcli {
namespace {

constexpr int kSignificantDigits = 17;
constexpr int kIndent = 2;

bool IsScalar(const Json& value) noexcept { return !value.is_structured(); }

/// A scalar as JSON text; a string that is not valid UTF-8 (a label read from the data) has each
/// invalid byte replaced by U+FFFD instead of stopping the output half-way.
std::string Dump(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::replace); }

void WriteScalar(std::ostream& os, const Json& value) {
  if (value.is_number_float()) {
    const double x = value.get<double>();
    if (!std::isfinite(x) || KQCommon_850::KQMV::IsMissing(x)) {
      os << "null";
      return;
    }
    char text[32];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, x, std::chars_format::general, kSignificantDigits);
    os.write(text, end - text);
    return;
  }
  os << Dump(value);  // strings (escaped), integers, booleans and null as nlohmann writes them
}

void Write(std::ostream& os, const Json& value, int depth) {
  if (IsScalar(value)) {
    WriteScalar(os, value);
    return;
  }
  const std::string inner(static_cast<std::size_t>((depth + 1) * kIndent), ' ');
  const std::string outer(static_cast<std::size_t>(depth * kIndent), ' ');
  if (value.is_object()) {
    if (value.empty()) {
      os << "{}";
      return;
    }
    os << "{\n";
    bool first = true;
    for (const auto& [key, item] : value.items()) {
      if (!first) os << ",\n";
      first = false;
      os << inner << Dump(Json(key)) << ": ";
      Write(os, item, depth + 1);
    }
    os << '\n' << outer << '}';
    return;
  }
  const bool flat = std::all_of(value.begin(), value.end(), IsScalar);
  os << '[';
  bool first = true;
  for (const Json& item : value) {
    if (!first) os << (flat ? ", " : ",");
    first = false;
    if (!flat) os << '\n' << inner;
    Write(os, item, depth + 1);
  }
  if (!flat && !value.empty()) os << '\n' << outer;
  os << ']';
}

}  // namespace

Json JsonNumber(double value) {
  if (!std::isfinite(value) || KQCommon_850::KQMV::IsMissing(value)) return nullptr;
  return value;
}

void WriteJson(std::ostream& os, const Json& value) {
  Write(os, value, 0);
  os << '\n';
}

std::string JsonText(const Json& value) {
  std::ostringstream os;
  Write(os, value, 0);
  return os.str();
}

}  // namespace kqcli
