#!/bin/bash
# What a script may rely on: status 0 only when every file was done, outputs that never replace a
# file unasked, pass phrases that cannot collapse, and outputs on the device before a source goes.
# Usage: safe_outputs.sh PATH-TO-tellvane-cli
source "$(dirname "$0")/lib/common.bash" "$1"
export LANG=C LC_ALL=C  # code page 1252
printf 'right\n' > "$tmp/pw"
printf 'other\n' > "$tmp/wrong"
for f in x y z; do printf '%s content\n' $f > "$work/$f"; done

# Two good files and one declined: 2 counted, the third listed, status 1, nothing written for it.
"$CLI" encrypt -p "$tmp/pw" --delete-source "$work/x" "$work/y" >/dev/null 2>&1 || fail "encrypt x y"
"$CLI" encrypt -p "$tmp/wrong" --delete-source "$work/z" >/dev/null 2>&1 || fail "encrypt z"
out=$(setsid "$CLI" decrypt -p "$tmp/pw" "$work/x.enc" "$work/z.enc" "$work/y.enc" </dev/null 2>"$tmp/err"); st=$?
expect_status 1 $st "mixed decrypt"
grep -qx "2 files were decrypted" <<<"$out" || fail "mixed count: $out"
[ "$(cat "$tmp/err")" = "1 entry was not done:
$work/z.enc: $work/z.enc was not decrypted: no valid password was given" ] ||
    fail "mixed listing: $(cat "$tmp/err")"
[ -e "$work/z" ] && fail "declined file written"

# An existing output is skipped and listed without --overwrite, replaced with it.
printf 'unrelated\n' > "$work/y.enc"
out=$("$CLI" encrypt -p "$tmp/pw" --delete-source "$work/y" 2>&1); st=$?
expect_status 1 $st "encrypt over existing"
grep -qx "$work/y: $work/y.enc already exists and was not replaced" <<<"$out" || fail "skip listing: $out"
[ "$(cat "$work/y.enc")" = unrelated ] || fail "existing output replaced"
[ -e "$work/y" ] || fail "source of a skipped file deleted"
out=$("$CLI" encrypt -p "$tmp/pw" --overwrite --delete-source "$work/y" 2>&1); st=$?
expect_status 0 $st "encrypt --overwrite"
[ "$(head -c 3 "$work/y.enc")" = BFS ] || fail "--overwrite did not replace"
[ -e "$work/y" ] && fail "--overwrite kept the source"

# A new pass phrase the code page cannot hold is refused; an existing one still converts as ever.
printf '\xe5\xaf\x86\xe7\xa0\x81\xe5\xaf\x86\xe7\xa0\x81\n' > "$tmp/cjk"  # 密码密码
printf '????\n' > "$tmp/qm"
rm -f "$work/x.enc"
out=$("$CLI" encrypt -p "$tmp/cjk" "$work/x" 2>&1); st=$?
expect_status 1 $st "encrypt with unrepresentable pass phrase"
grep -q "code page in use (1252) cannot represent" <<<"$out" || fail "refusal text: $out"
[ -e "$work/x.enc" ] && fail "refused pass phrase wrote a file"
"$CLI" encrypt -p "$tmp/qm" --delete-source "$work/x" >/dev/null 2>&1 || fail "encrypt with ????"
out=$("$CLI" decrypt -p "$tmp/cjk" "$work/x.enc" 2>&1); st=$?
expect_status 0 $st "decrypt ???? with the typed characters"
[ "$(cat "$work/x")" = "x content" ] || fail "???? file not restored"

# The order of the calls when a source is deleted, and no flush at all when it is kept.
if command -v strace >/dev/null && strace -o /dev/null true 2>/dev/null; then
    printf 'keep\n' > "$work/k"
    # One line per call on the work folder: "fsync PATH", "syncfs FOLDER", "rename TARGET",
    # "unlink PATH". Sources go in batches, after one flush of their outputs' file system.
    calls() {
        # Names are taken relative to their folder's descriptor: -y shows its path.
        perl -ne 'if (/(syncfs|fsync)\(\d+<([^>]*)>\) = 0/) { print "$1 $2\n" }
                  elsif (/renameat2?\(\d+<[^>]*>, "[^"]*", \d+<([^>]*)>, "([^"]*)".*\) = 0/) { print "rename $1/$2\n" }
                  elsif (/unlinkat\(\d+<([^>]*)>, "([^"]*)".*\) = 0/) { print "unlink $1/$2\n" }' "$1" |
            grep -F " $work" | sed -E 's/\.tellvane-[a-z0-9]+\.part/TEMP/'
    }
    # LeakSanitizer cannot run under ptrace; a sanitizer build is traced without it.
    export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
    strace -f -y -e trace=fsync,syncfs,renameat,renameat2,unlinkat -o "$tmp/trace" \
        "$CLI" encrypt -p "$tmp/pw" --delete-source "$work/k" >/dev/null 2>&1 || fail "traced encrypt"
    expected=$(printf 'rename %s\nsyncfs %s\nunlink %s\n' "$work/k.enc" "$work" "$work/k")
    [ "$(calls "$tmp/trace")" = "$expected" ] || fail "delete-source call order: $(calls "$tmp/trace")"
    strace -f -y -e trace=fsync,syncfs,renameat,renameat2,unlinkat -o "$tmp/trace" \
        "$CLI" decrypt -p "$tmp/pw" "$work/k.enc" >/dev/null 2>&1 || fail "traced decrypt"
    [ "$(calls "$tmp/trace")" = "rename $work/k" ] || fail "keep-source calls: $(calls "$tmp/trace")"
fi

[ $failures = 0 ] && echo "safe_outputs: ok"
exit $((failures > 0))
