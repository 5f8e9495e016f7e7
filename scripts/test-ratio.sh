#!/usr/bin/env bash
# Prints the size of the tests against the size of the code they test: non-blank lines of .h/.cpp
# files that are neither // comment lines nor inside /* */ blocks, under tests/ and everywhere else
# (build and install folders excluded), and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."

count_lines() {  # file list on stdin
  xargs -r cat | awk '
    { line = $0 }
    inblock { if (index(line, "*/")) { inblock = 0; line = substr(line, index(line, "*/") + 2) } else next }
    {
      while (match(line, /\/\*/)) {
        rest = substr(line, RSTART + 2)
        if (index(rest, "*/")) { line = substr(line, 1, RSTART - 1) substr(rest, index(rest, "*/") + 2) }
        else { line = substr(line, 1, RSTART - 1); inblock = 1 }
      }
      sub(/^[ \t]+/, "", line)
      if (line == "" || substr(line, 1, 2) == "//") next
      n++
    }
    END { print n + 0 }'
}

sources() {
  find . \( -path './build*' -o -path './_install*' -o -path './.git' \) -prune -o -type f \
       \( -name '*.h' -o -name '*.cpp' \) -print
}
tests=$(sources | grep '^\./tests/' | count_lines)
code=$(sources | grep -v '^\./tests/' | count_lines)
echo "tests: $tests lines"
echo "code:  $code lines"
awk -v t="$tests" -v c="$code" 'BEGIN { printf "ratio: %.2f\n", t / c }'
