#pragma once
// JsonWriter: the command's JSON output. Real numbers are written with 17 significant digits, so
// that every double reads back to the same bits; the missing value, NaN and the infinities, which
// JSON cannot carry, are written as null. Objects put one key per line; arrays of plain values stay
// on one line, so that a plot curve is one line rather than a hundred. Text that is not valid UTF-8
// (a label read from the data) is written with U+FFFD in place of each invalid byte.

#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace kqcli {

using Json = nlohmann::ordered_json;

/// A double as JSON: null for the missing value, NaN and the infinities; the number otherwise.
Json JsonNumber(double value);

/// Writes value, two spaces of indent per level, and ends with a newline.
void WriteJson(std::ostream& os, const Json& value);

/// The text WriteJson would write, without the final newline.
std::string JsonText(const Json& value);

}  // namespace kqcli
