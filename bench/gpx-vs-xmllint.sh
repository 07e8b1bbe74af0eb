#!/bin/sh
# Opening a 60000-point GPX file in the program (read, frame, first
# pictures: BM_OpenGpxFile60000Points, which writes the file) against
# `xmllint --noout` checking the same file, each the minimum of RUNS runs;
# prints both and the ratio.
#   bench/gpx-vs-xmllint.sh [BENCH_BUILD]   (default build-bench, see make bench)
set -eu
build="${1:-build-bench}"
runs="${RUNS:-10}"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
file="$dir/flight.gpx"
TRELVANO_GPX_FILE="$file" QT_QPA_PLATFORM=offscreen "$build/trelvano_bench" \
  --benchmark_filter='^BM_OpenGpxFile60000Points$' --benchmark_repetitions="$runs" \
  --benchmark_format=json >"$dir/open.json" 2>/dev/null
python3 - "$file" "$dir/open.json" "$runs" <<'PY'
import json, subprocess, sys, time
path, report, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
runs_of_open = [b for b in json.load(open(report))["benchmarks"] if b.get("run_type") != "aggregate"]
opened = min(b["real_time"] * scale[b.get("time_unit", "ns")] for b in runs_of_open)
pictures = int(runs_of_open[0]["pictures"])
checked = float("inf")
for _ in range(runs):
    start = time.perf_counter()
    subprocess.run(["xmllint", "--noout", path], check=True)
    checked = min(checked, (time.perf_counter() - start) * 1000)
print(f"60000-point GPX ({len(open(path, 'rb').read()) / 1e6:.1f} MB), minimum of {runs} runs:")
print(f"  open in the program (read, frame, first pictures) {opened:8.1f} ms ({pictures} pictures)")
print(f"  xmllint --noout                                   {checked:8.1f} ms")
print(f"  ratio program / xmllint                           {opened / checked:8.2f}")
PY
