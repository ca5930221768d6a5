#!/bin/sh
# Sets up what the game needs, builds the game, its four archives and the sample stage of
# test mode (and the tools that make them; no tests, no benchmarks), and starts it.
# Any arguments are passed on to the game (try ./play.sh -h).
set -eu
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-$(nproc)}" --target game
cd build
exec ./trobz3 "$@"
