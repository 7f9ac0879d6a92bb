#!/usr/bin/env bash
# Reliability checks for continuous integration, after the normal and the
# AddressSanitizer runs of the suite:
#   1. the thread test under ThreadSanitizer (preset tsan, build/tsan, built
#      with clang and its OpenMP runtime);
#   2. both fuzz targets (build/fuzz, clang's libFuzzer with AddressSanitizer
#      and UndefinedBehaviorSanitizer): every committed input of
#      fuzz/corpus/<target> replayed once, then a short fuzzing run from it.
# Any sanitizer report, broken promise, crash or input slower than the
# timeout fails the script. ORU_FUZZ_SECONDS sets the length of each
# fuzzing run (default 60); 0 replays the corpora only.
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds=${ORU_FUZZ_SECONDS:-60}
timeout_seconds=10

# clang, its libFuzzer runtime and its OpenMP runtime come from Debian's
# packages.
libfuzzer_present() {
  compgen -G '/usr/lib/llvm-14/lib/clang/14*/lib/linux/libclang_rt.fuzzer-x86_64.a' > /dev/null
}
libomp_present() {
  [[ -e /usr/lib/llvm-14/lib/libomp.so && -e /usr/lib/llvm-14/lib/libarcher.so ]]
}
if ! command -v clang++ > /dev/null || ! libfuzzer_present || ! libomp_present; then
  echo "ci_reliability.sh: clang, libFuzzer or clang's OpenMP runtime is missing; install them with" \
    "scripts/install_optional_packages.sh fuzz" >&2
  exit 1
fi
clangxx=$(command -v clang++ || command -v clang++-14)

# The sanitizer build uses clang's OpenMP runtime: its companion library
# (loaded by the runtime itself) tells the sanitizer how the runtime's
# threads synchronise, and the runtime's own uninstrumented code is left out
# of the reports.
echo "== thread test under ThreadSanitizer"
cmake --preset tsan -DCMAKE_CXX_COMPILER="$clangxx" > /dev/null
cmake --build --preset tsan --target oru_special_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1 \
  build/tsan/tests/oru_special_tests --gtest_filter='Threads.*'

echo "== fuzz targets"
cmake -S fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER="$clangxx" > /dev/null
cmake --build build/fuzz

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Runs a fuzz target with its output in a log; on failure shows the end of
# the log (the report and the input's name) and stops.
run_logged() {
  local log=$1
  shift
  if ! "$@" > "$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "a fuzz target failed; the input is under build/fuzz/ci-*" >&2
    exit 1
  fi
}

for target in fuzz_entry_points fuzz_cli; do
  corpus=fuzz/corpus/$target
  options=(-timeout="$timeout_seconds" -rss_limit_mb=4096 -max_len=1024
           -artifact_prefix="build/fuzz/ci-$target-")
  if [[ $target == fuzz_cli ]]; then options+=(-dict=fuzz/fuzz_cli.dict); fi

  echo "== $target: replay of $(ls "$corpus" | wc -l) committed inputs"
  run_logged "build/fuzz/ci-$target-replay.log" "build/fuzz/$target" "${options[@]}" -runs=0 "$corpus"

  if (( fuzz_seconds > 0 )); then
    echo "== $target: fuzzing for $fuzz_seconds s"
    work=build/fuzz/ci-corpus/$target
    rm -rf "$work" && mkdir -p "$work"
    run_logged "build/fuzz/ci-$target-fuzz.log" "build/fuzz/$target" "${options[@]}" \
      -max_total_time="$fuzz_seconds" -print_final_stats=1 "$work" "$corpus"
    grep -E '^(Done|stat::new_units_added)' "build/fuzz/ci-$target-fuzz.log"
  fi
done
echo "== reliability checks passed"
