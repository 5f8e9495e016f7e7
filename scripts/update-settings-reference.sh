#!/usr/bin/env bash
# Writes the settings reference table of examples/README.md from the command's own list of keys:
# the lines between the two "settings reference" markers are replaced by `kqbayes keys --markdown`.
#   scripts/update-settings-reference.sh [path/to/kqbayes]   (default: build/release/cli/kqbayes)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/release/cli/kqbayes}
readme=examples/README.md
table=$("$program" keys --markdown)
awk -v table="$table" '
  /^<!-- settings reference: begin -->$/ { print; print table; skipping = 1; next }
  /^<!-- settings reference: end -->$/ { skipping = 0 }
  !skipping { print }
' "$readme" > "$readme.new"
mv "$readme.new" "$readme"
