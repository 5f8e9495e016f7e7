#!/usr/bin/env bash
# Installs the dependencies, builds the libraries and the kqbayes command, and runs the paired
# analysis of Student's sleep data, printing its tables. The example host program is built against
# the installed package and run as well.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$jobs"
cmake --install build/release --prefix "$PWD/build/install" >/dev/null
cmake -S examples/host -B build/host -DCMAKE_PREFIX_PATH="$PWD/build/install" >/dev/null
cmake --build build/host -j"$jobs"
build/host/kqhost examples/data/scores.csv >/dev/null
build/release/cli/kqbayes run examples/settings/sleep-paired-related.json examples/data/sleep.csv
