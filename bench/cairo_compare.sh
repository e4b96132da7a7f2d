#!/bin/sh
# Builds the cairo anchor frame and runs it beside our frame benchmark in the
# same session, then prints both tables and our/cairo ratios (best of several
# runs each; the machine is shared, so repeat when numbers look odd).
#
# The anchor draws every frame whole. Ours is shown two ways: "renderTo" draws
# the whole frame (BM_renderSteady); "renderOver" is the steady tick as the
# running clock draws it, over the frame it kept from the last tick, 50 ms
# earlier (BM_renderSteadyOver). VELMOR_VECTORS=sse2 in the environment runs
# our side as a processor without AVX2 would.
# Usage: bench/cairo_compare.sh <velmor_bench> [path to cairo_frame.c]
set -eu
bench=${1:?path to velmor_bench}
anchor=${2:-/work/shared/anchors/cairo_frame.c}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
gcc -O2 "$anchor" -o "$work/cairo_frame" $(pkg-config --cflags --libs cairo) -lm
"$bench" --benchmark_filter='^BM_(renderSteady|renderSteadyOver|renderNewSize|renderAnimationStep|renderGrowingAnimation|frameMemcpy)' \
    --benchmark_repetitions=5 --benchmark_out="$work/ours.json" --benchmark_out_format=json >/dev/null
: > "$work/cairo.txt"
for run in 1 2 3; do "$work/cairo_frame" >> "$work/cairo.txt"; done
/usr/bin/python3 - "$work/ours.json" "$work/cairo.txt" <<'PY'
import json, re, sys
scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}
best = {}
for run in json.load(open(sys.argv[1]))["benchmarks"]:
    if run.get("run_type", "iteration") != "iteration":
        continue
    name = run.get("run_name", run["name"])
    us = run["real_time"] * scale[run["time_unit"]]
    best[name] = min(us, best.get(name, us))
cairo, cairoCopy = {}, {}
for line in open(sys.argv[2]):
    m = re.match(r"cairo frame\s+(\d+) px:\s+([\d.]+) us\s+memcpy\s+([\d.]+) us", line)
    if m:
        n = int(m.group(1))
        cairo[n] = min(float(m.group(2)), cairo.get(n, 1e18))
        cairoCopy[n] = min(float(m.group(3)), cairoCopy.get(n, 1e18))
print("%6s %10s %10s %10s %11s %12s %9s %9s" % ("size", "renderTo", "renderOver", "cairo us", "our memcpy",
                                               "cairo memcpy", "To/cairo", "Over/cairo"))
for n in (160, 320, 640, 960, 1200):
    whole = best.get("BM_renderSteady/%d" % n)
    over = best.get("BM_renderSteadyOver/%d" % n)
    copy = best.get("BM_frameMemcpy/%d" % n)
    if whole is None or over is None or n not in cairo:
        continue
    print("%6d %10.1f %10.1f %10.1f %11.1f %12.1f %9.2f %9.2f" % (n, whole, over, cairo[n], copy or 0, cairoCopy[n],
                                                                whole / cairo[n], over / cairo[n]))
for name in ("BM_renderNewSize/320", "BM_renderNewSize/1199", "BM_renderAnimationStep/1200", "BM_renderGrowingAnimation"):
    if name in best:
        print("%-28s %10.2f ms" % (name, best[name] / 1e3))
PY
