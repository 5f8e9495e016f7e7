#!/usr/bin/env bash
# End to end: `kqbayes run` of a one-sample normal analysis of ten columns on a CSV of about 500 MB,
# beside R reading the same file with data.table::fread and taking colMeans. Wall time and peak
# resident memory come from /usr/bin/time -v; R's line also gives the time of fread + colMeans alone
# (without starting R and loading the package).
#
#   bench/end_to_end_vs_fread.sh [BUILD_DIR] [ROUNDS] [MEGABYTES]
#
# BUILD_DIR (default build/release) must hold cli/kqbayes. The file (ten columns of uniform numbers on
# [-1000, 1000] with at most six decimals, written by data.table::fwrite) goes to a temporary folder
# under /tmp and is removed at the end. Needs Rscript with data.table (Debian: r-cran-data.table).
# A manual benchmark: CI does not run it.
set -euo pipefail

build_dir=${1:-build/release}
rounds=${2:-2}
megabytes=${3:-500}
kqbayes="$build_dir/cli/kqbayes"
[[ -x "$kqbayes" ]] || { echo "end_to_end_vs_fread: $kqbayes not found" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "end_to_end_vs_fread: /usr/bin/time not found (Debian: time)" >&2; exit 2; }

dir=$(mktemp -d /tmp/kq_end_to_end_XXXXXX)
trap 'rm -rf "$dir"' EXIT
data="$dir/data.csv"
settings="$dir/settings.json"

Rscript -e "suppressMessages(library(data.table)); set.seed(1)
  n <- round($megabytes * 1e6 / 108)
  d <- as.data.table(matrix(round(runif(n * 10, -1000, 1000), 6), ncol = 10, dimnames = list(NULL, paste0('v', 0:9))))
  fwrite(d, '$data')"
cat >"$settings" <<'EOF'
{
  "ModelType": "One-Sample",
  "TestDistType": "Normal",
  "AnalysType": "Both",
  "Covariates": ["v0", "v1", "v2", "v3", "v4", "v5", "v6", "v7", "v8", "v9"],
  "NullValues": [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]
}
EOF
echo "file: $(($(stat -c %s "$data") / 1000000)) MB, $(wc -l <"$data") lines, $(nproc) cores"
cat "$data" >/dev/null  # into the page cache

# Runs a command under /usr/bin/time -v; prints "wall seconds, peak RSS MB".
measure() {
  /usr/bin/time -v -o "$dir/time.txt" "$@" >"$dir/out.txt" 2>"$dir/err.txt" ||
    { echo "end_to_end_vs_fread: failed: $*" >&2; cat "$dir/err.txt" >&2; exit 1; }
  awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; ++i) s = s * 60 + t[i] }
              /Maximum resident set size/ { rss = $2 / 1024 }
              END { printf "%6.2f s %7.0f MB", s, rss }' "$dir/time.txt"
}

r_code() {  # threads
  echo "suppressMessages(library(data.table))
    t <- system.time({ d <- fread('$data', nThread = $1, showProgress = FALSE); m <- colMeans(d) })[['elapsed']]
    stopifnot(ncol(d) == 10)
    cat(sprintf('%.2f', t))"
}

printf '%-6s %-18s %-26s %-26s %s\n' round "load (1, 5, 15)" "reader" "wall, peak RSS" "inside R: fread + colMeans"
for ((r = 1; r <= rounds; ++r)); do
  for threads in 1 2; do
    load=$(cut -d' ' -f1-3 /proc/loadavg)
    printf '%-6s %-18s %-26s %s\n' "$r" "$load" "kqbayes --threads $threads" \
      "$(measure "$kqbayes" run "$settings" "$data" --json --threads "$threads" --quiet)"
    load=$(cut -d' ' -f1-3 /proc/loadavg)
    result=$(measure Rscript -e "$(r_code "$threads")")
    printf '%-6s %-18s %-26s %s %11s s\n' "$r" "$load" "R fread nThread=$threads" "$result" "$(cat "$dir/out.txt")"
  done
done
echo "uptime: $(uptime)"
