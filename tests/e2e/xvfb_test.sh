#!/bin/sh
# The game as a person meets it: installed (staged with DESTDIR), started with the command
# of its desktop entry in a real X server (Xvfb), played with keys from xdotool, and judged
# on screenshots of its window taken with ImageMagick's import. Each screen is recognised
# by what only it shows, with the game's own drawing code as the reference (e2e_look):
# the maker's logo with its mascot, the warning and credits pages pixel for pixel through
# the window's scaler, the title logo in its place, "PRESS START" and "NEW GAME", the first
# story page, the hero at his start cell in stage 1, and the pause menu over a darkened
# view. Then the game is left with Escape and a "yes", must end with status 0, and must have
# written its files in the player's directory.
# Runs in every screen mode a player picks: the desktop entry's default (a doubled window),
# -w, -x2 -b24, -s2x, -aa and -b24. Then twice more, ended by SIGTERM (as a logout or a
# shutdown ends it) on the warning page and in the middle of stage 1.
# Usage: xvfb_test.sh <build dir>      (E2E_KEEP=dir keeps the screenshots there)
set -u
build=$(cd "$1" && pwd)
look="$build/e2e_look --data $build/data"
[ -x "$build/e2e_look" ] || { echo "FAIL: $build/e2e_look is not built"; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/trobz3-e2e.XXXXXX")
. "$(dirname "$0")/xsession.sh"
cleanup() {
    stop_all
    if [ -n "${E2E_KEEP:-}" ]; then
        mkdir -p "$E2E_KEEP"
        cp "$work"/*.bmp "$E2E_KEEP"/ 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# ---- the installed game
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }
desktop=$(ls "$stage"/usr/share/applications/*.desktop)
entry_command=$(sed -n 's/^Exec=//p' "$desktop")
PATH=$stage/usr/bin:$PATH
export PATH
start_display

# play_game <label> <bpp> <window: 1x|x2|s2x|aa> [game options...]
# With $terminate_at set to "warning" or "stage" the game is ended there by SIGTERM.
terminate_at=""
play_game() {
    label=$1
    bpp=$2
    mode=$3
    shift 3
    look="$build/e2e_look --data $build/data --bpp $bpp --window $mode"
    home=$work/home-$label
    mkdir -p "$home"
    # shellcheck disable=SC2086
    start_game "$label" env -u XDG_DATA_HOME HOME="$home" SDL_AUDIODRIVER=dummy \
        $entry_command "$@" || return
    shot
    size=$($look size "$last")
    want=640x480
    [ "$mode" = 1x ] && want=320x240
    if [ "$size" = "$want" ]; then ok "$label: a $size window"; else fail "$label: a $size window, not $want"; fi

    # the intro: the mascot circles (160, 100); the logo slides in and the jingle ends the
    # screen by itself, then the two pages wait for a key
    see 5 "the maker's logo screen" image zk-vemo 160 100 9
    if [ "$terminate_at" = warning ]; then
        see 20 "the warning page" page warning "$mode" && ends_on_signal TERM
        return
    fi
    see 20 "the warning page" page warning "$mode" && key space
    see 5 "the credits page" page credits "$mode" && key space

    # the title, with the logo 56 px above the middle, then its menu
    see 10 "the title logo in its place" image logo 160 64
    see 5 "\"PRESS START\" on the title" text big 128 "PRESS START" && key Return
    see 5 "\"NEW GAME\" in the opened menu" text big 104 "NEW GAME" && key Return

    # the opening story, three pages
    see 10 "the first story page" image storya 160 100 && key space
    see 5 "the second story page" image storyb 160 100 && key space
    see 5 "the third story page" image storyc 160 100 && key space

    # stage 1 once its intro is over: the hero stands at his start cell (32, 128), which
    # the view shows one cell from its left edge
    if see 10 "the hero at his start cell in stage 1" block 16 128 2 "24,65,68,1,2,3,4,5,6,7,8"; then
        playing=$last
        if [ "$terminate_at" = stage ]; then
            xdotool keydown Right
            sleep 0.5
            ends_on_signal TERM
            xdotool keyup Right 2>/dev/null
            return
        fi
        key Tab
        if see 5 "the pause menu" text big 96 "-PAUSE-"; then
            see 1 "the view darkened behind the pause menu" darker "$playing" 0 0 320 90
        fi
    fi

    # leaving: Escape asks, LEFT answers yes, and the game ends
    key Escape
    sleep 0.5
    key Left
    waited=0
    while kill -0 "$game_pid" 2>/dev/null && [ $waited -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
        # a game that went back to the title leaves on a second Escape
        [ $waited -eq 30 ] && key Escape
    done
    if kill -0 "$game_pid" 2>/dev/null; then
        fail "$label: the game did not end after Escape and yes"
        kill -KILL "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
    else
        wait "$game_pid"
        status=$?
        if [ $status -eq 0 ]; then ok "$label: the game ended with status 0"; else fail "$label: the game ended with status $status: $(cat "$work/$label.out")"; fi
    fi
    game_pid=""
    userdir=$home/.local/share/trobz3
    if [ -f "$userdir/hiscores.dat" ] && [ -L "$userdir/data" ]; then
        ok "$label: hiscores.dat and the data link are in ~/.local/share/trobz3"
    else
        fail "$label: ~/.local/share/trobz3 lacks hiscores.dat or data: $(ls -A "$userdir" 2>&1)"
    fi
}

play_game desktop 16 x2
play_game window 16 1x -w
play_game deep-x2 24 x2 -x2 -b24
play_game scale2x 16 s2x -s2x
play_game antialias 16 aa -aa
play_game deep 24 1x -b24
terminate_at=warning play_game sigterm-warning 16 x2
terminate_at=stage play_game sigterm-stage 16 x2

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
