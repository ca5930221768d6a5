#!/bin/sh
# Installs the built game into a staging directory (DESTDIR, prefix /usr) and checks what a
# desktop needs: the files in their places, the validators' verdicts, the entries pointing
# at one another, and the launcher making the player's directory and starting the game
# there with its data.
# Usage: install_test.sh <build dir> <application id>
set -u
build=$(cd "$1" && pwd)
appid=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/trobz3-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

passed=0
failed=0
ok() { passed=$((passed + 1)); }
fail() {
    failed=$((failed + 1))
    echo "FAIL: $*"
}
check() { # description, command...
    what=$1
    shift
    if "$@"; then ok; else fail "$what"; fi
}

# ---- the installation
stage=$work/stage
if ! DESTDIR=$stage cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: cmake --install"
    exit 1
fi
root=$stage/usr
launcher=$root/bin/trobz3
game=$root/libexec/trobz3/trobz3

is_elf() { [ "$(head -c 4 "$1" | od -An -c | tr -d ' ')" = "177ELF" ]; }
check "launcher is an executable script" test -x "$launcher"
check "launcher is a shell script" grep -q '^#!/bin/sh' "$launcher"
check "game binary installed" test -x "$game"
check "game binary is ELF" is_elf "$game"
for a in gfx music maps sound; do
    check "archive $a.zda installed unchanged" cmp -s "$build/data/$a.zda" "$root/share/trobz3/data/$a.zda"
done
check "sample test stage installed" cmp -s "$build/maps/test.bin" "$root/share/trobz3/maps/test.bin"
check "nothing installed outside /usr" test "$(ls -A "$stage")" = usr

# ---- desktop entry, metainfo, man page, icons
desktop=$root/share/applications/$appid.desktop
metainfo=$root/share/metainfo/$appid.metainfo.xml
manpage=$root/share/man/man6/trobz3.6
check "desktop entry installed" test -f "$desktop"
check "metainfo installed" test -f "$metainfo"
check "man page installed" test -f "$manpage"
check "desktop-file-validate accepts the entry" desktop-file-validate "$desktop"
check "appstreamcli accepts the metainfo" appstreamcli validate --no-net --pedantic "$metainfo"
check "mandoc finds no warning in the man page" mandoc -T lint -W warning "$manpage"

key() { sed -n "s/^$1=//p" "$desktop"; }
exe=$(key Exec | cut -d' ' -f1)
check "desktop entry starts the installed launcher (Exec=$exe)" test -x "$root/bin/$exe"
icon=$(key Icon)
check "metainfo launches this desktop entry" grep -q "<launchable type=\"desktop-id\">$appid.desktop</launchable>" "$metainfo"
check "metainfo id is the application id" grep -q "<id>$appid</id>" "$metainfo"

# the PNG header's width and height, as WxH
png_size() {
    [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] || return 1
    set -- $(od -An -tu1 -j16 -N8 "$1")
    echo "$(($1 * 16777216 + $2 * 65536 + $3 * 256 + $4))x$(($5 * 16777216 + $6 * 65536 + $7 * 256 + $8))"
}
for s in 16 32 48 64 128; do
    f=$root/share/icons/hicolor/${s}x$s/apps/$icon.png
    if [ -f "$f" ]; then
        check "icon $s: a ${s}x$s PNG (got $(png_size "$f"))" test "$(png_size "$f")" = "${s}x$s"
    else
        fail "icon $f missing"
    fi
done

# every option of the help text and every file the game writes are in the man page
"$game" -h >"$work/help.txt"
check "the game prints help with -h" test -s "$work/help.txt"
for opt in $(cut -d' ' -f1 "$work/help.txt" | tr -d ':'); do
    check "man page describes $opt" grep -q "^\.It Fl ${opt#-}\$" "$manpage"
done
check "man page describes -t" grep -q '^\.It Fl t$' "$manpage"
for f in trobz3.cfg hiscores.dat savegame.dat; do
    check "man page names $f" grep -q "trobz3/$f\$" "$manpage"
done

# ---- the launcher
home=$work/home
mkdir -p "$home"
launch() { # runs the launcher with a fake home and no XDG_DATA_HOME unless given
    env -u XDG_DATA_HOME HOME="$home" "$@"
}
userdir=$home/.local/share/trobz3

out=$(launch "$launcher" -h)
status=$?
check "help through the launcher exits 0" test "$status" -eq 0
check "help through the launcher is the game's help" test "$out" = "$(cat "$work/help.txt")"
check "first start makes ~/.local/share/trobz3" test -d "$userdir"
check "the archives are reachable as ./data" test -f "$userdir/data/gfx.zda"
check "./data is a link to the installed archives" \
    test "$(readlink -f "$userdir/data")" = "$(readlink -f "$root/share/trobz3/data")"
check "the sample stage is copied for test mode" cmp -s "$userdir/maps/test.bin" "$build/maps/test.bin"

# a second start changes nothing the player has: a changed test stage stays
echo changed >"$userdir/maps/test.bin"
launch "$launcher" -h >/dev/null
check "a second start keeps the player's test stage" grep -q changed "$userdir/maps/test.bin"

# a link left by an installation elsewhere is pointed at this one
ln -sfn "$work/gone" "$userdir/data"
launch "$launcher" -h >/dev/null
check "a stale ./data link is renewed" test -f "$userdir/data/gfx.zda"

# a real directory in place of the link is the player's own and stays
mkdir -p "$work/own/trobz3/data"
launch env XDG_DATA_HOME="$work/own" "$launcher" -h >/dev/null
check "XDG_DATA_HOME is honoured" test -d "$work/own/trobz3"
check "a real ./data directory is left alone" test ! -L "$work/own/trobz3/data"

launch env XDG_DATA_HOME="relative/dir" "$launcher" -h >/dev/null
check "a relative XDG_DATA_HOME is not used" test ! -e "relative/dir"

# the game started through the launcher finds its data: with the dummy drivers it opens
# the archives and plays the intro, which waits for a key, so it must still be running
# after a few seconds; SIGKILL ends it (the intro does not act on a quit request).
# Without data the same binary stops at once with a message: the check can tell.
started_and_running() { # dir, command...
    dir=$1
    shift
    (cd "$dir" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy exec "$@") \
        >"$work/run.out" 2>"$work/run.err" &
    pid=$!
    sleep 4
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        wait "$pid" 2>/dev/null
        return 0
    fi
    wait "$pid"
    echo "  exited with $? and: $(cat "$work/run.out" "$work/run.err")"
    return 1
}
check "the game started through the launcher runs with its data" \
    started_and_running "$work" env -u XDG_DATA_HOME HOME="$home" "$launcher"
check "... and prints nothing" test ! -s "$work/run.out"
mkdir -p "$work/empty"
if started_and_running "$work/empty" "$game" >/dev/null; then
    fail "the game without data kept running: the running check proves nothing"
else
    check "without data the game says what is missing" grep -q "Error loading gfx file" "$work/run.out"
fi

echo "$passed passed, $failed failed"
test "$failed" -eq 0
