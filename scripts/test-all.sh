#!/usr/bin/env bash
# Every check: source checks, the Release build with all tests, the example host built against
# the installed package, the whole test suite again under AddressSanitizer and UBSan, and the threaded
# tests under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
# Compiler cache: the three configurations share no objects, but a rerun on the same machine (another
# checkout of the same sources) compiles only what changed. Paths are taken relative to the checkout.
export CCACHE_BASEDIR="$PWD"
launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

scripts/check-sources.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DKQ_WERROR=ON "${launcher[@]}"
cmake --build build/release -j"$jobs"
cmake --build build/release -j"$jobs" --target kq_header_check
ctest --test-dir build/release --output-on-failure -j"$jobs"

cmake --install build/release --prefix "$PWD/build/install" >/dev/null
cmake -S examples/host -B build/host -DCMAKE_PREFIX_PATH="$PWD/build/install" >/dev/null
cmake --build build/host -j"$jobs"
build/host/kqhost examples/data/scores.csv >/dev/null

# -O1 without debug information: the sanitizers' reports keep their frames and the build is faster.
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1" -DKQ_SANITIZE=ON -DKQ_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build build/sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j"$jobs"
# The threaded tests under ThreadSanitizer: only the correlation analysis runs tasks on several threads, so
# only its test program is built here.
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1" -DKQ_TSAN=ON -DKQ_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build build/tsan -j"$jobs" --target correlation_BSNPearsonCorrelation_test
TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/correlation_BSNPearsonCorrelation_test --gtest_filter='*Thread*'
echo "all checks passed"
