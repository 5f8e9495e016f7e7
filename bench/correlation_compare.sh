#!/usr/bin/env bash
# The correlation benchmark beside R's cor() of the same 100 x 10000 matrix, with the machine's load.
# Run from the top folder after a build with -DKQ_BUILD_BENCH=ON: bench/correlation_compare.sh [build dir]
set -euo pipefail
build=${1:-build/release}
uptime
Rscript -e 'r <- 0:9999; x <- sapply(0:99, function(v) sin(r * (v + 1)) + 0.5 * sin(0.37 * r + v));
            t <- system.time(for (i in 1:5) cor(x)); cat(sprintf("R cor(): %.3f s per matrix\n", t[["elapsed"]] / 5))'
"$build"/bench/correlation_bench
uptime
