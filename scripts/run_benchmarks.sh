#!/usr/bin/env bash
# Builds the benchmark program (preset `bench`, Release), runs it once and
# writes docs/performance.md from that run.
#
#   scripts/run_benchmarks.sh            # the whole run, about 4 minutes
#   ORU_BENCH_MIN_TIME=0.01 ORU_BENCH_REPETITIONS=1 scripts/run_benchmarks.sh   # a quick smoke run
#
# The run has two passes: every benchmark, then the engine and result-array
# benchmarks again with the C library's allocator keeping freed memory, so
# that the engine's own cost per element can be told apart from the page
# faults of fresh result arrays. Both go into the same document.
set -euo pipefail
cd "$(dirname "$0")/.."

min_time=${ORU_BENCH_MIN_TIME:-0.15}
repetitions=${ORU_BENCH_REPETITIONS:-3}
out_dir=build/bench
doc=docs/performance.md

missing=()
for package in libbenchmark-dev libboost-dev libgsl-dev; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} > 0)); then
    echo "run_benchmarks.sh: missing ${missing[*]}; install them with scripts/install_optional_packages.sh bench" >&2
    exit 1
fi

echo "== build (preset bench)"
cmake --preset bench >/dev/null
cmake --build --preset bench

# The build has just kept both cores busy: wait (at most two minutes) until
# the one-minute load average shows the machine idle again.
for _ in $(seq 24); do
    awk '{exit !($1 < 0.3)}' /proc/loadavg && break
    sleep 5
done

program=$out_dir/bench/oru_special_bench
common=(--benchmark_min_time="$min_time" --benchmark_repetitions="$repetitions"
        --benchmark_report_aggregates_only=true --benchmark_out_format=json)
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

echo "== run: every benchmark"
"$program" "${common[@]}" --benchmark_out="$out_dir/benchmarks.json" >/dev/null

echo "== run: engine and result arrays, allocator keeping freed memory"
GLIBC_TUNABLES=glibc.malloc.trim_threshold=1073741824:glibc.malloc.mmap_threshold=33554432 \
    "$program" "${common[@]}" --benchmark_filter='^(engine|alloc)/' \
    --benchmark_out="$out_dir/benchmarks-kept-memory.json" >/dev/null
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

echo "== write $doc"
mkdir -p docs
python3 scripts/format_benchmarks.py "$out_dir/benchmarks.json" \
    --engine-kept-memory "$out_dir/benchmarks-kept-memory.json" \
    --load-before "$load_before" --load-after "$load_after" \
    --min-time "$min_time" --repetitions "$repetitions" >"$doc"
echo "$doc written"
