#!/usr/bin/env bash
# The program on one core (taskset -c 0) and on all of them, in one go: decrypting 256 MiB of
# Blowfish and encrypting 16 MiB "All at once", medians of RUNS runs, and the speed-up of each.
# Then the cost of deleting sources: 3000 files of 1 KiB encrypted and decrypted keeping their
# sources and deleting them (bench/small_files_delete.sh), and the time of each deleting run
# against the keeping one.
# Usage: bench/every_core.sh [BENCH_BINARY] [RUNS] [WORK_DIR] [TELLVANE_CLI]
#   defaults: build-test/bin/bench_every_core, 5, /var/tmp, tellvane-cli beside the bench binary
set -euo pipefail
BIN=${1:-build-test/bin/bench_every_core}
RUNS=${2:-5}
WORK=${3:-/var/tmp}
CLI=${4:-$(dirname "$BIN")/tellvane-cli}
[ -x "$BIN" ] || { echo "bench_every_core not found at $BIN" >&2; exit 1; }
[ -x "$CLI" ] || { echo "tellvane-cli not found at $CLI" >&2; exit 1; }
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
one=$(taskset -c 0 "$BIN" "$WORK" "$RUNS")
all=$("$BIN" "$WORK" "$RUNS")
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "--- one core"; echo "$one"
echo "--- every core"; echo "$all"
value() { echo "$1" | awk -v k="$2" '$1 == k {print $2}'; }
for key in decrypt_bfs_256MiB_seconds all_at_once_16MiB_seconds; do
  echo "$key speed-up: $(echo "$(value "$one" $key) / $(value "$all" $key)" | bc -l | cut -c1-5)"
done
echo "--- deleting sources, $(cut -d' ' -f1-3 /proc/loadavg) load before"
small=$("$(dirname "$0")/small_files_delete.sh" "$CLI" 3000 "$RUNS")
echo "$small"
rate() { echo "$small" | awk -v k="$1" '$1 == k {print $2}'; }
for op in enc dec; do
  echo "$op time deleting / keeping: $(echo "$(rate $op-keep) / $(rate $op-delete)" | bc -l | cut -c1-5) (at most 1.667)"
done
