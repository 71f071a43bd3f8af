#!/usr/bin/env bash
# Times our wiping passes against coreutils shred on the same file, in one run:
#   TZeroPass (1 pass of zeros)    vs  shred -n 0 -z -u
#   TRandPass (1 random pass)      vs  shred -n 1 -u
#   TNAVSOMF  (3 passes)           vs  shred -n 3 -u
# Both flush every pass to the device. Before every timed run the file is rewritten and synced.
# Prints the median of RUNS runs as MB/s per pass (MB = 10^6 bytes) and the ratio ours/shred.
#
# Usage: bench/shred_vs_coreutils.sh [TELLVANE_CLI] [SIZE_MIB] [RUNS] [WORK_DIR]
#   defaults: build/bin/tellvane-cli, 1024, 3, a fresh folder under /var/tmp (not a RAM disk)
set -euo pipefail

CLI=${1:-build/bin/tellvane-cli}
SIZE_MIB=${2:-1024}
RUNS=${3:-3}
WORK=${4:-}
command -v shred >/dev/null || { echo "coreutils shred not found" >&2; exit 1; }
[ -x "$CLI" ] || { echo "tellvane-cli not found at $CLI" >&2; exit 1; }
if [ -z "$WORK" ]; then
  WORK=$(mktemp -d /var/tmp/tellvane-shred-bench.XXXXXX)
  trap 'rm -rf "$WORK"' EXIT
fi
FILE=$WORK/victim.bin
BYTES=$((SIZE_MIB * 1024 * 1024))

prepare() {
  dd if=/dev/zero of="$FILE" bs=1M count="$SIZE_MIB" conv=fsync status=none
  sync "$FILE"
}

# Seconds taken by the command, with nanosecond resolution.
timed() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  [ ! -e "$FILE" ] || { echo "the file survived: $*" >&2; exit 1; }
  echo "$(( end - start ))"
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

declare -A OURS SHRED
cases=("TZeroPass|1|-n 0 -z -u" "TRandPass|1|-n 1 -u" "TNAVSOMF|3|-n 3 -u")

echo "file: $FILE, $SIZE_MIB MiB, $RUNS runs, $(nproc) cores"
for ((run = 1; run <= RUNS; run++)); do
  for c in "${cases[@]}"; do
    IFS='|' read -r method passes shredArgs <<<"$c"
    prepare
    OURS[$method]+="$(timed "$CLI" shred -m "$method" "$FILE") "
    prepare
    # shellcheck disable=SC2086
    SHRED[$method]+="$(timed shred $shredArgs "$FILE") "
  done
done

printf '%-10s %6s %12s %14s %12s %14s %7s\n' method passes "ours s" "ours MB/s/pass" "shred s" "shred MB/s/pass" ratio
for c in "${cases[@]}"; do
  IFS='|' read -r method passes shredArgs <<<"$c"
  # shellcheck disable=SC2086
  ours=$(median ${OURS[$method]})
  # shellcheck disable=SC2086
  theirs=$(median ${SHRED[$method]})
  awk -v m="$method" -v p="$passes" -v b="$BYTES" -v o="$ours" -v t="$theirs" -v args="$shredArgs" 'BEGIN {
    os = o / 1e9; ts = t / 1e9
    orate = b * p / os / 1e6; trate = b * p / ts / 1e6
    printf "%-10s %6d %12.3f %14.1f %12.3f %14.1f %7.2f   (shred %s)\n", m, p, os, orate, ts, trate, orate / trate, args
  }'
done
