#!/bin/bash
# hide, hidden and show from the console, behind the main password.
# Usage: hide_commands.sh PATH-TO-tellvane-cli
source "$(dirname "$0")/lib/common.bash" "$1"
base=$XDG_CONFIG_HOME/Brevikon/base.dat
mkdir -p "$work/Docs" "$HOME"
echo one > "$work/a.txt"
echo two > "$work/b.txt"
chmod 664 "$work/a.txt" "$work/b.txt"
printf 'secret\n' > "$tmp/pw"
printf 'Secret\n' > "$tmp/wrong"


# A main password the store cannot hold is refused before anything changes, and never repeated.
printf '%03000d\n' 7 > "$tmp/long"
err=$("$CLI" hide -debug -P "$tmp/long" "$work/a.txt" 2>&1 >/dev/null); st=$?
expect_status 1 $st "hide with an over-long main password"
[ "$err" = "tellvane-cli hide: The main password cannot be longer than 2047 bytes" ] || fail "over-long password: $err"
grep -qs "cannot be longer than 2047 bytes" "$tmp/config/Brevikon/tellvane-cli.log" || fail "the refusal was not logged"
grep -rqs 00000000 "$tmp/config" && fail "the over-long password reached a file"
[ "$(stat -c %a "$work/a.txt")" = 664 ] || fail "a.txt changed by a refused hide"
[ -e "$work/.hidden" ] && fail ".hidden made by a refused hide"

# The root cannot be hidden: listed, not counted, status 1.
out=$("$CLI" hide -P "$tmp/pw" / 2>&1); st=$?
expect_status 1 $st "hide /"
grep -qx "/: / cannot be hidden: it is the root of the file system" <<<"$out" || fail "hide / said: $out"
grep -q "1 file was hidden" <<<"$out" && fail "hide / counted: $out"
rm -f "$base"

# The first hide sets the main password.
out=$("$CLI" hide -P "$tmp/pw" "$work/a.txt" "$work/Docs/" "$work/b.txt" 2>&1); st=$?
expect_status 0 $st "hide"
grep -qx "3 files were hidden" <<<"$out" || fail "hide output: $out"
grep -qx "Password=secret" "$base" || fail "main password not stored"
[ "$(cat "$work/.hidden")" = $'a.txt\nDocs\nb.txt' ] || fail ".hidden: $(cat "$work/.hidden")"
[ "$(stat -c %a "$work/a.txt")" = 444 ] || fail "a.txt mode $(stat -c %a "$work/a.txt")"
[ "$(stat -c %a "$work/Docs")" = 755 ] || fail "Docs mode $(stat -c %a "$work/Docs")"

# The list: index, type, path, in store order.
out=$("$CLI" hidden -P "$tmp/pw"); st=$?
expect_status 0 $st "hidden"
expected=$(printf '0\tfile\t%s\n1\tfolder\t%s\n2\tfile\t%s' "$work/a.txt" "$work/Docs/" "$work/b.txt")
[ "$out" = "$expected" ] || fail "hidden listed: $out"

# A wrong password (case counts) changes nothing and says so.
cp "$base" "$tmp/base.before"
echo three > "$work/c.txt"
for cmd in "hide -P $tmp/wrong $work/c.txt" "hidden -P $tmp/wrong" "show -P $tmp/wrong --all"; do
    err=$($CLI $cmd 2>&1 >/dev/null); st=$?
    expect_status 1 $st "$cmd"
    [ "$err" = "You entered wrong password!" ] || fail "$cmd said: $err"
done
cmp -s "$base" "$tmp/base.before" || fail "base.dat changed after wrong passwords"
grep -qx "c.txt" "$work/.hidden" && fail "c.txt hidden with a wrong password"
[ "$(stat -c %a "$work/a.txt")" = 444 ] || fail "a.txt shown with a wrong password"

