#!/usr/bin/env bash
# scripts/fuzz.sh [TARGET|all] [SECONDS]: builds the fuzz targets (clang, libFuzzer, ASan, UBSan)
# in build-fuzz and runs one or all of them for SECONDS each (default 60) on the seed corpus.
# New inputs go to build-fuzz/corpus/TARGET; a crash leaves its input in build-fuzz/crashes/.
# FUZZ_SEED fixes libFuzzer's random seed (CI does, so that a run can be repeated); 0 or unset
# picks a new one each run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TELLVANE_FUZZ_BUILD:-$root/build-fuzz}"
target="${1:-all}"
seconds="${2:-60}"

# clang and its runtime libraries (libFuzzer and the sanitizers) besides the usual packages.
"$root/scripts/deps.sh" clang libclang-rt-dev

CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELLVANE_FUZZ=ON >/dev/null
targets=()
if [ "$target" = all ]; then
  for src in "$root"/fuzz/*.cpp; do
    name="$(basename "$src" .cpp)"
    case "$name" in FuzzSupport | FuzzEntry) ;; *) targets+=("$name") ;; esac
  done
else
  targets=("$target")
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus" "$build/crashes"
  seeds=("$root/fuzz/corpus/$t")
  [ -d "$root/tests/data/malformed/$t" ] && seeds+=("$root/tests/data/malformed/$t")
  dict=()
  [ -f "$root/fuzz/dict/$t.dict" ] && dict=(-dict="$root/fuzz/dict/$t.dict")
  echo "== $t: $seconds s"
  # A leak, a timeout of 10 s per input or 1 GiB of memory counts as a fault like a crash.
  log="$build/$t.log"
  rc=0
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/bin/fuzz_$t" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
    -max_len=8192 -seed="${FUZZ_SEED:-0}" -print_final_stats=1 -artifact_prefix="$build/crashes/$t-" \
    "$corpus" "${seeds[@]}" >"$log" 2>&1 || rc=$?
  grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|stat::number_of_executed_units|stat::average_exec_per_sec' "$log" || true
  if [ "$rc" -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|property broken|Test unit written' "$log" || tail -20 "$log"
    echo "== $t: FAULT (whole output in $log)"
    status=1
  fi
done
exit $status
