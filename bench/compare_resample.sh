#!/bin/sh
# Runs our resizers and Pillow's Lanczos side by side and prints a table
# (best of several runs each), with Pillow's time over ours for each of our
# Lanczos kernel sets: the widest the processor has (BM_resample), AVX2 and
# the SSE2 baseline. Usage: bench/compare_resample.sh <velmor_bench>
# VELMOR_VECTORS=sse2 in the environment runs all of ours as a processor
# without AVX2 would (renderer/simd.h).
#
# The results are read as JSON: the CSV reporter aborts the program as soon as
# one benchmark reports a counter the first one did not (BM_compositeGlass
# reports "visible"). The filter names our benchmarks only, so others added to
# the same program neither run nor get mixed into the table.
set -eu
bench=${1:?path to velmor_bench}
here=$(dirname "$0")
results=$(mktemp)
trap 'rm -f "$results"' EXIT
"$bench" --benchmark_filter='^BM_resample(Avx2|Baseline|Fast)?/[0-9]+$|^BM_(prepare|composite)Glass$' \
    --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true --benchmark_out="$results" --benchmark_out_format=json >/dev/null
/usr/bin/python3 "$here/pillow_resample.py" 10 | /usr/bin/python3 -c '
import json
import sys

pillow = {}
for line in sys.stdin:
    name, ms, _ = line.split()
    pillow[name.split("/")[1]] = float(ms)
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
best = {}
for run in json.load(open(sys.argv[1]))["benchmarks"]:
    if run.get("run_type", "iteration") != "iteration":
        continue
    name = run.get("run_name", run["name"])
    ms = run["real_time"] * scale[run["time_unit"]]
    best[name] = min(ms, best.get(name, ms))
if not best:
    sys.exit("no benchmark results")
print("%-26s %10s %10s %8s" % ("benchmark", "ours ms", "pillow ms", "speedup"))
def order(name):
    family, _, size = name.partition("/")
    return (family, int(size) if size.isdigit() else 0)
for name in sorted(best, key=order):
    family, _, size = name.partition("/")
    if family in ("BM_resample", "BM_resampleAvx2", "BM_resampleBaseline") and size in pillow:
        print(f"{name:<26} {best[name]:10.2f} {pillow[size]:10.2f} {pillow[size] / best[name]:7.2f}x")
    else:
        print(f"{name:<26} {best[name]:10.3f}")
' "$results"
