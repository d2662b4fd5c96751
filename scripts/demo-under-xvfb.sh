# Sourced by the measuring scripts: starts a virtual X server and the demo of a
# Release build on it, and stops both when the script exits.
#   start_demo_under_xvfb <build-dir> <display> <seconds to settle>
# Sets `game` to the game's process id. INTRO=1: the intro plays first.
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
    # A saved-games folder of its own: empty with INTRO=1 (a first start plays
    # the intro), else holding a file so that the game starts at once.
    demo_home=$(mktemp -d)
    export XDG_DATA_HOME=$demo_home
    if [[ ${INTRO:-0} != 1 ]]; then
        mkdir -p "$demo_home/Vorthan" && touch "$demo_home/Vorthan/.intro-seen"
    fi
    (cd "$build/demo" && exec ../vorthan -l en) >/dev/null 2>&1 &
    game=$!
    sleep "$settle"
    kill -0 "$game" 2>/dev/null || { echo "the game ended before the measurement" >&2; exit 1; }
}

stop_demo_under_xvfb() {
    [[ -n ${game:-} ]] && kill "$game" 2>/dev/null && wait "$game" 2>/dev/null
    kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    [[ -n ${demo_home:-} ]] && rm -rf "$demo_home"
    true
}
