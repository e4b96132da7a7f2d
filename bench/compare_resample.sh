#!/bin/sh
# Runs our resizers and Pillow's Lanczos side by side and prints a table
# (best of several runs each). Usage: bench/compare_resample.sh <velmor_bench>
set -eu
bench=${1:?path to velmor_bench}
here=$(dirname "$0")
ours=$("$bench" --benchmark_filter='BM_resample|Glass' --benchmark_repetitions=3 \
    --benchmark_format=csv 2>/dev/null)
pillow=$(/usr/bin/python3 "$here/pillow_resample.py" 10)
printf '%s\n' "$ours" | awk -F, -v pillow="$pillow" '
  BEGIN {
    n = split(pillow, lines, "\n")
    for (i = 1; i <= n; i++) { split(lines[i], f, "[/ ]"); p[f[2]] = f[3] }
  }
  /^"BM_/ {
    name = $1; gsub(/"/, "", name)
    if (name ~ /_(mean|median|stddev|cv)$/) next
    ms = $4 / ($5 == "us" ? 1000 : ($5 == "ns" ? 1e6 : 1))
    if (!(name in best) || ms < best[name]) best[name] = ms
  }
  END {
    printf "%-26s %10s %10s %8s\n", "benchmark", "ours ms", "pillow ms", "speedup"
    for (name in best) {
      split(name, f, "/")
      size = f[2]
      if (f[1] == "BM_resample" && (size in p))
        printf "%-26s %10.2f %10.2f %7.1fx\n", name, best[name], p[size], p[size] / best[name]
      else
        printf "%-26s %10.3f %10s %8s\n", name, best[name], "", ""
    }
  }' | sort
