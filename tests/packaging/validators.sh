#!/bin/bash
# The desktop files and the Debian package under the validators a distribution runs, where they
# are installed (scripts/deps.sh installs them): desktop-file-validate, appstreamcli, man, bash
# completion, lintian. Also: the manual page and the completion know every command and option
# that --help lists.
# Usage: validators.sh SOURCE-DIR BUILD-DIR
set -u
src=$1 build=$2
id=org.tellvane.Tellvane
desk=$build/desktop
cli=$build/bin/tellvane-cli
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export XDG_CONFIG_HOME=$tmp/config HOME=$tmp/home
mkdir -p "$HOME"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
have() { command -v "$1" >/dev/null || { echo "SKIP: $1 is not installed ($2)"; return 1; }; }

if have desktop-file-validate desktop-file-utils; then
    out=$(desktop-file-validate "$src/packaging/$id.desktop" 2>&1) && [ -z "$out" ] || fail "desktop-file-validate: $out"
fi
if have appstreamcli appstream; then
    out=$(appstreamcli validate --no-net "$desk/$id.metainfo.xml" 2>&1) || fail "appstreamcli: $out"
fi

# Icons: PNG files of their size (width and height in the IHDR chunk).
for size in 16 32 48 64 128 256; do
    png=$desk/icons/${size}x$size/$id.png
    dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | tr -s ' ')
    [ "$dims" = " 0 0 $((size >> 8)) $((size & 255)) 0 0 $((size >> 8)) $((size & 255))" ] || fail "$png: $dims"
done

# Every command and option of --help, in the manual page and in the completion.
help=$("$cli" --help)
commands=$(sed -n '/^Commands:/,/^$/p' <<<"$help" | awk 'NR > 1 && NF {print $1}')
options=$(grep -oE -- '(^|[][ (|,])-{1,2}[a-zA-Z][-a-zA-Z]*' <<<"$help" | sed 's/^[][ (|,]//' | sort -u)
[ -n "$commands" ] && [ -n "$options" ] || fail "no commands or options read from --help"
word() { grep -qE -- "(^|[^-[:alnum:]])$1([^-[:alnum:]]|\$)" "$2"; }
if have man man-db; then
    for page in tellvane tellvane-cli; do
        MANWIDTH=100 man --warnings -l "$desk/man/$page.1.gz" >"$tmp/$page.txt" 2>"$tmp/warnings" || fail "man $page"
        [ -s "$tmp/warnings" ] && fail "man $page: $(cat "$tmp/warnings")"
    done
    for w in $commands $options; do word "$w" "$tmp/tellvane-cli.txt" || fail "tellvane-cli(1) lacks $w"; done
    for s in "0" "1" "2" "130"; do grep -qE "^ +$s$" "$tmp/tellvane-cli.txt" || fail "tellvane-cli(1) lacks exit status $s"; done
fi
for w in $commands $options; do
    for f in tellvane-cli _tellvane-cli; do
        [ "$w" = --help ] || [ "$w" = --version ] || word "$w" "$desk/completion/$f" || fail "completion $f lacks $w"
    done
done

if [ -f /usr/share/bash-completion/bash_completion ]; then
    cat > "$tmp/complete.bash" <<'SCRIPT'
source /usr/share/bash-completion/bash_completion
source "$1"
shift
COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
_tellvane_cli tellvane-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
printf '%s\n' "${COMPREPLY[@]}"
SCRIPT
    mkdir -p "$tmp/files/sub" && touch "$tmp/files/a.enc" "$tmp/files/b.txt"
    # words typed | what completes the last, sorted
    while IFS='|' read -r words expected; do
        got=$(cd "$tmp/files" && eval "bash \"$tmp/complete.bash\" \"$desk/completion/tellvane-cli\" $words" |
              LC_ALL=C sort | tr '\n' ' ')
        [ "$got" = "$expected" ] || fail "completion of \"$words\": \"$got\", expected \"$expected\""
    done <<'TABLE'
tellvane-cli enc|encrypt 
tellvane-cli -q sh|show shred 
tellvane-cli encrypt -a RI|RIJ RIJNDAEL 
tellvane-cli encrypt -a 'All'|All\ at\ once 
tellvane-cli shred -m TGU|TGUTMANN 
tellvane-cli decrypt --del|--delete-source 
tellvane-cli info ''|a.enc sub 
tellvane-cli encrypt ''|a.enc b.txt sub 
TABLE
else
    echo "SKIP: bash-completion is not installed (bash-completion)"
fi

# The package: lintian reports no error and no warning.
if have lintian lintian && have cpack cmake; then
    if (cd "$build" && cpack -G DEB -B "$tmp/package" >"$tmp/cpack.log" 2>&1); then
        lintian --fail-on error,warning "$tmp"/package/*.deb >"$tmp/lintian.log" 2>&1 ||
            fail "lintian: $(grep -E '^[EW]:' "$tmp/lintian.log")"
    else
        fail "cpack: $(tail -5 "$tmp/cpack.log")"
    fi
fi

[ $failures = 0 ] && echo "validators: ok"
exit $((failures > 0))
