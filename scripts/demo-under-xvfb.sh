# Sourced by the measuring scripts: starts a virtual X server and the demo of a
# Release build on it, and stops both when the script exits.
#   start_demo_under_xvfb <build-dir> <display> <seconds to settle>
# Sets `game` to the game's process id.
start_demo_under_xvfb() {
    local build=$1 display_number=$2 settle=$3
    [[ -x $build/vorthan && -d $build/demo ]] || {
        echo "no vorthan and demo in $build (build the targets vorthan and demo)" >&2
        exit 2
    }
    Xvfb "$display_number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    game=
    trap stop_demo_under_xvfb EXIT
    sleep 1
    export DISPLAY=$display_number SDL_AUDIODRIVER=${AUDIO_DRIVER:-dummy} VORTHAN_NO_MESSAGE_BOX=1
    (cd "$build/demo" && exec ../vorthan -l en) >/dev/null 2>&1 &
    game=$!
    sleep "$settle"
    kill -0 "$game" 2>/dev/null || { echo "the game ended before the measurement" >&2; exit 1; }
}

stop_demo_under_xvfb() {
    [[ -n ${game:-} ]] && kill "$game" 2>/dev/null && wait "$game" 2>/dev/null
    kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    true
}
