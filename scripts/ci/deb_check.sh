#!/bin/sh
# The Debian package as a player or a distribution takes it: built with Debian's own tools
# (source and binary, the test suite run on the way) from a clean clone of the committed
# tree, which must stay clean; lintian with no error and no warning; installed into this
# machine with apt, which must bring the game's libraries by itself; the installed game's
# smoke test (debian/tests/smoke) run as an ordinary user; removed again, leaving the
# player's files. Installs what it needs first (scripts/deb-packages.txt and the build
# dependencies). Needs root (or sudo) for apt. Exits non-zero on the first failure.
# Usage: scripts/ci/deb_check.sh        (KEEP=dir keeps the package files there;
#        DEB_BUILD_OPTIONS=nocheck builds the package without building and running its tests,
#        as the gate does: its release check has just run the whole suite on the same tree)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
jobs=${JOBS:-2}
export DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
apt() { $sudo apt-get -o DPkg::Lock::Timeout=600 "$@"; } # waits while another apt runs
started=$(date +%s)
step() { echo "---- $* ($(($(date +%s) - started)) s)"; }
die() {
    echo "FAIL: $*"
    exit 1
}

# Always the same directory, so that ccache knows the compiler runs of the last time.
work=${TMPDIR:-/tmp}/trobz3-deb
exec 9>"$work.lock"
flock -n 9 || die "another deb_check uses $work"
rm -rf "$work"
mkdir -p "$work"
chmod 755 "$work" # the smoke test's user reads the clone
if dpkg-query -W -f='${Status}' trobz3 2>/dev/null | grep -q "install ok installed"; then
    die "trobz3 is installed on this machine already; this check would remove it"
fi
installed=""
cleanup() {
    [ -n "$installed" ] && apt remove -y -qq trobz3 >/dev/null 2>&1
    [ -n "${KEEP:-}" ] && mkdir -p "$KEEP" && cp "$work"/trobz3*_* "$work"/*.log "$KEEP"/ 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# lintian and the smoke test run as an ordinary user, as they would for a player, from a
# directory of their own: the source tree may sit where that user cannot enter
player=nobody
scratch=$work/scratch
mkdir -p "$scratch"
if [ "$(id -u)" -eq 0 ]; then
    chown "$player" "$scratch"
    as_player() { runuser -u "$player" -- "$@"; }
else
    as_player() { "$@"; }
fi

step "a clean clone of $(git -C "$src" rev-parse --short HEAD)"
tree=$work/trobz3
git clone --quiet --no-checkout "$src" "$tree"
git -C "$tree" checkout --quiet --detach "$(git -C "$src" rev-parse HEAD)"

step "what the build, lintian and the smoke test need"
missing=""
for pkg in $(grep -v '^[[:space:]]*#' "$src/scripts/deb-packages.txt"); do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $pkg"
done
if [ -n "$missing" ] || ! (cd "$tree" && dpkg-checkbuilddeps >/dev/null 2>&1); then
    echo "installing:$missing and the missing build dependencies"
    apt update -qq
    # shellcheck disable=SC2086
    [ -z "$missing" ] || apt install -y -qq --no-install-recommends $missing
    apt build-dep -y -qq "$tree"
fi

step "dpkg-buildpackage (source and binary, DEB_BUILD_OPTIONS=${DEB_BUILD_OPTIONS:-})"
# debhelper gives the build a home of its own, which would hide ccache's cache and settings
if command -v ccache >/dev/null; then
    CCACHE_DIR=$(ccache -k cache_dir) CCACHE_BASEDIR=$work CCACHE_NOHASHDIR=1
    export CCACHE_DIR CCACHE_BASEDIR CCACHE_NOHASHDIR
fi
if ! (cd "$tree" && dpkg-buildpackage -us -uc -j"$jobs") >"$work/build.log" 2>&1; then
    tail -n 80 "$work/build.log"
    die "dpkg-buildpackage failed (the whole log: $work/build.log, kept with KEEP)"
fi
grep -E '^(100% tests passed|[0-9]+% tests passed)|tests failed out of' "$work/build.log" || true
changes=$(ls "$work"/trobz3_*.changes)
deb=$(ls "$work"/trobz3_*_"$(dpkg --print-architecture)".deb)
dirty=$(git -C "$tree" status --porcelain --ignored=no)
[ -z "$dirty" ] || die "the package build left the tree changed: $dirty"

step "lintian $(basename "$changes")"
(cd "$scratch" && as_player env TMPDIR="$scratch" lintian --fail-on error,warning --display-info --pedantic "$changes") ||
    die "lintian found errors or warnings"

# The libraries come from dh_shlibdeps; none of them is listed by hand.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libsdl1.2debian libsdl-mixer1.2 libmodplug1 zlib1g; do
    case " $depends," in
        *" $lib "* | *" $lib,"*) ;;
        *) die "the package does not depend on $lib" ;;
    esac
done

step "apt-get install $(basename "$deb")"
apt install -y -qq "$deb" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; die "apt-get install failed"; }
installed=yes

step "the smoke test of the installed game, as an ordinary user"
(cd "$tree" && as_player env AUTOPKGTEST_TMP="$scratch" debian/tests/smoke) ||
    die "the smoke test failed"
# a player's directory, to be left alone by the removal
(cd "$scratch" && as_player env -u XDG_DATA_HOME HOME="$scratch" /usr/games/trobz3 -h >/dev/null) ||
    die "trobz3 -h failed"

step "apt-get remove trobz3"
apt remove -y -qq trobz3 >"$work/remove.log" 2>&1 ||
    { cat "$work/remove.log"; die "apt-get remove failed"; }
installed=""
if [ -e /usr/games/trobz3 ] || [ -e /usr/share/trobz3 ]; then
    die "files of trobz3 are left after removal"
fi
if [ ! -L "$scratch/.local/share/trobz3/data" ] || [ ! -f "$scratch/.local/share/trobz3/maps/test.bin" ]; then
    die "the removal touched the player's directory"
fi

step "passed"
