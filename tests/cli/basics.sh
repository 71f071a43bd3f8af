#!/usr/bin/env bash
# The console's own options and its usage errors.
set -u
cli="$1"
fail() { echo "FAIL: $*"; exit 1; }
home=$(mktemp -d); trap 'rm -rf "$home"' EXIT
export XDG_CONFIG_HOME="$home"

out=$("$cli" --help) || fail "--help exit $?"
grep -q "Usage: tellvane-cli \[-q\] COMMAND" <<<"$out" || fail "--help text: $out"
for s in "0    completed" "1    a file was not completed" "2    usage error" "130  cancelled with Ctrl-C (129 by SIGHUP, 143 by SIGTERM)"; do
    grep -q "^  $s" <<<"$out" || fail "--help lacks the exit status \"$s\""
done
grep -q -- "-q, --quiet" <<<"$out" || fail "--help lacks --quiet"

out=$("$cli" --version) || fail "--version exit $?"
[[ "$out" =~ ^tellvane-cli\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version text: $out"

"$cli" >/dev/null 2>&1; rc=$?
[ "$rc" -eq 2 ] || fail "no command: exit $rc, expected 2"

err=$("$cli" frobnicate 2>&1); rc=$?
[ "$rc" -eq 2 ] || fail "unknown command: exit $rc, expected 2"
grep -q 'unknown command "frobnicate"' <<<"$err" || fail "unknown command text: $err"
echo "basics: ok"
