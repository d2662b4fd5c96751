#!/usr/bin/env bash
# Measures what the idle game screen costs: starts the demo under a virtual X
# server (Xvfb, software GL), waits until it sits on the game screen, then
# reads the process's user + system time (every thread counted) before and
# after a quiet interval and prints the share of one core.
#
# Usage: scripts/measure-idle.sh [build-dir] [seconds]
#   build-dir  a Release build with the targets vorthan and demo (default build/release)
#   seconds    length of the quiet interval (default 10)
# Needs the packages of `scripts/install-deps.sh screen`.
# Environment: SETTLE (seconds to wait before measuring, default 6),
#   SHOT (a PNG file: a screenshot of the screen is written there at the end),
#   INTRO=1 (start as on a first start, with the intro),
#   MOVE=1 (also moves the mouse across the window during a second interval),
#   AUDIO_DRIVER (SDL's audio driver, default dummy: sound on, played nowhere; a
#   name SDL does not know leaves the game silent).
set -euo pipefail

build=${1:-build/release}
seconds=${2:-10}
settle=${SETTLE:-6}
display_number=:${DISPLAY_NUMBER:-97}

build=$(cd "$build" && pwd)
. "$(dirname "$0")/demo-under-xvfb.sh"
start_demo_under_xvfb "$build" "$display_number" "$settle"

# Fields 14 and 15 of /proc/<pid>/stat: user and system time of the whole
# process (all its threads), in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$game/stat"; }
hz=$(getconf CLK_TCK)

share() {  # ticks seconds -> percent of one core
    awk -v t="$1" -v s="$2" -v hz="$hz" 'BEGIN { printf "%.2f", 100 * t / hz / s }'
}

before=$(cpu_ticks)
sleep "$seconds"
after=$(cpu_ticks)
echo "idle: $(share $((after - before)) "$seconds")% of a core over $seconds s" \
     "($((after - before)) ticks at $hz Hz, threads: $(ls /proc/$game/task | wc -l))"

if [[ ${MOVE:-0} == 1 ]]; then
    before=$(cpu_ticks)
    end=$((SECONDS + seconds))
    x=100
    while ((SECONDS < end)); do
        xdotool mousemove "$x" 500
        x=$(((x + 7) % 1200 + 40))
        sleep 0.01
    done
    after=$(cpu_ticks)
    echo "moving mouse: $(share $((after - before)) "$seconds")% of a core over $seconds s"
fi

if [[ -n ${SHOT:-} ]]; then
    xwd -root -silent | convert xwd:- "$SHOT"
    echo "screenshot: $SHOT"
fi
