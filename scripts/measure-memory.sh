#!/usr/bin/env bash
# Measures the resident memory of the running demo: starts it under a virtual X
# server (Xvfb), walks a few steps, lets it play for a while and prints the
# peak resident set (VmHWM) and the current one (VmRSS).
#
# Usage: scripts/measure-memory.sh [build-dir] [seconds]
#   build-dir  a Release build with the targets vorthan and demo (default build/release)
#   seconds    how long the game runs before the figures are read (default 60)
# Environment: SHOT (a PNG file: a screenshot of the screen at the end).
# Needs the packages of `scripts/install-deps.sh screen` (Xvfb, xdotool, xwininfo).
set -euo pipefail

build=${1:-build/release}
seconds=${2:-60}
display_number=:${DISPLAY_NUMBER:-96}

build=$(cd "$build" && pwd)
. "$(dirname "$0")/demo-under-xvfb.sh"
start_demo_under_xvfb "$build" "$display_number" 5

# A little play: steps and turns, so the pictures of more places are loaded,
# and the inventory opened and closed. Without a window manager the keys
# reach the game only once its window has the focus.
window=$(xwininfo -root -children | awk '/[0-9]+x[0-9]+\+/ && $0 !~ /has no name/ { print $1; exit }')
if [[ -n $window ]]; then
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    for key in w w d w e w w q s a w i Escape w i; do
        xdotool key "$key"
        sleep 0.5
    done
else
    echo "no game window found: measured without play" >&2
fi
sleep $((seconds > 7 ? seconds - 7 : 0))
kill -0 "$game" 2>/dev/null || { echo "the game ended during the measurement" >&2; exit 1; }
grep -E '^(VmHWM|VmRSS)' "/proc/$game/status"
if [[ -n ${SHOT:-} ]]; then
    xwd -root -silent | convert xwd:- "$SHOT"
    echo "screenshot: $SHOT"
fi
