#!/usr/bin/env bash
# Ctrl-C cancels a console run as the progress window's Cancel does: status 130, no output left,
# a line that says so and the file not done.
set -u
cli="$1"
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
head -c 64M /dev/zero > "$work/big.bin"
printf 'pw\n' > "$work/pw"

# "All at once" makes eighteen passes over 64 MiB: long enough to be interrupted.
"$cli" encrypt -a ALL -p "$work/pw" "$work/big.bin" </dev/null >"$work/out" 2>&1 &
pid=$!
# Files the test itself made; anything else in the folder is the run's output.
others() { ls -A "$work" | grep -v -x -e big.bin -e pw -e config -e out; }
# Interrupt once the run is writing its output.
for _ in $(seq 1 600); do
  [ -n "$(others)" ] && break
  sleep 0.05
done
t0=$(date +%s%N)
kill -INT "$pid"
wait "$pid"; rc=$?
ms=$((($(date +%s%N) - t0) / 1000000))
[ "$rc" -eq 130 ] || fail "exit $rc after Ctrl-C, expected 130: $(cat "$work/out")"
# Heard between buffers, not only between parts: well within a second (bound kept generous).
[ "$ms" -lt 2000 ] || fail "Ctrl-C took $ms ms to end the run"
[ -f "$work/big.bin" ] || fail "the source is gone"
[ "$(stat -c %s "$work/big.bin")" -eq 67108864 ] || fail "the source changed size"
[ -z "$(others)" ] || fail "a cancelled run left files: $(others)"
grep -q "completed" "$work/out" && fail "a cancelled run printed a completion"
grep -qx "The run was cancelled" "$work/out" || fail "no line says the run was cancelled: $(cat "$work/out")"
grep -qx "$work/big.bin: $work/big.bin was not done: the run ended before it" "$work/out" ||
  fail "the file not done is not listed: $(cat "$work/out")"
echo "cancel: ok ($ms ms from Ctrl-C to exit)"