# Usage errors and a bad index change nothing either.
"$CLI" show -P "$tmp/pw" >/dev/null 2>&1; expect_status 2 $? "show without indexes"
"$CLI" show -P "$tmp/pw" --all 1 >/dev/null 2>&1; expect_status 2 $? "show with --all and an index"
"$CLI" show -P "$tmp/pw" x >/dev/null 2>&1; expect_status 2 $? "show with a word"
"$CLI" hide -P "$tmp/pw" >/dev/null 2>&1; expect_status 2 $? "hide without paths"
"$CLI" show -P "$tmp/pw" 0 3 >/dev/null 2>&1; expect_status 1 $? "show of a missing index"
cmp -s "$base" "$tmp/base.before" || fail "base.dat changed by refused commands"

# Showing 2 and 0 (highest first) leaves the folder; the password may come from standard input.
out=$(printf 'secret\n' | "$CLI" show -P - 0 2); st=$?
expect_status 0 $st "show 0 2"
grep -qx "2 files were shown" <<<"$out" || fail "show output: $out"
out=$("$CLI" hidden -P "$tmp/pw")
[ "$out" = "$(printf '0\tfolder\t%s' "$work/Docs/")" ] || fail "left after show: $out"
[ "$(cat "$work/.hidden")" = "Docs" ] || fail ".hidden after show: $(cat "$work/.hidden")"
[ "$(stat -c %a "$work/a.txt")" = 644 ] || fail "a.txt mode after show $(stat -c %a "$work/a.txt")"

if command -v gio >/dev/null 2>&1; then
    gio info -a standard::is-hidden "$work/Docs" | grep -q "is-hidden: TRUE" || fail "gio does not see Docs hidden"
    gio info -a standard::is-hidden "$work/a.txt" | grep -q "is-hidden: TRUE" && fail "gio sees a.txt hidden"
fi

out=$("$CLI" show -P "$tmp/pw" --all); st=$?
expect_status 0 $st "show --all"
grep -qx "1 file was shown" <<<"$out" || fail "show --all output: $out"
[ -e "$work/.hidden" ] && fail ".hidden left after the last entry"
grep -qx "Count=0" "$base" || fail "store not empty: $(cat "$base")"

# A .hidden planted as a link is left alone: the item keeps its mode, the run says so (status 1),
# and the item, recorded all the same, can be shown.
mkdir "$work/shared"
echo x > "$work/shared/f"
chmod 644 "$work/shared/f"
printf 'private\n' > "$tmp/private"
ln -s "$tmp/private" "$work/shared/.hidden"
out=$("$CLI" hide -P "$tmp/pw" "$work/shared/f" 2>&1); st=$?
expect_status 1 $st "hide beside a planted .hidden"
grep -qx "$work/shared/f: $work/shared/f could not be hidden. Error 40: Too many levels of symbolic links" <<<"$out" ||
    fail "planted .hidden: $out"
[ "$(stat -c %a "$work/shared/f")" = 644 ] || fail "f changed beside a planted .hidden"
[ "$(cat "$tmp/private")" = private ] && [ -L "$work/shared/.hidden" ] || fail "the planted .hidden was followed"
# Its name cannot leave a .hidden that is a link: not shown, status 1, and it stays in the store.
out=$("$CLI" show -P "$tmp/pw" 0 2>&1); st=$?
expect_status 1 $st "show of the item beside a planted .hidden"
grep -qx "$work/shared/f: $work/shared/f could not be shown; it stays hidden. Error 40: Too many levels of symbolic links" <<<"$out" ||
    fail "show beside a planted .hidden: $out"
grep -qx "0 file was shown" <<<"$out" || fail "show beside a planted .hidden counted: $out"
grep -qx "Count=1" "$base" || fail "item dropped by a show that failed: $(cat "$base")"
rm "$work/shared/.hidden"
"$CLI" show -P "$tmp/pw" 0 >/dev/null 2>&1; expect_status 0 $? "show once the link is gone"
grep -qx "Count=0" "$base" || fail "store not empty after show: $(cat "$base")"

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all hide command checks passed"
