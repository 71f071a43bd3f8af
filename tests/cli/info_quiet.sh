#!/bin/bash
# info (what an .enc file is, without its pass phrase), --quiet and the progress line.
# Usage: info_quiet.sh PATH-TO-tellvane-cli
source "$(dirname "$0")/lib/common.bash" "$1"
printf 'secret\n' > "$tmp/pw"
printf 'hello\n' > "$work/doc.txt"
head -c 1000 /dev/zero > "$work/zeros"
"$CLI" -q encrypt -a RIJ -p "$tmp/pw" "$work/doc.txt" && "$CLI" -q encrypt -a ALL -p "$tmp/pw" "$work/zeros" ||
    fail "making the .enc files"
enc_name=$(head -c 23 "$work/doc.txt.enc" | tail -c 12)  # 11 header bytes, then the name's Base64
# Forged headers: signature, name checksum, name length (little-endian), name, body.
printf 'RIJ1234' > "$work/short.enc"
printf 'RIJ\0\0\0\0\xff\xff\xff\x7fbody' > "$work/longname.enc"
printf 'XYZ\0\0\0\0\x0c\0\0\0%sbody' "$enc_name" > "$work/unknown.enc"
printf 'RIJ\0\0\0\0\x04\0\0\0!!!!body' > "$work/badname.enc"
printf 'RIJ\0\0\0\0\x08\0\0\0YQ==YWJjbody' > "$work/midpad.enc"
mkdir "$work/folder.enc"

# file | status | standard output | standard error
while IFS='|' read -r file status out err; do
    o=$("$CLI" info "$work/$file" 2>"$tmp/err"); st=$?
    expect_status "$status" $st "info $file"
    [ "$o" = "$(printf "$out" "$work/$file")" ] || fail "info $file: output \"$o\""
    [ "$(cat "$tmp/err")" = "$(printf "$err" "$work/$file")" ] || fail "info $file: error \"$(cat "$tmp/err")\""
done <<'TABLE'
doc.txt.enc|0|%s\tRIJ\tRIJNDAEL\t6|
zeros.enc|0|%s\tTFS\tTWOFISH\t1323|
short.enc|1||%s is too short to be an .enc file
longname.enc|1||%s is not an .enc file: the length of its stored name does not fit the file
unknown.enc|1||Encryption algorithm for %s not found
badname.enc|1||The header of %s is damaged: its stored name is not Base64 text
midpad.enc|1||The header of %s is damaged: its stored name is not Base64 text
zeros|1||Encryption algorithm for %s not found
folder.enc|1||%s is not a regular file
TABLE
o=$("$CLI" info "$work/absent.enc" 2>&1); st=$?
expect_status 1 $st "info absent"
grep -q "Cannot open file \"$work/absent.enc\"" <<<"$o" || fail "info absent: $o"
# Every file is described, whatever comes before it; the status tells that one was not .enc.
o=$("$CLI" info "$work/short.enc" "$work/doc.txt.enc" 2>/dev/null); st=$?
expect_status 1 $st "info mixed"
[ "$o" = "$work/doc.txt.enc"$'\tRIJ\tRIJNDAEL\t6' ] || fail "info mixed: $o"
"$CLI" info >/dev/null 2>&1; expect_status 2 $? "info without a path"

# --quiet before the command or among its options: no report; errors still on standard error.
for args in "-q decrypt" "decrypt --quiet"; do
    rm -f "$work/doc.txt"
    o=$("$CLI" $args -p "$tmp/pw" "$work/doc.txt.enc" 2>&1); st=$?
    expect_status 0 $st "$args"
    [ -z "$o" ] || fail "$args printed: $o"
    [ -e "$work/doc.txt" ] || fail "$args: nothing decrypted"
done
o=$("$CLI" -q decrypt -p "$tmp/pw" "$work/doc.txt" 2>"$tmp/err"); st=$?
expect_status 1 $st "quiet decrypt of a plain file"
[ -z "$o" ] || fail "quiet decrypt of a plain file printed: $o"
grep -qx "$work/doc.txt: Encryption algorithm for $work/doc.txt not found" "$tmp/err" ||
    fail "quiet decrypt of a plain file: $(cat "$tmp/err")"

# The progress line is drawn on a terminal only, and not with --quiet.
if command -v script >/dev/null; then
    head -c 3000000 /dev/urandom > "$work/slow"
    for quiet in "" "-q"; do
        cp "$work/slow" "$work/slow2"
        script -qec "\"$CLI\" $quiet shred -m TGUTMANN \"$work/slow2\"" /dev/null > "$tmp/tty" </dev/null
        expect_status 0 $? "shred on a terminal $quiet"
        if grep -q $'\r\033\[K.*%' "$tmp/tty"; then drawn=yes; else drawn=no; fi
        [ "$drawn" = "$([ -z "$quiet" ] && echo yes || echo no)" ] || fail "progress line drawn: $drawn with \"$quiet\""
    done
    cp "$work/slow" "$work/slow2"
    "$CLI" shred -m TGUTMANN "$work/slow2" 2>"$tmp/err" >/dev/null
    grep -q $'\r' "$tmp/err" && fail "progress line drawn into a file"
else
    echo "script (util-linux) is not installed: the progress line on a terminal was not tested"
fi

[ $failures = 0 ] && echo "info_quiet: ok"
exit $((failures > 0))
