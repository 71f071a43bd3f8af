#!/usr/bin/env bash
# Times our encryption and decryption against `openssl enc` on the same file, in one run:
#   RIJ (AES-192-CBC)  vs  openssl enc -aes-192-cbc
#   BFS (Blowfish)     vs  openssl enc -bf-cbc (legacy provider)
#   3DE (3DES)         vs  openssl enc -des-ede3-cbc
# openssl derives its key with -pbkdf2 -iter 1, so key set-up costs nothing on either side. The
# file sits in the page cache (read once before timing), the disk is synced before every timed
# command (outside the timing); after one warm-up run of each command,
# RUNS timed runs alternate between the two programs and the medians are printed as MB/s
# (MB = 10^6 bytes) with the ratio ours/openssl (above 1.0: we are faster).
# Then: encrypt and decrypt MB/s of all eighteen ciphers (TABLE_MIB file, TABLE_RUNS runs), the
# peak memory of encrypting the file with RIJ and with "All at once", and the files per second of
# encrypting a folder of 10,000 files of 1 KiB with Blowfish.
#
# Usage: bench/enc_vs_openssl.sh [TELLVANE_CLI] [SIZE_MIB] [RUNS] [TABLE_MIB] [TABLE_RUNS] [WORK_DIR]
#   defaults: build/bin/tellvane-cli, 1024, 5, 256, 3, a fresh folder under /var/tmp (not a RAM disk)
set -euo pipefail

CLI=${1:-build/bin/tellvane-cli}
SIZE_MIB=${2:-1024}
RUNS=${3:-5}
TABLE_MIB=${4:-256}
TABLE_RUNS=${5:-3}
WORK=${6:-}
command -v openssl >/dev/null || { echo "openssl not found" >&2; exit 1; }
[ -x "$CLI" ] || { echo "tellvane-cli not found at $CLI" >&2; exit 1; }
CLI=$(readlink -f "$CLI")
if [ -z "$WORK" ]; then
  WORK=$(mktemp -d /var/tmp/tellvane-enc-bench.XXXXXX)
  trap 'rm -rf "$WORK"' EXIT
fi
export XDG_CONFIG_HOME=$WORK/config
mkdir -p "$WORK/src" "$WORK/dec" "$WORK/ossl"
printf 'bench pass phrase\n' > "$WORK/pw"
FILE=$WORK/src/data.bin
TABLE_FILE=$WORK/src/table.bin
BYTES=$((SIZE_MIB * 1024 * 1024))
TABLE_BYTES=$((TABLE_MIB * 1024 * 1024))

# Incompressible content; openssl's generator is much faster than /dev/urandom.
openssl rand -out "$FILE" "$BYTES"
head -c "$TABLE_BYTES" "$FILE" > "$TABLE_FILE"

