#!/bin/sh
# Runs the benchmarks of two builds alternately, 8 times each, and prints per
# benchmark the minimum real and CPU time of each build and the speed-ups
# (old / new). CPU time counts the calling thread only: for redraws that use
# a second core, compare real times.
#   bench/compare.sh OLD_BUILD NEW_BUILD [FILTER]
set -eu
if [ $# -lt 2 ]; then
  echo "usage: $0 OLD_BUILD NEW_BUILD [BENCHMARK_FILTER]" >&2
  exit 2
fi
old="$1/trelvano_bench"
new="$2/trelvano_bench"
filter="${3:-.}"
runs="${RUNS:-8}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for i in $(seq "$runs"); do
  for side in old new; do
    eval bin=\$$side
    QT_QPA_PLATFORM=offscreen "$bin" --benchmark_filter="$filter" --benchmark_format=json >"$out/$side-$i.json" 2>/dev/null
  done
done
python3 - "$out" "$runs" <<'PY'
import json, sys
out, runs = sys.argv[1], int(sys.argv[2])
best = {}
order = []
for side in ("old", "new"):
    for i in range(1, runs + 1):
        for b in json.load(open(f"{out}/{side}-{i}.json"))["benchmarks"]:
            if b.get("run_type") == "aggregate":
                continue
            name = b["name"]
            if name not in order:
                order.append(name)
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
            r, c = best.get((side, name), (float("inf"), float("inf")))
            best[(side, name)] = (min(r, b["real_time"] * scale), min(c, b["cpu_time"] * scale))
print(f"{'benchmark (min of %d, ms)' % runs:62} {'old real':>9} {'new real':>9} {'real x':>7} {'old cpu':>9} {'new cpu':>9} {'cpu x':>7}")
for name in order:
    if ("old", name) not in best or ("new", name) not in best:
        continue
    (orl, ocp), (nrl, ncp) = best[("old", name)], best[("new", name)]
    print(f"{name:62} {orl:9.3f} {nrl:9.3f} {orl / nrl:7.2f} {ocp:9.3f} {ncp:9.3f} {ocp / ncp:7.2f}")
PY
