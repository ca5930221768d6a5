#!/bin/sh
# Takes the README's screenshots from the game itself: the title, stage 1 in play, the
# options menu and the hiscore table, in a doubled window, as PNG files.
# Usage: scripts/screenshots.sh [build dir (build)] [output dir (docs)]
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
out=${2:-$src/docs}
mkdir -p "$out"
out=$(cd "$out" && pwd)
[ -x "$build/trobz3" ] && [ -x "$build/e2e_look" ] ||
    { echo "build the game first: cmake --build $build" >&2; exit 1; }
look="$build/e2e_look --data $build/data --bpp 16 --window x2"
work=$(mktemp -d "${TMPDIR:-/tmp}/trobz3-shots.XXXXXX")
. "$src/tests/e2e/xsession.sh"
trap 'stop_all; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
start_display

# a player's directory with a few hiscores of earlier games
mkdir -p "$work/game"
ln -s "$build/data" "$work/game/data"

save() { # the newest shot as out/NAME.png, without time stamps so reruns compare equal
    convert "$last" -strip -define png:exclude-chunks=date,time "$out/$1.png" &&
        echo "wrote $out/$1.png"
}

# Menu keys held a few frames each: the game reads the menu's keys once a frame, and a tap
# that comes and goes between two reads, or two taps in one frame, can be lost.
press() {
    for k in "$@"; do
        xdotool keydown "$k" && sleep 0.1 && xdotool keyup "$k" && sleep 0.2
    done
}

# the intro pages wait for a key; the title comes after them
through_intro() {
    see 20 "the warning page" page warning x2 && key space
    see 5 "the credits page" page credits x2 && key space
    see 10 "the title" image logo 160 64
}

cd "$work/game" || exit 1
start_game menus env SDL_AUDIODRIVER=dummy "$build/trobz3" -x2 || exit 1
through_intro
sleep 3 # let the title stage scroll a little
see 5 "PRESS START" text big 128 "PRESS START" && save title
key Return
see 5 "the menu" text big 104 "NEW GAME"
sleep 0.5
press Down Down Return
see 5 "the hiscore table" text big 16 "HISCORES" && sleep 1 && shot && save hiscores
press space
sleep 0.5
press Down Return
see 5 "the options" text big 64 "OPTIONS" && save options
stop_all
start_display

start_game stage env SDL_AUDIODRIVER=dummy "$build/trobz3" -x2 || exit 1
through_intro
key Return
see 5 "the menu" text big 104 "NEW GAME" && key Return
for page in storya storyb storyc; do
    see 10 "a story page" image $page 160 100 && key space
done
see 10 "the hero" block 16 128 2 "24,65,68"
xdotool keydown Right
sleep 1.6
xdotool keyup Right
sleep 0.4
shot && save stage
[ "$failed" -eq 0 ]
