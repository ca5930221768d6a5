#!/bin/sh
# Sets up what the game needs, builds it with all its assets, and starts it.
# Any arguments are passed on to the game (try ./play.sh -h).
set -eu
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
cd build
exec ./trobz3 "$@"
