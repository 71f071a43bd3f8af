# Shared set-up of the console tests: a private temporary home and data folder, and failure
# counting. Sourced with the path of tellvane-cli as $1; sets CLI, tmp, work, failures.
set -u
CLI=$1
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
export XDG_CONFIG_HOME=$tmp/config HOME=$tmp/home
work=$tmp/work
mkdir -p "$work" "$HOME"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_status() {  # expected, actual, what
    [ "$1" = "$2" ] || fail "$3: exit status $2, expected $1"
}
