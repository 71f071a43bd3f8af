#!/usr/bin/env bash
# Files over 4 GiB end to end: a sparse file of SIZE_GIB (data at its start, around the 4 GiB
# mark and at its end, holes between) is encrypted with RIJ, decrypted and compared byte for
# byte; then the sparse source is shredded (only its data extents are written) and the dense
# decrypted copy too. Prints the time and rate of each step and the disk blocks of each file.
# Not for CI: it needs about 2 x SIZE_GIB + 1 GiB of free disk.
#
# Usage: bench/large_sparse_roundtrip.sh [TELLVANE_CLI] [SIZE_GIB] [WORK_DIR]
#   defaults: build/bin/tellvane-cli, 5, a fresh folder under /var/tmp
set -euo pipefail

CLI=${1:-build/bin/tellvane-cli}
SIZE_GIB=${2:-5}
WORK=${3:-}
[ -x "$CLI" ] || { echo "tellvane-cli not found at $CLI" >&2; exit 1; }
if [ -z "$WORK" ]; then
  WORK=$(mktemp -d /var/tmp/tellvane-large-bench.XXXXXX)
  trap 'rm -rf "$WORK"' EXIT
fi
export XDG_CONFIG_HOME=$WORK/config
BYTES=$((SIZE_GIB << 30))
need_kib=$(((2 * BYTES + (1 << 30)) / 1024))
free_kib=$(df -Pk "$WORK" | awk 'NR == 2 { print $4 }')
[ "$free_kib" -ge "$need_kib" ] || { echo "needs $((need_kib >> 20)) GiB free in $WORK, has $((free_kib >> 20))" >&2; exit 1; }

mkdir -p "$WORK/src" "$WORK/out"
SRC=$WORK/src/big.bin
printf 'bench pass phrase\n' > "$WORK/pw"
truncate -s "$BYTES" "$SRC"
# Data where 32-bit arithmetic would break: the start, both sides of 4 GiB, the last bytes.
for at_mib in 0 4095 4096 $(((BYTES >> 20) - 1)); do
  [ "$at_mib" -lt $((BYTES >> 20)) ] || continue
  head -c $((1 << 20)) /dev/urandom | dd of="$SRC" bs=1M seek="$at_mib" conv=notrunc status=none
done
sum_src=$(md5sum < "$SRC" | cut -d' ' -f1)

blocks() { du -h --apparent-size "$1" | cut -f1 | tr '\n' ' '; echo "apparent, $(du -h "$1" | cut -f1) on disk"; }
step() {  # name, command...
  local name=$1; shift
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null
  t1=$(date +%s.%N)
  awk -v n="$name" -v a="$t0" -v b="$t1" -v s="$BYTES" \
    'BEGIN { printf "%-34s %7.1f s  %7.1f MB/s\n", n, b - a, s / (b - a) / 1e6 }'
}

echo "tellvane-cli: $CLI; file: $SIZE_GIB GiB ($BYTES bytes); work: $WORK"
echo "source: $(blocks "$SRC")"
step "encrypt RIJ" "$CLI" encrypt -a RIJ -p "$WORK/pw" "$SRC"
ENC=$SRC.enc
expected=$((11 + 12 + BYTES))  # "big.bin" is 12 characters of Base64
actual=$(stat -c %s "$ENC")
echo "big.bin.enc: $actual bytes (expected $expected): $([ "$actual" = "$expected" ] && echo ok || echo WRONG)"
mv "$ENC" "$WORK/out/"
step "decrypt" "$CLI" decrypt -p "$WORK/pw" --delete-source "$WORK/out/big.bin.enc"
sum_out=$(md5sum < "$WORK/out/big.bin" | cut -d' ' -f1)
echo "round trip: source md5 $sum_src, restored md5 $sum_out: $([ "$sum_src" = "$sum_out" ] && echo identical || echo DIFFERENT)"
echo "restored: $(blocks "$WORK/out/big.bin")"
step "shred sparse source (zeros)" "$CLI" shred -m 0 "$SRC"
step "shred dense copy (zeros)" "$CLI" shred -m 0 "$WORK/out/big.bin"
[ ! -e "$SRC" ] && [ ! -e "$WORK/out/big.bin" ] && echo "shredded: both files gone" || echo "shred left a file"
