#!/usr/bin/env bash
# Takes a screenshot of the editor with the demo map loaded, as a person would see it: the
# editor runs in a virtual X display (Xvfb), opens the map through File > Open (Ctrl+O),
# and the pointer rests over a lake of the 128x128 picture.
# Usage: tools/screenshot.sh [OUT.png] [--list]   (--list: with the level list dropped down)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshot.png}"
list="${2:-}"
editor="$PWD/build/src/kelvarin"
[ -x "$editor" ] || { echo "build the editor first (./test or cmake --build --preset default)"; exit 1; }

work=$(mktemp -d)
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 640x480x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $editor_pid $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
export DISPLAY="$display"
sleep 1
python3 tools/make-demo-map.py "$work/waterpro.dat"
(cd "$work" && exec "$editor") >/dev/null 2>&1 &
editor_pid=$!

main=$(xdotool search --sync --name '^Kelvarin 1.0$' | head -n1)
xdotool windowfocus --sync "$main"
xdotool key --window "$main" ctrl+o
dialog=$(xdotool search --sync --name '^Open$' | head -n1)
sleep 0.5
xdotool windowfocus --sync "$dialog"
xdotool key Return   # the dialog offers waterpro.dat in the editor's folder
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool windowfocus --sync "$main"
# Over the 128x128 picture (client area inside a 2-pixel border, below the menu bar).
menu=$((HEIGHT - 202))
xdotool mousemove $((X + 2 + 85)) $((Y + menu + 2 + 40))
sleep 0.5
if [ "$list" = "--list" ]; then
    xdotool click 1   # pick the level under the pointer
    xdotool mousemove $((X + 2 + 190)) $((Y + menu + 2 + 27)) click 1
    sleep 0.7
    import -window root -crop "$((WIDTH + 20))x$((HEIGHT + 140))+$X+$Y" "$out"
else
    import -window "$main" "$out"
fi
echo "wrote $out"
