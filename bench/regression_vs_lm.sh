#!/usr/bin/env bash
# The regression benchmarks beside R's lm + summary on the same data, with the machine's load.
# Run from the top folder after a build with -DKQ_BUILD_BENCH=ON into build/bench.
set -euo pipefail
cd "$(dirname "$0")/.."
uptime
build/bench/bench/regression_bench --benchmark_filter='Fit|Plain|BayesFactor'
uptime
Rscript bench/regression_lm.R
uptime
