#!/usr/bin/env bash
# Takes the pictures of docs/screenshots/: the window tests run on a virtual X server and save a
# picture of every page and dialog they pass through; then the program itself is started twice
# (first start, and "/encrypt" as the file managers start it) and the screen is captured.
#
#   scripts/take-screenshots.sh BUILD-DIR      (a build configured with -DTELLVANE_BUILD_UI=ON)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: take-screenshots.sh BUILD-DIR}
out=$here/docs/screenshots
for tool in xvfb-run import convert; do
  command -v $tool >/dev/null || { echo "take-screenshots: $tool is required" >&2; exit 1; }
done
ninja -C "$build" test_ui tellvane tellvane_data >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

QT_QPA_PLATFORM=xcb TELLVANE_SCREENSHOT_DIR="$out" \
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$build/bin/test_ui" >/dev/null

# capture NAME HOME [ARGS...]: the program on an empty 800 x 600 screen, cut to its window.
capture() {
  local name=$1 home=$2; shift 2
  cat > "$work/run.sh" <<SCRIPT
#!/bin/bash
XDG_CONFIG_HOME="$home" "$build/bin/tellvane" $* &
pid=\$!
sleep 3
import -window root "$work/screen.png"
kill \$pid; wait \$pid 2>/dev/null || true
SCRIPT
  chmod +x "$work/run.sh"
  xvfb-run -a -s "-screen 0 800x600x24 -dpi 96" "$work/run.sh" 2>/dev/null
  convert "$work/screen.png" -bordercolor black -border 1 -fuzz 2% -trim +repage "$out/$name.png"
}

# First start: no main password yet, so the program asks for one over its start page.
mkdir -p "$work/first"
capture xvfb-first-start "$work/first"

# Started by a file manager's action: a main password exists, "todo" names the selection.
mkdir -p "$work/menu/Brevikon" "$work/sel"
chmod 700 "$work/menu/Brevikon"
printf '[Password]\nPassword=main\n[Count]\nCount=0\n' > "$work/menu/Brevikon/base.dat"
echo report > "$work/sel/report.txt"
printf '\xEF\xBB\xBF%s\r\n' "$work/sel/report.txt" > "$work/menu/Brevikon/todo"
capture xvfb-encrypt-from-file-manager "$work/menu" /encrypt

echo "take-screenshots: pictures in $out"
