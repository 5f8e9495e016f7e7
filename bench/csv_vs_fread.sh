#!/usr/bin/env bash
# Reading speed of the command's CSV reader beside R's data.table::fread on the same file, on one
# thread and on two, in one run so that both see the same machine load.
#
#   bench/csv_vs_fread.sh [BUILD_DIR] [ROUNDS]
#
# BUILD_DIR (default build/release) must hold bench/csv_bench. The file (eight columns of numbers with
# six decimals, about 128 MB) is written once by csv_bench into a temporary path, read once by each
# reader to warm the page cache, then each round times fread (nThread = 1 and 2) and csv_bench (1 and 2
# threads), each as the mean of five reads, printing the load average first.
# MB/s are decimal megabytes of the file per second of wall time. Needs Rscript with data.table
# (Debian: r-cran-data.table). A manual benchmark: CI does not run it.
set -euo pipefail

build_dir=${1:-build/release}
rounds=${2:-3}
bench="$build_dir/bench/csv_bench"
[[ -x "$bench" ]] || { echo "csv_vs_fread: $bench not found (build the csv_bench target)" >&2; exit 2; }
command -v Rscript >/dev/null || { echo "csv_vs_fread: Rscript not found" >&2; exit 2; }
Rscript -e 'suppressMessages(library(data.table))' 2>/dev/null ||
  { echo "csv_vs_fread: R package data.table not found (r-cran-data.table)" >&2; exit 2; }

file=$(mktemp -u /tmp/kq_csv_vs_fread_XXXXXX.csv)
trap 'rm -f "$file"' EXIT
export KQ_CSV_BENCH_FILE="$file"

# Writes the file (first call) and warms the page cache for both readers.
"$bench" --benchmark_filter='BM_ReadNumericCsv/1/' >/dev/null 2>&1
size=$(stat -c %s "$file")

fread_mbps() {  # threads -> MB/s, mean of five reads
  Rscript -e "suppressMessages(library(data.table)); f <- '$file'; th <- $1
    total <- 0
    for (i in 1:5) total <- total + system.time(d <- fread(f, nThread = th, showProgress = FALSE))[['elapsed']]
    stopifnot(nrow(d) > 0, ncol(d) == 8)
    cat(sprintf('%.0f', file.size(f) / 1e6 / (total / 5)))"
}

ours_mbps() {  # threads -> MB/s, mean of five reads (the benchmark's iterations)
  "$bench" --benchmark_filter="BM_ReadNumericCsv/$1/" 2>/dev/null |
    sed -n 's/.*MB\/s=\([0-9.]*k\{0,1\}\).*/\1/p' |
    awk '{ v = $1; if (v ~ /k$/) { sub(/k$/, "", v); v *= 1000 } printf "%.0f", v }'  # 1.07k: 1070
}

fread_mbps 1 >/dev/null  # warm-up: R's start and the page cache

echo "file: $((size / 1000000)) MB, $(nproc) cores"
printf '%-6s %-44s %12s %12s %12s %12s\n' round "load (1, 5, 15 min)" "fread 1 th" "ours 1 th" "fread 2 th" "ours 2 th"
for ((r = 1; r <= rounds; ++r)); do
  load=$(cut -d' ' -f1-3 /proc/loadavg)
  f1=$(fread_mbps 1)
  o1=$(ours_mbps 1)
  f2=$(fread_mbps 2)
  o2=$(ours_mbps 2)
  printf '%-6s %-44s %12s %12s %12s %12s\n' "$r" "$load" "$f1 MB/s" "$o1 MB/s" "$f2 MB/s" "$o2 MB/s"
done
echo "uptime: $(uptime)"
