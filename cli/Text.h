#pragma once
// Text: what the command does to text it did not write itself (column names, category labels, cells
// quoted in messages) before it prints it. Labels keep their bytes where they are valid UTF-8; each
// invalid byte becomes U+FFFD, so that the JSON stays valid and a terminal shows a mark instead of
// garbage. A message is also made one line: line ends, tabs, NUL and other control characters are
// written as escapes, and an overlong message is cut.

#include <cstddef>
#include <string>
#include <string_view>

namespace kqcli {

/// text with every byte that does not belong to a valid UTF-8 sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

/// The longest message the command prints, in bytes, before "..." ends it.
inline constexpr std::size_t kMaxMessageBytes = 400;

/// text as one printable line: valid UTF-8, control characters escaped ("\n", "\t", "\x00", "\x1b"),
/// at most kMaxMessageBytes bytes (cut at a character boundary, then "...").
std::string OneLine(std::string_view text);

/// The number of single-character insertions, deletions and substitutions (letter case ignored) that
/// turn a into b.
std::size_t EditDistance(std::string_view a, std::string_view b);

}  // namespace kqcli
