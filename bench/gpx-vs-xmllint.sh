#!/bin/sh
# Opening a 60000-point GPX file in the program (read, frame, first
# pictures: BM_OpenGpx60000Points, which writes the file) against
# `xmllint --noout` checking the same file, taken in turns, each the minimum
# of RUNS runs (the program's of three repetitions a run); prints both and
# the ratio.
#   bench/gpx-vs-xmllint.sh [BENCH_BUILD]   (default build-bench, see make bench)
set -eu
build="${1:-build-bench}"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
python3 - "$build/trelvano_bench" "$dir/flight.gpx" "${RUNS:-10}" <<'PY'
import json, os, subprocess, sys, time
bench, path, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
env = dict(os.environ, TRELVANO_GPX_FILE=path, QT_QPA_PLATFORM="offscreen")
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
opened = checked = float("inf")
for _ in range(runs):
    out = subprocess.run([bench, "--benchmark_filter=^BM_OpenGpx60000Points$", "--benchmark_format=json",
                          "--benchmark_repetitions=3"], env=env, check=True, capture_output=True, text=True).stdout
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type") != "aggregate":
            opened = min(opened, b["real_time"] * scale[b.get("time_unit", "ns")])
            pictures = int(b["pictures"])
    start = time.perf_counter()
    subprocess.run(["xmllint", "--noout", path], check=True)
    checked = min(checked, (time.perf_counter() - start) * 1000)
print(f"60000-point GPX ({os.path.getsize(path) / 1e6:.1f} MB), minimum of {runs} runs each, in turns:")
print(f"  open in the program (read, frame, {pictures} pictures) {opened:8.1f} ms")
print(f"  xmllint --noout                                   {checked:8.1f} ms")
print(f"  ratio program / xmllint                           {opened / checked:8.2f}")
PY