# Nanoseconds taken by the command. The disk is synced first, so that no run pays for writing back
# what the run before it left in the page cache.
timed() {
  local start end
  sync
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo "$((end - start))"
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
mbps() { awk -v b="$1" -v ns="$2" 'BEGIN {printf "%.1f", b / (ns / 1e9) / 1e6}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", b / a}'; }  # time of openssl / ours

# Every command finds the output of its previous run deleted just before it starts, as openssl's
# truncation of its output does: on a virtual machine, pages freed long before cost much more to
# write into than pages just freed, and neither side should get the cheaper ones alone.
# Ours: SRC -> SRC.enc beside it; decryption from the dec folder, restoring the stored name there.
ours_enc() {
  local name; name=$(basename "$1")
  rm -f "$1.enc" "$WORK/dec/$name.enc"
  timed "$CLI" encrypt -a "$2" -p "$WORK/pw" "$1"
}
ours_dec() {
  local name; name=$(basename "$1")
  rm -f "$WORK/dec/$name"
  mv "$1.enc" "$WORK/dec/$name.enc"
  local t; t=$(timed "$CLI" decrypt -p "$WORK/pw" "$WORK/dec/$name.enc" </dev/null)
  cmp -s "$1" "$WORK/dec/$name" || { echo "round trip differs: $2" >&2; exit 1; }
  echo "$t"
}
ossl_enc() { rm -f "$WORK/ossl/o.enc"; timed openssl enc -e "$@" -pbkdf2 -iter 1 -pass "file:$WORK/pw" -in "$FILE" -out "$WORK/ossl/o.enc"; }
ossl_dec() { rm -f "$WORK/ossl/o.dec"; timed openssl enc -d "$@" -pbkdf2 -iter 1 -pass "file:$WORK/pw" -in "$WORK/ossl/o.enc" -out "$WORK/ossl/o.dec"; }

cat "$FILE" "$TABLE_FILE" > /dev/null
echo "file: $SIZE_MIB MiB in $WORK, $RUNS runs after a warm-up, $(nproc) cores, $(openssl version | cut -d' ' -f1-2)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-6s %-14s %10s %10s %10s %10s %7s %7s\n' ours openssl "enc ours" "enc ossl" "dec ours" "dec ossl" "enc x" "dec x"
for c in "RIJ|-aes-192-cbc" "BFS|-bf-cbc -provider legacy -provider default" "3DE|-des-ede3-cbc"; do
  IFS='|' read -r sign osslArgs <<<"$c"
  read -r -a oa <<<"$osslArgs"
  ours_enc "$FILE" "$sign" >/dev/null; ours_dec "$FILE" "$sign" >/dev/null
  ossl_enc "${oa[@]}" >/dev/null; ossl_dec "${oa[@]}" >/dev/null
  oe=(); od=(); se=(); sd=()
  for ((run = 1; run <= RUNS; run++)); do
    oe+=("$(ours_enc "$FILE" "$sign")")
    se+=("$(ossl_enc "${oa[@]}")")
    od+=("$(ours_dec "$FILE" "$sign")")
    sd+=("$(ossl_dec "${oa[@]}")")
  done
  cmp -s "$FILE" "$WORK/ossl/o.dec" || { echo "openssl round trip differs" >&2; exit 1; }
  moe=$(median "${oe[@]}"); mse=$(median "${se[@]}"); mod=$(median "${od[@]}"); msd=$(median "${sd[@]}")
  printf '%-6s %-14s %10s %10s %10s %10s %7s %7s\n' "$sign" "${oa[0]#-}" "$(mbps $BYTES $moe)" "$(mbps $BYTES $mse)" \
    "$(mbps $BYTES $mod)" "$(mbps $BYTES $msd)" "$(ratio $moe $mse)" "$(ratio $mod $msd)"
  rm -f "$WORK/ossl/"* "$WORK/dec/"*
done
echo "(MB/s, MB = 10^6 bytes; x = ours/openssl by speed)"

echo
echo "all ciphers: $TABLE_MIB MiB, median of $TABLE_RUNS runs after a warm-up"
printf '%-4s %-12s %10s %10s\n' sign cipher "enc MB/s" "dec MB/s"
while IFS=$'\t' read -r index sign caption _; do
  [ "$sign" = ALL ] && continue
  ours_enc "$TABLE_FILE" "$sign" >/dev/null; ours_dec "$TABLE_FILE" "$sign" >/dev/null
  te=(); td=()
  for ((run = 1; run <= TABLE_RUNS; run++)); do
    te+=("$(ours_enc "$TABLE_FILE" "$sign")")
    td+=("$(ours_dec "$TABLE_FILE" "$sign")")
  done
  rm -f "$WORK/dec/"*
  printf '%-4s %-12s %10s %10s\n' "$sign" "$caption" "$(mbps $TABLE_BYTES "$(median "${te[@]}")")" \
    "$(mbps $TABLE_BYTES "$(median "${td[@]}")")"
done < <("$CLI" algorithms)

echo
for sign in RIJ ALL; do
  rm -f "$FILE.enc"
  size=$FILE; [ "$sign" = ALL ] && size=$TABLE_FILE
  peak=$(/usr/bin/time -f '%M' "$CLI" encrypt -a "$sign" -p "$WORK/pw" "$size" 2>&1 >/dev/null | tail -1)
  echo "peak memory encrypting $(( $(stat -c %s "$size") / 1048576 )) MiB with $sign: $((peak / 1024)) MiB (maximum resident set size $peak KiB)"
  rm -f "$size.enc"
done

echo
MANY=$WORK/many
mkdir -p "$MANY"
head -c $((10000 * 1024)) "$FILE" | split -b 1024 -a 5 -d - "$MANY/f"
count=$(find "$MANY" -type f | wc -l)
fs=()
for ((run = 0; run <= 3; run++)); do
  find "$MANY" -name '*.enc' -delete
  t=$(timed "$CLI" encrypt -a BFS -p "$WORK/pw" "$MANY")
  [ "$(find "$MANY" -name '*.enc' | wc -l)" = "$count" ] || { echo "not every small file was encrypted" >&2; exit 1; }
  [ $run -gt 0 ] && fs+=("$t")
done
mt=$(median "${fs[@]}")
echo "small files: $count x 1 KiB with Blowfish, median of 3 after a warm-up: $(awk -v n="$count" -v ns="$mt" 'BEGIN {printf "%.0f", n / (ns / 1e9)}') files/s"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
