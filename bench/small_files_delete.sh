#!/usr/bin/env bash
# Files per second of encrypting, then decrypting, a folder of COUNT files of 1 KiB with Blowfish,
# keeping the sources and deleting them. Deleting a source costs a flush of the output and of its
# folder (a power cut must not leave neither file); keeping it costs nothing more.
# The folder lies on a real disk (/var/tmp), not a RAM disk: the flushes cost what they cost there.
# RUNS runs of each of the four; the medians are printed.
#
# To compare two builds, give both binaries separated by a colon (OLD:NEW): every run times each of
# them in turn on the same fresh files, so the disk's moods hit both alike, and the ratio is printed.
#
# Usage: bench/small_files_delete.sh [TELLVANE_CLI[:TELLVANE_CLI]] [COUNT] [RUNS] [WORK_DIR]
#   defaults: build/bin/tellvane-cli, 2000, 3, a fresh folder under /var/tmp
set -euo pipefail

IFS=: read -r -a CLIS <<<"${1:-build/bin/tellvane-cli}"
COUNT=${2:-2000}
RUNS=${3:-3}
WORK=${4:-}
for i in "${!CLIS[@]}"; do
  [ -x "${CLIS[$i]}" ] || { echo "tellvane-cli not found at ${CLIS[$i]}" >&2; exit 1; }
  CLIS[$i]=$(readlink -f "${CLIS[$i]}")
done
if [ -z "$WORK" ]; then
  WORK=$(mktemp -d /var/tmp/tellvane-small-bench.XXXXXX)
  trap 'rm -rf "$WORK"' EXIT
fi
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/config
mkdir -p "$HOME" "$WORK/files"
printf 'bench\n' > "$WORK/pw"

make_files() {
  rm -rf "$WORK/files"; mkdir -p "$WORK/files"
  head -c $((COUNT * 1024)) /dev/urandom | split -b 1024 -a 6 - "$WORK/files/f"
  sync
}

# Seconds of one command, as a decimal.
seconds() {
  local t0 t1
  t0=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

declare -A results
for run in $(seq "$RUNS"); do
  for mode in keep delete; do
    flag=(); [ $mode = delete ] && flag=(--delete-source)
    for i in "${!CLIS[@]}"; do
      make_files
      t=$(seconds "${CLIS[$i]}" encrypt -a BFS -p "$WORK/pw" "${flag[@]}" "$WORK/files")
      results[$i-enc-$mode]+="$(echo "$COUNT / $t" | bc -l) "
      [ $mode = keep ] && find "$WORK/files" -type f ! -name '*.enc' -delete
      sync
      t=$(seconds "${CLIS[$i]}" decrypt -p "$WORK/pw" "${flag[@]}" "$WORK/files")
      results[$i-dec-$mode]+="$(echo "$COUNT / $t" | bc -l) "
    done
  done
done
for key in enc-keep enc-delete dec-keep dec-delete; do
  line=$(printf '%-11s' "$key")
  for i in "${!CLIS[@]}"; do
    m[$i]=$(tr ' ' '\n' <<<"${results[$i-$key]}" | grep . | median)
    line+=$(printf ' %8.0f files/s' "${m[$i]}")
  done
  [ ${#CLIS[@]} -eq 2 ] && line+=$(printf '   new/old %.2f' "$(echo "${m[1]} / ${m[0]}" | bc -l)")
  echo "$line  (median of $RUNS runs, $COUNT files of 1 KiB)"
done
