#!/bin/sh
# Sets up what the game needs, then builds and runs every check CI runs, each in its own
# build directory: the whole test suite (with the install test and a 200 000-frame soak),
# the suite under AddressSanitizer and UndefinedBehaviorSanitizer, the audio player under
# ThreadSanitizer, the 32-bit x86 build and its suite, every fuzz target for a minute, and
# the installed game played in an X window. Fails if any of them fails.
# A single check: ./test.sh release|asan|tsan|m32|fuzz|e2e (see scripts/ci/checks.sh).
set -eu
cd "$(dirname "$0")"
scripts/setup.sh
exec scripts/ci/checks.sh "$@"
