#!/bin/sh
# Makes this 64-bit Debian machine able to build and test the game for 32-bit x86.
# Usage: scripts/setup-m32.sh <dir>
#
# Debian's multiarch gives us the i386 libraries next to the amd64 ones (dpkg architecture
# i386 and the :i386 packages), and g++-multilib compiles with -m32. One package does not
# co-install: libsdl1.2-dev is not "Multi-Arch: same" (and libsdl-mixer1.2-dev:i386 needs
# it), so its i386 build cannot sit next to the amd64 one that the normal build uses. Its
# i386 .deb files are instead downloaded from the Debian mirror and unpacked into <dir>:
# headers and pkg-config files from there, the libraries they link from the installed
# runtime packages libsdl1.2debian:i386 and libsdl-mixer1.2:i386.
# Safe to run any number of times: what is already there is kept.
set -eu
dev=${1:?usage: setup-m32.sh <dir>}

# i386 packages that co-install with their amd64 twins, and the 32-bit compiler
packages="g++-multilib libsdl1.2debian:i386 libsdl-mixer1.2:i386 libmodplug-dev:i386
zlib1g-dev:i386 libgtest-dev:i386"
dev_debs="libsdl1.2-dev:i386 libsdl-mixer1.2-dev:i386"

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "Adding the i386 architecture to dpkg"
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
fi

missing=""
for p in $packages; do
    case "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)" in
        *"install ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    # a fresh i386 architecture needs its package lists
    apt-cache show libsdl1.2debian:i386 >/dev/null 2>&1 || $sudo apt-get update -qq
    # shellcheck disable=SC2086
    $sudo apt-get install -y -qq --no-install-recommends $missing
fi

# the SDL development files for i386, unpacked beside the build
stamp=$dev/.unpacked
if [ ! -f "$stamp" ]; then
    rm -rf "$dev"
    mkdir -p "$dev/debs"
    apt-cache show libsdl1.2-dev:i386 >/dev/null 2>&1 || $sudo apt-get update -qq
    # apt's download user may not write here; the files are plain archives either way
    # shellcheck disable=SC2086
    (cd "$dev/debs" && apt-get download $dev_debs 2>&1 | grep -v '^W: Download is performed unsandboxed' || true)
    for deb in "$dev"/debs/*.deb; do
        [ -f "$deb" ] || { echo "setup-m32: could not download $dev_debs" >&2; exit 1; }
        dpkg-deb -x "$deb" "$dev"
    done
    lib=$dev/usr/lib/i386-linux-gnu
    # point the pkg-config files at this directory ...
    sed -i "s|^prefix=.*|prefix=$dev/usr|" "$lib/pkgconfig/sdl.pc" "$lib/pkgconfig/SDL_mixer.pc"
    # ... and the link-time names at the installed i386 runtime libraries
    ln -sfn /usr/lib/i386-linux-gnu/libSDL-1.2.so.0 "$lib/libSDL.so"
    ln -sfn /usr/lib/i386-linux-gnu/libSDL_mixer-1.2.so.0 "$lib/libSDL_mixer.so"
    rm -f "$lib/libSDL.a" "$lib/libSDLmain.a" "$lib/libSDL_mixer.a"
    touch "$stamp"
fi
