#!/usr/bin/env bash
# Times the C2P entry against age (X25519 recipient: no stretching on its side, ChaCha20-Poly1305
# in 64 KiB chunks like ours) on the same file, in one run, encrypting and decrypting. Ours pays
# its Argon2id (64 MiB, 3 passes) in every timed command. The file sits in the page cache, the
# disk is synced before every timed command (outside the timing), each output is deleted just
# before its command; after one warm-up of each, RUNS timed runs alternate between the two and
# the medians are printed as MB/s (MB = 10^6 bytes) with the ratio ours/age (above 1.0: we are
# faster), then the medians of their processor time and the peak memory of each command.
#
# Usage: bench/modern_vs_age.sh [TELLVANE_CLI] [SIZE_MIB] [RUNS] [WORK_DIR]
#   defaults: build/bin/tellvane-cli, 512, 5, a fresh folder under /var/tmp (not a RAM disk)
set -euo pipefail

CLI=${1:-build/bin/tellvane-cli}
SIZE_MIB=${2:-512}
RUNS=${3:-5}
WORK=${4:-}
command -v age >/dev/null && command -v age-keygen >/dev/null || { echo "age not found (scripts/deps.sh installs it)" >&2; exit 1; }
[ -x "$CLI" ] || { echo "tellvane-cli not found at $CLI" >&2; exit 1; }
CLI=$(readlink -f "$CLI")
if [ -z "$WORK" ]; then
  WORK=$(mktemp -d /var/tmp/tellvane-age-bench.XXXXXX)
  trap 'rm -rf "$WORK"' EXIT
fi
export XDG_CONFIG_HOME=$WORK/config
mkdir -p "$WORK/src" "$WORK/dec" "$WORK/age"
printf 'bench pass phrase\n' > "$WORK/pw"
age-keygen -o "$WORK/age/key" 2>/dev/null
RECIPIENT=$(age-keygen -y "$WORK/age/key")
FILE=$WORK/src/data.bin
BYTES=$((SIZE_MIB * 1024 * 1024))
head -c "$BYTES" /dev/urandom > "$FILE"

# Prints the command's wall time in ns and, after a colon, its processor time (user + system) in
# ms: on a loaded machine the wall times follow the share of the cores each program gets, the
# processor time does not.
timed() {
  local start end
  sync
  start=$(date +%s%N)
  /usr/bin/time -f '%U %S' -o "$WORK/cpu" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  end=$(date +%s%N)
  echo "$((end - start)):$(awk '{printf "%d", ($1 + $2) * 1000}' "$WORK/cpu")"
}
wall() { for x in "$@"; do echo "${x%%:*}"; done; }
cpu() { for x in "$@"; do echo "${x##*:}"; done; }
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
mbps() { awk -v b="$1" -v ns="$2" 'BEGIN {printf "%.1f", b / (ns / 1e9) / 1e6}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", b / a}'; }
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

ours_enc() { rm -f "$FILE.enc" "$WORK/dec/data.bin.enc"; timed "$CLI" -q encrypt -a C2P -p "$WORK/pw" "$FILE"; }
ours_dec() {
  rm -f "$WORK/dec/data.bin"
  mv "$FILE.enc" "$WORK/dec/data.bin.enc"
  timed "$CLI" -q decrypt -p "$WORK/pw" "$WORK/dec/data.bin.enc" </dev/null
}
age_enc() { rm -f "$WORK/age/o.age"; timed age -r "$RECIPIENT" -o "$WORK/age/o.age" "$FILE"; }
age_dec() { rm -f "$WORK/age/o.dec"; timed age -d -i "$WORK/age/key" -o "$WORK/age/o.dec" "$WORK/age/o.age"; }

cat "$FILE" > /dev/null
echo "file: $SIZE_MIB MiB in $WORK, $RUNS runs after a warm-up, $(nproc) cores, age $(age --version)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
ours_enc >/dev/null; ours_dec >/dev/null; age_enc >/dev/null; age_dec >/dev/null
oe=(); od=(); ae=(); ad=()
for ((run = 1; run <= RUNS; run++)); do
  oe+=("$(ours_enc)")
  ae+=("$(age_enc)")
  od+=("$(ours_dec)")
  ad+=("$(age_dec)")
done
cmp -s "$FILE" "$WORK/dec/data.bin" || { echo "our round trip differs" >&2; exit 1; }
cmp -s "$FILE" "$WORK/age/o.dec" || { echo "age round trip differs" >&2; exit 1; }
moe=$(median $(wall "${oe[@]}")); mae=$(median $(wall "${ae[@]}")); mod=$(median $(wall "${od[@]}"))
mad=$(median $(wall "${ad[@]}"))
printf '%-10s %10s %10s %10s %10s %7s %7s\n' "" "enc ours" "enc age" "dec ours" "dec age" "enc x" "dec x"
printf '%-10s %10s %10s %10s %10s %7s %7s\n' "C2P/age" "$(mbps $BYTES $moe)" "$(mbps $BYTES $mae)" \
  "$(mbps $BYTES $mod)" "$(mbps $BYTES $mad)" "$(ratio $moe $mae)" "$(ratio $mod $mad)"
echo "(MB/s, MB = 10^6 bytes; x = ours/age by speed; medians in ms: enc $((moe / 1000000))/$((mae / 1000000)), dec $((mod / 1000000))/$((mad / 1000000)))"
echo "processor time (user + system, medians in ms, ours/age): enc $(median $(cpu "${oe[@]}"))/$(median $(cpu "${ae[@]}")), dec $(median $(cpu "${od[@]}"))/$(median $(cpu "${ad[@]}"))"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
if [ -x /usr/bin/time ]; then
  rm -f "$FILE.enc"
  echo "peak memory (KiB): ours encrypt $(peak_kib "$CLI" -q encrypt -a C2P -p "$WORK/pw" "$FILE"), age encrypt $(peak_kib age -r "$RECIPIENT" -o "$WORK/age/p.age" "$FILE")"
fi
