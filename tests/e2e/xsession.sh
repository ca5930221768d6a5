# Shell helpers for driving the game in an X server of our own; sourced by xvfb_test.sh and
# scripts/screenshots.sh. Expects $work (a scratch directory) and $look (the e2e_look
# command with its options). Provides:
#   start_display          Xvfb on a free display number, DISPLAY exported
#   start_game LABEL CMD.. the game's window up: $wid, $game_pid; false if none appeared
#   shot                   the window to $work/LABEL-N.bmp, path in $last
#   see SECONDS WHAT QUESTION [ARGS]   screenshots until e2e_look says yes
#   key KEY...             keys pressed and released, as xdotool names them
#   ends_on_signal SIG     the signal sent to the game, which must end with status 0 in 1 s
#   stop_all               the game and the X server ended (for an EXIT trap)
passed=0
failed=0
ok() {
    passed=$((passed + 1))
    echo "ok: $*"
}
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}

xvfb_pid=""
game_pid=""
wid=""
label=""
shots=0

for tool in Xvfb xdpyinfo xdotool import; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing"; exit 1; }
done

start_display() {
    display=""
    n=120
    while [ $n -lt 200 ]; do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            display=:$n
            break
        fi
        n=$((n + 1))
    done
    [ -n "$display" ] || { echo "FAIL: no free X display number"; exit 1; }
    Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    tries=0
    until xdpyinfo -display "$display" >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ $tries -gt 100 ] && { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
        sleep 0.1
    done
    DISPLAY=$display
    export DISPLAY
}

start_game() {
    label=$1
    shift
    # a real window, whatever driver the caller's environment names for headless runs
    env -u SDL_VIDEODRIVER "$@" >"$work/$label.out" 2>&1 &
    game_pid=$!
    # no window manager: find the window by its caption and give it the keyboard
    wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Trobz 3' 2>/dev/null | head -n 1)
    if [ -z "$wid" ]; then
        fail "$label: no window 'Trobz 3' appeared ($(cat "$work/$label.out"))"
        kill -KILL "$game_pid" 2>/dev/null
        game_pid=""
        return 1
    fi
    xdotool windowfocus --sync "$wid" 2>/dev/null
    return 0
}

shot() {
    shots=$((shots + 1))
    last=$work/$label-$shots.bmp
    import -window "$wid" "bmp3:$last" 2>/dev/null
}

see() {
    seconds=$1
    what=$2
    question=$3
    shift 3
    end=$(($(date +%s) + seconds))
    while :; do
        if shot && answer=$($look "$question" "$last" "$@" 2>&1); then
            ok "$label: $what ($answer)"
            return 0
        fi
        if [ "$(date +%s)" -ge "$end" ]; then
            fail "$label: $what not seen within $seconds s (last: $answer; shot $(basename "$last"))"
            return 1
        fi
        sleep 0.2
    done
}

key() {
    xdotool key --clearmodifiers "$@"
}

ends_on_signal() {
    sent=$(date +%s%N)
    kill -"$1" "$game_pid"
    while kill -0 "$game_pid" 2>/dev/null && [ $(($(date +%s%N) - sent)) -lt 3000000000 ]; do
        sleep 0.02
    done
    ms=$((($(date +%s%N) - sent) / 1000000))
    if kill -0 "$game_pid" 2>/dev/null; then
        fail "$label: the game did not end on SIG$1 within 3 s"
        kill -KILL "$game_pid" 2>/dev/null
        wait "$game_pid" 2>/dev/null
    else
        wait "$game_pid"
        status=$?
        if [ $status -eq 0 ] && [ $ms -le 1000 ]; then
            ok "$label: SIG$1 ended the game with status 0 in $ms ms"
        else
            fail "$label: SIG$1 ended the game with status $status in $ms ms: $(cat "$work/$label.out")"
        fi
    fi
    game_pid=""
}

stop_all() {
    [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    game_pid=""
    xvfb_pid=""
}
