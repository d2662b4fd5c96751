#!/usr/bin/env bash
# Checks that the game ends when its X server goes away: starts the demo under
# a virtual X server, kills the server, and expects the game to be gone within
# a few seconds with a non-zero status (not left spinning on a dead connection).
#
# Usage: scripts/check-display-loss.sh [build-dir]
#   build-dir  a build with the targets vorthan and demo (default build/release)
# Needs the packages of `scripts/install-deps.sh screen`.
set -uo pipefail

build=$(cd "${1:-build/release}" && pwd)
. "$(dirname "$0")/demo-under-xvfb.sh"
start_demo_under_xvfb "$build" ":${DISPLAY_NUMBER:-96}" "${SETTLE:-5}"

kill "$xvfb"
wait "$xvfb" 2>/dev/null
for _ in $(seq 50); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$game" 2>/dev/null; then
    echo "the game still runs 5 s after its X server went away" >&2
    exit 1
fi
wait "$game"
status=$?
game=
if [[ $status == 0 ]]; then
    echo "the game ended with status 0 after losing its display" >&2
    exit 1
fi
echo "the game ended with status $status after losing its display"
