#!/usr/bin/env bash
# The console's language: the option "LanguageID" wins; without it the locale chooses when a
# language file speaks it. Help, usage errors and completion texts all follow.
set -u
cli="$1"
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
unset LC_ALL LC_MESSAGES
mkdir -p "$XDG_CONFIG_HOME/Brevikon"
options="$XDG_CONFIG_HOME/Brevikon/options.ini"
printf '[Options]\nLanguageID=1031\n' > "$options"
printf 'hallo' > "$work/a.txt"; printf 'geheim\n' > "$work/pw"

out=$(LANG=C "$cli" encrypt -a RIJ -p "$work/pw" "$work/a.txt" </dev/null) || fail "encrypt exit $?"
grep -qx "Verschlüsselung abgeschlossen" <<<"$out" || fail "header: $out"
grep -qx "1 Datei wurde verschlüsselt" <<<"$out" || fail "count: $out"
LANG=C "$cli" algorithms | grep -q "^14	RIJ	RIJNDAEL	Rijndael, der Advanced Encryption Standard" || fail "German descriptions missing"

# No option: the locale decides, for help and usage errors as well.
rm "$options"
help=$(LANG=de_DE.UTF-8 "$cli" --help) || fail "help exit $?"
grep -q "^Aufruf: tellvane-cli \[-q\] BEFEHL" <<<"$help" || fail "German help: $help"
grep -q "Dateien (und die Dateien in Ordnern) überschreiben und dann löschen" <<<"$help" || fail "German summary"
grep -q "^Rückgabewert:" <<<"$help" || fail "German help body"
err=$(LANG=de_DE.UTF-8 "$cli" shred 2>&1 >/dev/null); status=$?
[ "$status" = 2 ] || fail "usage status $status"
grep -qx "tellvane-cli shred: kein Pfad angegeben" <<<"$err" || fail "German usage error: $err"
out=$(LANG=de_DE.UTF-8 "$cli" decrypt -p "$work/pw" --overwrite "$work/a.txt.enc" </dev/null) || fail "decrypt exit $?"
grep -qx "1 Datei wurde entschlüsselt" <<<"$out" || fail "German from the locale: $out"
out=$(LC_ALL=C.UTF-8 LANG=de_DE.UTF-8 "$cli" encrypt -a RIJ -p "$work/pw" --overwrite "$work/a.txt" </dev/null) \
    || fail "encrypt exit $?"
grep -qx "1 file was encrypted" <<<"$out" || fail "LC_ALL=C wins over LANG: $out"

# A stored 1033 wins over a German locale.
printf '[Options]\nLanguageID=1033\n' > "$options"
out=$(LANG=de_DE.UTF-8 "$cli" decrypt -p "$work/pw" --overwrite "$work/a.txt.enc" </dev/null) || fail "decrypt exit $?"
grep -qx "1 file was decrypted" <<<"$out" || fail "English count: $out"
LANG=de_DE.UTF-8 "$cli" --help | grep -q "^Usage: tellvane-cli" || fail "English help"
echo "german: ok"
