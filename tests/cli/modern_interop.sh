#!/bin/bash
# The modern entry from the console, against a reader and writer of its files made apart from
# ours (lib/c2p_file.py on PyNaCl): both ways at the chunk edges, info, and a tampered file.
# Usage: modern_interop.sh PATH-TO-tellvane-cli
source "$(dirname "$0")/lib/common.bash" "$1"
py=/usr/bin/python3
ref="$(dirname "$0")/lib/c2p_file.py"
"$py" -c "import nacl.pwhash" || { echo "FAIL: python3-nacl is missing (scripts/deps.sh installs it)"; exit 1; }
# The pass phrase's UTF-8 bytes are the key: no code page in between.
printf '%s' 'pässwort 密码' > "$tmp/pw"
# 5 MiB and 7 bytes: many slabs of chunks, written by more than one worker.
sizes="0 1 65535 65536 65537 131572 5242887"
for s in $sizes; do head -c "$s" /dev/urandom > "$tmp/o$s"; cp "$tmp/o$s" "$work/f$s.bin"; done
chmod 640 "$work/f1.bin"

out=$("$CLI" encrypt -a RIJ -p "$tmp/pw" "$work/f1.bin" 2>&1); st=$?
expect_status 1 $st "the seed's cipher with a pass phrase the code page lacks"
out=$("$CLI" encrypt -a C2P -p "$tmp/pw" --delete-source "$work" 2>&1); st=$?
expect_status 0 $st "encrypt: $out"
[ "$(stat -c %a "$work/f1.bin.enc")" = 640 ] || fail "f1.bin.enc mode $(stat -c %a "$work/f1.bin.enc")"
mkdir "$tmp/theirs"
for s in $sizes; do
    [ -e "$work/f$s.bin" ] && fail "source f$s.bin kept"
    name=$("$py" "$ref" decrypt "$tmp/pw" "$work/f$s.bin.enc" "$tmp/theirs") || fail "their reader refused f$s.bin.enc"
    [ "$name" = "f$s.bin" ] || fail "f$s.bin.enc stores \"$name\""
    cmp -s "$tmp/theirs/f$s.bin" "$tmp/o$s" || fail "their reader restored f$s.bin wrongly"
done

rm "$work"/*.enc
for s in $sizes; do "$py" "$ref" encrypt "$tmp/pw" "$tmp/o$s" "$work/t$s.enc" || fail "their writer on o$s"; done
out=$("$CLI" info "$work/t65537.enc"); st=$?
expect_status 0 $st "info"
[ "$out" = "$work/t65537.enc"$'\tC2P\tChaCha20-Poly1305 (Argon2id)\t65537\tArgon2id passes=3 memory=65536 KiB' ] ||
    fail "info line: $out"
# One of them changed in its second chunk: reported, the others restored, nothing else left.
printf '\x55' | dd of="$work/t65537.enc" bs=1 seek=$((46 + 22 + 65552 + 3)) conv=notrunc status=none
out=$("$CLI" decrypt -p "$tmp/pw" "$work" </dev/null 2>&1); st=$?
expect_status 1 $st "decrypt with a changed file"
grep -qx "$work/t65537.enc: $work/t65537.enc is damaged or was changed" <<<"$out" || fail "decrypt report: $out"
for s in $sizes; do
    [ "$s" = 65537 ] && continue
    cmp -s "$work/o$s" "$tmp/o$s" || fail "our reader restored their o$s wrongly"
done
listing=$(cd "$work" && ls -A | tr '\n' ' ')
expected=$(for s in $sizes; do [ "$s" = 65537 ] || printf 'o%s ' "$s"; done; for s in $sizes; do printf 't%s.enc ' "$s"; done)
[ "$(tr ' ' '\n' <<<"$listing" | sort | xargs)" = "$(tr ' ' '\n' <<<"$expected" | sort | xargs)" ] ||
    fail "folder after decrypt: $listing"
[ "$failures" = 0 ] && echo "modern_interop: ok"
exit $((failures > 0))
