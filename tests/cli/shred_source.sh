#!/bin/bash
# encrypt and decrypt --shred-source: each source is overwritten, then deleted; a source that
# cannot be overwritten is kept and reported.
# Usage: shred_source.sh PATH-TO-tellvane-cli
source "$(dirname "$0")/lib/common.bash" "$1"
printf 'secret\n' > "$tmp/pw"
head -c 200000 /dev/urandom > "$tmp/a.orig"
head -c 200000 /dev/zero > "$tmp/zeros"

# A descriptor opened before the run still reads the file that was behind the name: zeros (the
# first method) once it was wiped, the old bytes after a plain deletion. The round trip holds.
for how in "--shred-source -m TZeroPass" "--shred-source" "--delete-source"; do
    cp "$tmp/a.orig" "$work/a.bin"
    exec 3<"$work/a.bin"
    out=$("$CLI" encrypt -p "$tmp/pw" $how "$work/a.bin" 2>&1); st=$?
    expect_status 0 $st "encrypt $how"
    [ ! -e "$work/a.bin" ] || fail "encrypt $how kept the source"
    want=$tmp/zeros
    [ "$how" = --delete-source ] && want=$tmp/a.orig
    cmp -s /dev/fd/3 "$want" || fail "encrypt $how: the source's content is not $(basename "$want")"
    exec 3<&-
    cp "$work/a.bin.enc" "$tmp/a.enc"
    exec 3<"$work/a.bin.enc"
    out=$("$CLI" decrypt -p "$tmp/pw" $how "$work/a.bin.enc" 2>&1); st=$?
    expect_status 0 $st "decrypt $how"
    cmp -s "$work/a.bin" "$tmp/a.orig" || fail "decrypt $how: not the original"
    [ ! -e "$work/a.bin.enc" ] || fail "decrypt $how kept the source"
    [ "$how" = --delete-source ] || cmp -s /dev/fd/3 <(head -c "$(stat -c %s "$tmp/a.enc")" /dev/zero) ||
        fail "decrypt $how: the .enc file was not overwritten"
    exec 3<&-
    rm -f "$work/a.bin"
done

# A read-only source is kept and reported; a source with another name is not overwritten (the
# other name still shows it): this name alone goes, with a note.
echo precious > "$work/ro.txt"
chmod 444 "$work/ro.txt"
echo shared > "$work/linked.txt"
ln "$work/linked.txt" "$work/other-name.txt"
out=$("$CLI" encrypt -p "$tmp/pw" --shred-source "$work/ro.txt" "$work/linked.txt" 2>&1); st=$?
expect_status 1 $st "read-only and linked sources"
grep -q "$work/ro.txt could not be overwritten, so it was kept. Error 13: Permission denied" <<<"$out" ||
    fail "read-only source not reported: $out"
[ "$(cat "$work/ro.txt")" = precious ] && [ -e "$work/ro.txt.enc" ] || fail "read-only source or its output lost"
[ ! -e "$work/linked.txt" ] && [ "$(cat "$work/other-name.txt")" = shared ] || fail "linked source mishandled"
grep -q "$work/linked.txt has other names (hard links)" <<<"$out" || fail "no hard-link note: $out"

# Usage errors change nothing.
echo x > "$work/x.txt"
"$CLI" encrypt -p "$tmp/pw" -m 0 "$work/x.txt" >/dev/null 2>&1; expect_status 2 $? "-m without --shred-source"
"$CLI" encrypt -p "$tmp/pw" --shred-source -m Nope "$work/x.txt" >/dev/null 2>&1; expect_status 2 $? "unknown method"
[ "$(cat "$work/x.txt")" = x ] && [ ! -e "$work/x.txt.enc" ] || fail "a usage error touched the file"

[ $failures = 0 ] && echo "shred source: all passed"
exit $((failures > 0))
