#!/usr/bin/env bash
# "LanguageID" = 1031 in options.ini: the console speaks German through the shipped language file.
set -u
cli="$1"
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/Brevikon"
printf '[Options]\nLanguageID=1031\n' > "$XDG_CONFIG_HOME/Brevikon/options.ini"
printf 'hallo' > "$work/a.txt"; printf 'geheim\n' > "$work/pw"

out=$("$cli" encrypt -a RIJ -p "$work/pw" "$work/a.txt" </dev/null) || fail "encrypt exit $?"
grep -qx "Verschlüsselung abgeschlossen" <<<"$out" || fail "header: $out"
grep -qx "1 Datei wurde verschlüsselt" <<<"$out" || fail "count: $out"
"$cli" algorithms | grep -q "^14	RIJ	RIJNDAEL	Rijndael, der Advanced Encryption Standard" || fail "German descriptions missing"

# Without the option the same program speaks English again.
rm "$XDG_CONFIG_HOME/Brevikon/options.ini"
out=$("$cli" decrypt -p "$work/pw" --overwrite "$work/a.txt.enc" </dev/null) || fail "decrypt exit $?"
grep -qx "1 file was decrypted" <<<"$out" || fail "English count: $out"
echo "german: ok"
