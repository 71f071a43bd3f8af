#!/bin/bash
# encrypt, decrypt and algorithms from the console.
# Usage: crypto_commands.sh PATH-TO-tellvane-cli
source "$(dirname "$0")/lib/common.bash" "$1"
mkdir -p "$work/sub" "$HOME"
head -c 123457 /dev/urandom > "$work/big.bin"
printf 'small\n' > "$work/sub/small.txt"
cp "$work/big.bin" "$tmp/big.orig"
printf 'secret\n' > "$tmp/pw"
printf 'other\n' > "$tmp/wrong"


out=$("$CLI" algorithms); st=$?
expect_status 0 $st "algorithms"
[ "$(wc -l <<<"$out")" = 20 ] || fail "algorithms lists $(wc -l <<<"$out") lines"
grep -q $'^14\tRIJ\tRIJNDAEL\tRijndael' <<<"$out" || fail "algorithms RIJ line"
grep -q $'^18\tALL\tAll at once\t' <<<"$out" || fail "algorithms ALL line"

# A folder is walked; the signature chosen by name, index or text.
out=$("$CLI" encrypt -a RIJ -p "$tmp/pw" "$work" 2>&1); st=$?
expect_status 0 $st "encrypt folder"
grep -qx "2 files were encrypted" <<<"$out" || fail "encrypt output: $out"
[ "$(head -c 3 "$work/big.bin.enc")" = RIJ ] || fail "big.bin.enc signature"
[ "$(head -c 3 "$work/sub/small.txt.enc")" = RIJ ] || fail "small.txt.enc signature"
[ "$(stat -c %s "$work/big.bin.enc")" = $((11 + 12 + 123457)) ] || fail "big.bin.enc size"

# Decrypting restores the stored name beside the .enc file and deletes the source when asked.
mv "$work/big.bin.enc" "$work/renamed.enc"
rm "$work/big.bin"
out=$("$CLI" decrypt -p "$tmp/pw" --delete-source "$work/renamed.enc" </dev/null 2>&1); st=$?
expect_status 0 $st "decrypt"
cmp -s "$work/big.bin" "$tmp/big.orig" || fail "big.bin not restored"
[ -e "$work/renamed.enc" ] && fail "source kept despite --delete-source"

# A wrong password without a terminal: the file is declined and kept, nothing is written.
rm "$work/sub/small.txt"
out=$(setsid "$CLI" decrypt -p "$tmp/wrong" --delete-source "$work/sub/small.txt.enc" </dev/null 2>&1); st=$?
expect_status 1 $st "decrypt wrong password"
grep -qx "$work/sub/small.txt.enc: $work/sub/small.txt.enc was not decrypted: no valid password was given" <<<"$out" ||
    fail "declined file not listed: $out"
grep -qx "0 file was decrypted" <<<"$out" || fail "declined file counted: $out"
[ -e "$work/sub/small.txt" ] && fail "declined file was written"
[ -e "$work/sub/small.txt.enc" ] || fail "declined source was deleted"

# A file without a signature is told, skipped, listed at the end and not counted as done.
out=$("$CLI" decrypt -p "$tmp/pw" "$work/big.bin" 2>&1); st=$?
expect_status 1 $st "decrypt plain file"
grep -qx "$work/big.bin: Encryption algorithm for $work/big.bin not found" <<<"$out" || fail "not-found text: $out"
grep -qx "$work/big.bin: Encryption algorithm for $work/big.bin not found" <<<"$out" || fail "not-completed list: $out"
grep -qx "0 file was decrypted" <<<"$out" || fail "plain file counted as done: $out"
cmp -s "$work/big.bin" "$tmp/big.orig" || fail "plain file touched"

# All at once by its text, and back.
out=$("$CLI" encrypt -a "All at once" -p "$tmp/pw" --delete-source "$work/big.bin" 2>&1); st=$?
expect_status 0 $st "encrypt all at once"
[ -e "$work/big.bin" ] && fail "all at once kept the source"
[ "$(head -c 3 "$work/big.bin.enc")" = TFS ] || fail "all at once outer layer"
out=$("$CLI" decrypt -p "$tmp/pw" "$work/big.bin.enc" 2>&1); st=$?
expect_status 0 $st "decrypt all at once"
cmp -s "$work/big.bin" "$tmp/big.orig" || fail "all at once round trip"

# Usage errors.
"$CLI" encrypt -a NOPE -p "$tmp/pw" "$work/big.bin" >/dev/null 2>&1; st=$?
expect_status 2 $st "unknown algorithm"
"$CLI" encrypt -p "$tmp/pw" >/dev/null 2>&1; st=$?
expect_status 2 $st "no path"
: > "$tmp/empty"
"$CLI" encrypt -p "$tmp/empty" "$work/big.bin" >/dev/null 2>&1; st=$?
expect_status 1 $st "empty password"
# A missing file ends the run with its message.
out=$("$CLI" encrypt -a 3 -p "$tmp/pw" "$work/absent" 2>&1); st=$?
expect_status 1 $st "missing file"
grep -q "Cannot open file \"$work/absent\"" <<<"$out" || fail "missing file text: $out"

[ $failures = 0 ] && echo "crypto_commands: ok"
exit $((failures > 0))
