#!/usr/bin/env bash
# SIGTERM and SIGHUP end a decrypt as Ctrl-C does: status 128 + the signal, the temporary output
# (a hidden file holding the plaintext written so far) removed, only the .enc left.
set -u
cli="$1"
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
mkdir "$work/run"
printf 'pw\n' > "$work/pw"
head -c 16M /dev/urandom > "$work/run/big.bin"
"$cli" -q encrypt -a ALL --delete-source -p "$work/pw" "$work/run/big.bin" </dev/null || fail "encrypt failed"
[ "$(ls -A "$work/run")" = "big.bin.enc" ] || fail "encrypt left: $(ls -A "$work/run")"
sum=$(sha256sum < "$work/run/big.bin.enc")

for case in TERM:143 HUP:129; do
  sig=${case%%:*} want=${case##*:}
  "$cli" decrypt -p "$work/pw" "$work/run/big.bin.enc" </dev/null >"$work/out" 2>&1 &
  pid=$!
  # Killed once the temporary output exists, so there is something to clean up.
  for _ in $(seq 1 600); do
    ls -A "$work/run" | grep -q -v -x big.bin.enc && break
    sleep 0.02
  done
  ls -A "$work/run" | grep -q -v -x big.bin.enc || fail "SIG$sig: no temporary output appeared: $(cat "$work/out")"
  kill -"$sig" "$pid"
  wait "$pid"; rc=$?
  [ "$rc" -eq "$want" ] || fail "exit $rc after SIG$sig, expected $want: $(cat "$work/out")"
  [ "$(ls -A "$work/run")" = "big.bin.enc" ] || fail "SIG$sig left: $(ls -A "$work/run")"
  [ "$(sha256sum < "$work/run/big.bin.enc")" = "$sum" ] || fail "SIG$sig changed the .enc"
  grep -q "completed" "$work/out" && fail "SIG$sig: a cancelled run printed a completion"
done
echo "signals: ok"
