#!/bin/bash
# A real Linux tree through encrypt, decrypt and shred: a pipe, a socket, links (to a folder, to a
# file, dangling), a folder that cannot be listed, a name that is not UTF-8 and a file named like
# the tree's placeholder. No run may hang; every regular file is done; every other entry is
# reported once; the status is 1.
# Usage: unusual_tree.sh PATH-TO-tellvane-cli
source "$(dirname "$0")/lib/common.bash" "$1"
t=$work/t
mkdir -p "$t/sub" "$work/outside" "$tmp/orig"
printf 'secret\n' > "$tmp/pw"
latin=$'caf\xe9.txt'
regular=(a.txt sub/b.txt scaner_dummy "$latin")
for f in "${regular[@]}"; do head -c $((RANDOM * 7)) /dev/urandom > "$t/$f"; done
for f in "${regular[@]}"; do mkdir -p "$tmp/orig/$(dirname "$f")"; cp "$t/$f" "$tmp/orig/$f"; done
echo keep > "$work/outside/kept.txt"
mkfifo "$t/fifo"
python3 -c 'import socket,sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$t/sock"
ln -s ../../outside "$t/sub/dirlink"
ln -s a.txt "$t/filelink"
ln -s nowhere "$t/dangling"
others=(fifo sock sub/dirlink filelink dangling)

# Root reads any folder; without the capability to bypass permissions it is an ordinary user.
run=(timeout 60)
locked=
if [ "$(id -u)" != 0 ]; then
    locked=yes
elif setpriv --bounding-set -dac_override,-dac_read_search true 2>/dev/null; then
    run+=(setpriv --bounding-set -dac_override,-dac_read_search)
    locked=yes
else
    echo "unusual tree: running as root without setpriv; the unreadable folder is not tried"
fi
if [ -n "$locked" ]; then
    mkdir "$t/locked"
    echo hidden > "$t/locked/in.txt"
    chmod 000 "$t/locked"
fi

# Runs the console on the tree; sets out and st; a hang ends in status 124.
cli() { out=$("${run[@]}" "$CLI" "$@" 2>&1 </dev/null); st=$?; }
# Each entry of NAMES is listed exactly once among the files not completed.
listed_once() {
    local what=$1; shift
    for n in "$@"; do
        [ "$(grep -c -F -- "$t/$n: " <<<"$out")" = 1 ] || fail "$what: $n not listed once: $out"
    done
    if [ -n "$locked" ]; then
        grep -q -F -- "$t/locked: The folder $t/locked cannot be listed; its files were skipped. Error 13: Permission denied" \
            <<<"$out" || fail "$what: locked folder not reported: $out"
    fi
}
links_intact() {
    [ "$(readlink "$t/sub/dirlink")" = ../../outside ] && [ "$(readlink "$t/filelink")" = a.txt ] &&
        [ "$(readlink "$t/dangling")" = nowhere ] && [ -p "$t/fifo" ] && [ -S "$t/sock" ] ||
        fail "$1: a special entry changed"
    [ "$(cat "$work/outside/kept.txt")" = keep ] || fail "$1: the folder behind a link changed"
}

cli encrypt -a RIJ -p "$tmp/pw" --delete-source "$t"
expect_status 1 $st "encrypt"
grep -qx "4 files were encrypted" <<<"$out" || fail "encrypt count: $out"
grep -q -F "$t/fifo is not a regular file; it was skipped" <<<"$out" || fail "pipe text: $out"
grep -q -F "$t/filelink is a symbolic link; it was skipped" <<<"$out" || fail "link text: $out"
for f in "${regular[@]}"; do
    [ -f "$t/$f.enc" ] && [ ! -e "$t/$f" ] || fail "encrypt: $f not replaced by $f.enc"
done
listed_once encrypt "${others[@]}"
links_intact encrypt

cli decrypt -p "$tmp/pw" --delete-source "$t"
expect_status 1 $st "decrypt"
grep -qx "4 files were decrypted" <<<"$out" || fail "decrypt count: $out"
for f in "${regular[@]}"; do
    cmp -s "$t/$f" "$tmp/orig/$f" || fail "decrypt: $f not restored byte for byte"
    [ ! -e "$t/$f.enc" ] || fail "decrypt: $f.enc kept"
done
listed_once decrypt "${others[@]}"
links_intact decrypt

# Shredding removes links themselves, never what they point to; pipes and sockets stay.
cli shred -m 0 "$t"
expect_status 1 $st "shred"
grep -qx "7 files were shredded" <<<"$out" || fail "shred count: $out"
for f in "${regular[@]}" sub/dirlink filelink dangling; do
    [ ! -e "$t/$f" ] && [ ! -L "$t/$f" ] || fail "shred: $f survived"
done
[ -p "$t/fifo" ] && [ -S "$t/sock" ] || fail "shred: a special file went"
[ "$(cat "$work/outside/kept.txt")" = keep ] || fail "shred: the folder behind a link changed"
listed_once shred fifo sock

# Named directly: a link to a folder is a link (no "Is a directory" ending the run).
ln -s ../outside "$t/named"
locked=  # not part of this run
cli encrypt -a RIJ -p "$tmp/pw" "$t/named" "$t/fifo"
expect_status 1 $st "encrypt named link"
listed_once "named link" named fifo
grep -qx "0 file was encrypted" <<<"$out" || fail "named link count: $out"
[ ! -e "$work/outside/kept.txt.enc" ] || fail "named link was followed"

[ $failures = 0 ] && echo "unusual tree: all passed"
exit $((failures > 0))
