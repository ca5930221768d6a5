#!/bin/sh
# Sets up what the game needs, then tests it.
#   ./test.sh            the everyday run: an incremental build of the game, its tools and
#                        tests (no benchmarks, no fuzzing build), then every test but the
#                        slow ones (ctest -LE slow) in build/
#   ./test.sh all        the gate CI runs: release (the whole suite with the install test
#                        and the soak, benchmarks built), asan, tsan, m32, fuzz, e2e and deb,
#                        each in its own build directory; fails if any fails
#   ./test.sh CHECK...   those checks alone, e.g. ./test.sh asan (see scripts/ci/checks.sh)
set -eu
cd "$(dirname "$0")"
scripts/setup.sh
case "${1:-}" in
    "") exec scripts/ci/checks.sh everyday ;;
    all) exec scripts/ci/checks.sh ;;
    *) exec scripts/ci/checks.sh "$@" ;;
esac
