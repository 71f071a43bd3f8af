#!/bin/bash
# The key file (-k) read as the windows read it, and the diagnostic log turned on by -debug.
# Usage: key_file_and_log.sh PATH-TO-tellvane-cli
source "$(dirname "$0")/lib/common.bash" "$1"
log=$XDG_CONFIG_HOME/Brevikon/tellvane-cli.log

# A key file of two lines (byte-order mark, CR LF): the whole file is the pass phrase, so its
# first line alone (-p) does not open what -k encrypted; the same lines ending in LF do.
printf '\xEF\xBB\xBFerste Zeile \xC3\xA4\r\nsecond\r\n' > "$tmp/key"
printf '\xEF\xBB\xBFerste Zeile \xC3\xA4\nsecond' > "$tmp/key-lf"
head -c 5000 /dev/urandom > "$work/doc"
cp "$work/doc" "$tmp/doc.orig"
out=$("$CLI" encrypt -k "$tmp/key" --delete-source "$work/doc" 2>&1); st=$?
expect_status 0 $st "encrypt -k"
[ -e "$work/doc.enc" ] && [ ! -e "$work/doc" ] || fail "encrypt -k output: $out"
setsid "$CLI" decrypt -p "$tmp/key" "$work/doc.enc" </dev/null >/dev/null 2>&1
[ -e "$work/doc" ] && fail "the first line alone opened a file encrypted with the whole key file"
out=$("$CLI" decrypt --key-file "$tmp/key-lf" "$work/doc.enc" 2>&1); st=$?
expect_status 0 $st "decrypt --key-file"
cmp -s "$work/doc" "$tmp/doc.orig" || fail "decrypt --key-file did not restore the file: $out"
"$CLI" decrypt -p "$tmp/key" -k "$tmp/key" "$work/doc.enc" >/dev/null 2>&1; expect_status 2 $? "-p with -k"
"$CLI" decrypt -k "$tmp/none" "$work/doc.enc" >/dev/null 2>&1; expect_status 1 $? "missing key file"
"$CLI" --help | grep -q -- "-k, --key-file FILE" || fail "--help does not name --key-file"

# No log without -debug; with it, before or after the command, a line of the run.
echo a > "$work/a"
"$CLI" shred "$work/a" >/dev/null 2>&1
[ -e "$log" ] && fail "a log was written without -debug"
for order in before after; do
    echo b > "$work/b"
    if [ $order = before ]; then
        out=$("$CLI" -debug shred "$work/b" 2>&1); st=$?
    else
        out=$("$CLI" shred -debug "$work/b" 2>&1); st=$?
    fi
    expect_status 0 $st "-debug $order the command"
    [ ! -e "$work/b" ] || fail "-debug $order the command: not shredded: $out"
    n=$(grep -c "tellvane-cli: shred $work/b" "$log" 2>/dev/null)
    [ "${n:-0}" = $([ $order = before ] && echo 1 || echo 2) ] || fail "-debug $order the command: log has ${n:-no} run lines"
done

[ $failures = 0 ] && echo "key file and log: all passed"
exit $((failures > 0))
