#!/bin/bash
# shred and methods from the console.
# Usage: shred_commands.sh PATH-TO-tellvane-cli
source "$(dirname "$0")/lib/common.bash" "$1"
mkdir -p "$work/sel/sub" "$HOME"


# The list: index, class name, choice text, description, in the order of the choices.
out=$("$CLI" methods); st=$?
expect_status 0 $st "methods"
[ "$(wc -l <<<"$out")" = 11 ] || fail "methods lists $(wc -l <<<"$out") lines"
line0=$(sed -n 1p <<<"$out")
[ "$(cut -f1-3 <<<"$line0")" = $'0\tTZeroPass\tQuick shred by filling with zero\'s' ] || fail "methods line 0: $line0"
[ -n "$(cut -f4 <<<"$line0")" ] || fail "methods line 0 has no description"
[ "$(sed -n 11p <<<"$out" | cut -f1-3)" = $'10\tTGUTMANN\tGuttman algorithm' ] || fail "methods line 10"

# One file by class name, by choice text and by index; each one deleted.
for m in TVSITR tgutmann "3+7+3 Beyond DoD Standards" 6; do
    head -c 100000 /dev/urandom > "$work/f.bin"
    out=$("$CLI" shred -m "$m" "$work/f.bin" 2>&1); st=$?
    expect_status 0 $st "shred -m $m"
    [ ! -e "$work/f.bin" ] || fail "shred -m $m left the file"
    grep -qx "1 file was shredded" <<<"$out" || fail "shred -m $m output: $out"
done

# A folder: its files go (a link only as a link), the folders and the link's target stay.
echo a > "$work/sel/a.txt"
echo b > "$work/sel/sub/b.txt"
: > "$work/sel/empty"
echo keep > "$work/target.txt"
ln -s "$work/target.txt" "$work/sel/link"
out=$("$CLI" shred "$work/sel" 2>&1); st=$?
expect_status 0 $st "shred folder"
[ ! -e "$work/sel/a.txt" ] && [ ! -e "$work/sel/sub/b.txt" ] || fail "files in the folder survived"
[ ! -L "$work/sel/link" ] || fail "the link survived"
[ "$(cat "$work/target.txt")" = keep ] || fail "the link's target changed"
[ -d "$work/sel/sub" ] || fail "the folder tree went"
[ ! -e "$work/sel/empty" ] || fail "an empty file survived"
grep -qx "4 files were shredded" <<<"$out" || fail "folder output: $out"

# A read-only file is named with the open error and keeps its content.
echo precious > "$work/ro.txt"
chmod 444 "$work/ro.txt"
out=$("$CLI" shred "$work/ro.txt" 2>&1); st=$?
expect_status 1 $st "read-only file"
grep -q "Cannot open file \"$work/ro.txt\". Error 13: Permission denied" <<<"$out" || fail "read-only output: $out"
[ "$(cat "$work/ro.txt")" = precious ] || fail "read-only file changed"

# Usage errors change nothing.
echo x > "$work/x.txt"
"$CLI" shred -m 11 "$work/x.txt" >/dev/null 2>&1; expect_status 2 $? "index out of range"
"$CLI" shred -m Nope "$work/x.txt" >/dev/null 2>&1; expect_status 2 $? "unknown method"
"$CLI" shred >/dev/null 2>&1; expect_status 2 $? "no path"
"$CLI" shred -m >/dev/null 2>&1; expect_status 2 $? "-m without a value"
"$CLI" methods extra >/dev/null 2>&1; expect_status 2 $? "methods with an argument"
[ "$(cat "$work/x.txt")" = x ] || fail "a usage error touched the file"

[ $failures = 0 ] && echo "shred commands: all passed"
exit $((failures > 0))
