#!/usr/bin/env bash
# A folder with entries that cannot be done among good files: every good file is done, each other
# entry is named once in one list under its count, and the status is 1.
source "$(dirname "$0")/lib/common.bash" "$1"

printf 'pw\n' > "$tmp/pw"
make_shred_folder() {
    mkdir -p "$work/s"
    echo a > "$work/s/a"; echo z > "$work/s/z"; : > "$work/s/empty"
    echo ro > "$work/s/ro"; chmod 444 "$work/s/ro"
    mkfifo "$work/s/pipe"
}
make_decrypt_folder() {
    mkdir -p "$work/d"
    for n in g1 g2 c1 c2; do head -c 5000 /dev/urandom > "$work/d/$n"; done
    "$CLI" encrypt --delete-source -p "$tmp/pw" "$work/d" >/dev/null 2>&1 || fail "encrypting the decrypt folder"
    # Headers cut off: the format has no length of its own, so a body cut short cannot be told.
    truncate -s 10 "$work/d/c1.enc"
    truncate -s 4 "$work/d/c2.enc"
    ln -s g1.enc "$work/d/link"
    mkfifo "$work/d/pipe"
}

# command | folder | entries that must be listed once | files that must be gone | count line
rows=(
  "shred|s|ro pipe|a z empty|2 entries were not done:"
  "decrypt -p $tmp/pw|d|c1.enc c2.enc link pipe||4 entries were not done:"
)
make_shred_folder; make_decrypt_folder
for row in "${rows[@]}"; do
    IFS='|' read -r cmd folder listed gone count <<<"$row"
    # shellcheck disable=SC2086
    out=$(timeout 60 "$CLI" $cmd "$work/$folder" 2>&1 </dev/null); st=$?
    expect_status 1 $st "$cmd"
    grep -qx "$count" <<<"$out" || fail "$cmd: no line \"$count\" in: $out"
    for e in $listed; do
        n=$(grep -c -F "$work/$folder/$e" <<<"$out")
        [ "$n" = 1 ] || fail "$cmd: $e named $n times in: $out"
        [ -e "$work/$folder/$e" ] || [ -L "$work/$folder/$e" ] || fail "$cmd: $e went"
    done
    for e in $gone; do [ ! -e "$work/$folder/$e" ] || fail "$cmd: $e is still there"; done
done
grep -q "Stream read error in $work/d/c1.enc" <<<"$("$CLI" decrypt -p "$tmp/pw" "$work/d/c1.enc" 2>&1)" ||
  fail "the read error does not name the file"
for n in g1 g2; do [ -f "$work/d/$n" ] || fail "$n was not restored"; done

[ $failures = 0 ] && echo "not done: all passed"
exit $((failures > 0))
