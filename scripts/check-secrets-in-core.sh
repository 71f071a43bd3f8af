#!/usr/bin/env bash
# scripts/check-secrets-in-core.sh [TELLVANE-CLI]: runs the console with known secrets (a pass phrase
# read with -p, a key file read with -k, a main password stored in and read back from base.dat),
# takes a core of each run at its exit (gdb stops at exit_group and runs gcore), and searches it as
# an attacker with the core would. Fails when any core holds a secret.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cli="$(realpath "${1:-$root/build-test/bin/tellvane-cli}")"
command -v gdb >/dev/null || bash "$root/scripts/deps.sh" gdb
[ -x "$cli" ] || { echo "check-secrets: no console at $cli" >&2; exit 2; }

work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
# Fresh secrets each run: nothing else in the process can hold them by chance.
secret() { echo "$1-$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n')"; }
pass=$(secret Passphrase)
key=$(secret KeyFileLine)
main=$(secret MainPassword)
printf '%s\n' "$pass" > "$work/pw"
printf 'first line\r\n%s\r\n' "$key" > "$work/key"
printf '%s\n' "$main" > "$work/main"
mkdir "$work/files"
head -c 300000 /dev/urandom > "$work/files/a.bin"
head -c 1000 /dev/urandom > "$work/files/b.bin"

faults=0
# run NAME SECRET ARGS...: the console under gdb, a core at exit_group, the secret searched in it.
run() {
  local name=$1 want=$2
  shift 2
  local core="$work/core.$name"
  gdb -q -batch -nx -ex 'set pagination off' -ex 'catch syscall exit_group' -ex 'run' \
      -ex "gcore $core" -ex 'kill' --args "$cli" -q "$@" </dev/null >"$work/gdb.$name" 2>&1 || true
  if [ ! -s "$core" ]; then
    echo "check-secrets: $name: no core was taken"; cat "$work/gdb.$name"
    faults=$((faults + 1))
    return
  fi
  local hits
  hits=$(grep -c -a -F -- "$want" "$core" || true)
  if [ "$hits" -ne 0 ]; then
    echo "check-secrets: $name: the core holds the secret ($hits line(s) of it)"
    faults=$((faults + 1))
  else
    echo "check-secrets: $name: no copy of the secret in $(du -h "$core" | cut -f1) of core"
  fi
  rm -f "$core"
}

run encrypt-p "$pass" encrypt -a 0 -p "$work/pw" "$work/files/a.bin"
run decrypt-p "$pass" decrypt -p "$work/pw" --overwrite "$work/files/a.bin.enc"
run encrypt-k "$key" encrypt -a RIJ -k "$work/key" "$work/files/b.bin"
run decrypt-k "$key" decrypt -k "$work/key" --overwrite "$work/files/b.bin.enc"
run hide "$main" hide -P "$work/main" "$work/files/b.bin"
[ -s "$work/config/Brevikon/base.dat" ] || { echo "check-secrets: hide stored no base.dat"; faults=$((faults + 1)); }
run hidden "$main" hidden -P "$work/main"
run show "$main" show -P "$work/main" --all

if [ $faults -ne 0 ]; then
  echo "check-secrets: $faults run(s) left a secret in memory, or gave no core"
  exit 1
fi
echo "check-secrets: no secret in any core"
