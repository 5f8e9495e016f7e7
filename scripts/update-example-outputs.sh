#!/usr/bin/env bash
# Writes the outputs kept beside the examples: the iris ANOVA as PMML and the scores of the new flowers.
# A test compares them with what the built command writes (the PMML's timestamp aside).
# Usage: scripts/update-example-outputs.sh [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
kqbayes="${1:-build/release}/cli/kqbayes"
"$kqbayes" run examples/settings/iris-anova.json examples/data/iris.csv --quiet \
  --pmml examples/output/iris-anova.pmml >/dev/null
"$kqbayes" score examples/settings/iris-anova.json examples/data/iris.csv examples/data/iris-new.csv \
  --quiet >examples/output/iris-new-scores.csv
