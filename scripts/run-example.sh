#!/usr/bin/env bash
# Installs the dependencies, builds and installs the libraries, then builds the example host
# program against the installed package and runs it on the bundled data set.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$jobs"
cmake --install build/release --prefix "$PWD/build/install" >/dev/null
cmake -S examples/host -B build/host -DCMAKE_PREFIX_PATH="$PWD/build/install" >/dev/null
cmake --build build/host -j"$jobs"
build/host/kqhost examples/data/scores.csv
