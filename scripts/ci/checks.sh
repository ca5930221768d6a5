#!/bin/sh
# The checks, one build directory each, beside the source tree. Every build has -Werror.
#   everyday build/         what ./test.sh runs: the suite but its slow tests
#                           (`ctest -LE slow`), built without benchmarks or fuzzing
# and the gate (./test.sh all), in this order:
#   format   (none)         every C++ source as .clang-format lays it out
#   release  build/         the game, tools, tests and benchmarks; the whole test suite
#                           (with the install test and the 200 000-frame soak)
#   asan     build-asan/    the test suite under AddressSanitizer, UndefinedBehaviorSanitizer
#                           and LeakSanitizer
#   tsan     build-tsan/    the audio player tests under ThreadSanitizer
#   m32      build-m32/     the 32-bit x86 build and its test suite
#   fuzz     build-fuzz/    every libFuzzer target for FUZZ_SECONDS (15) from its seed
#                           corpus, two at a time
#   e2e      build/         the real game in a real X window, driven by keys, checked on
#                           screenshots
#   deb      (its own)      the Debian package built, checked, installed and removed
#                           (scripts/ci/deb_check.sh)
# The sanitizer and 32-bit builds copy the archives, images and test map that build/ made
# instead of making them again with their instrumented tools.
# Usage: scripts/ci/checks.sh [check ...]   (no argument: the gate, all but everyday)
# Every check runs even when an earlier one failed; the exit status is 1 if any failed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
jobs=${JOBS:-2}
fuzz_seconds=${FUZZ_SECONDS:-15}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# configure <dir> <cmake options...>: every time, so that an option changed here reaches a
# build made earlier (by ./play.sh, say); with nothing changed it is quick
configure() {
    dir=$1
    shift
    mkdir -p "$dir"
    cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTROBZ_WERROR=ON "$@" \
        >"$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; return 1; }
}

build() { # dir [targets...]
    dir=$1
    shift
    if [ $# -gt 0 ]; then
        cmake --build "$dir" -j"$jobs" --target "$@"
    else
        cmake --build "$dir" -j"$jobs"
    fi
}

run_ctest() { # dir [ctest options]
    dir=$1
    shift
    (cd "$dir" && ctest --output-on-failure -j"$jobs" --timeout 900 "$@")
}

# The assets of the release build, which the other builds copy: the archives, the test map
# and the demonstration stage.
release_assets() {
    configure "$src/build" && build "$src/build" assets stage-testmap demo_stage
}

check_everyday() {
    configure "$src/build" || return 1
    build "$src/build" suite || return 1
    run_ctest "$src/build" -LE slow
}

check_release() {
    configure "$src/build" || return 1
    build "$src/build" || return 1
    run_ctest "$src/build"
}

check_asan() {
    release_assets || return 1
    dir=$src/build-asan
    configure "$dir" -DTROBZ_SANITIZE=address,undefined -DTROBZ_BENCH=OFF \
        -DTROBZ_ASSETS_FROM="$src/build" || return 1
    build "$dir" suite || return 1
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_ctest "$dir"
}

check_tsan() {
    release_assets || return 1
    dir=$src/build-tsan
    configure "$dir" -DTROBZ_SANITIZE=thread -DTROBZ_BENCH=OFF \
        -DTROBZ_ASSETS_FROM="$src/build" || return 1
    build "$dir" test_audio || return 1
    # the player's own tests: the mixer's audio thread against the game's
    (cd "$dir" && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ./test_audio)
}

check_m32() {
    release_assets || return 1
    dir=$src/build-m32
    mkdir -p "$dir"
    "$src/scripts/setup-m32.sh" "$dir/i386-dev" || return 1
    configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/i386-linux-gnu.cmake" \
        -DTROBZ_I386_DEV="$dir/i386-dev" -DTROBZ_BENCH=OFF -DTROBZ_ASSETS_FROM="$src/build" \
        -DTROBZ_DEBUG_LEVEL=0 || return 1
    build "$dir" suite || return 1
    # ELF class 1 (32-bit) and machine 3 (x86)
    if [ "$(od -An -tu1 -j4 -N1 "$dir/trobz3" | tr -d ' ')$(od -An -tu2 -j18 -N2 "$dir/trobz3" | tr -d ' ')" != 13 ]; then
        echo "build-m32/trobz3 is not a 32-bit x86 program"
        return 1
    fi
    # Some kernels are built without 32-bit x86 support: the shell's 126 is "cannot execute"
    "$dir/trobz3" -h >/dev/null 2>&1
    if [ $? -eq 126 ]; then
        echo "m32: this kernel cannot run 32-bit x86 programs ($(uname -r)):" \
            "the 32-bit game, tools and tests were built and linked, none was run"
        not_run=1
        return 0
    fi
    run_ctest "$dir"
}

# fuzz_one <dir> <target>: fuzzes for fuzz_seconds; what it has to say goes to
# <dir>/<target>.report, for printing in order once the pair it ran in is done
fuzz_one() {
    dir=$1
    t=$2
    name=${t#fuzz_}
    corpus=$dir/corpus/$name
    artifacts=$dir/artifacts/$name
    rm -rf "$corpus" "$artifacts"
    mkdir -p "$corpus" "$artifacts"
    # new inputs go to a scratch corpus; the seeds in tests/corpus stay as they are
    if (cd "$dir" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "./$t" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" "$src/tests/corpus/$name" \
        >"$dir/$t.log" 2>&1); then
        echo "$t: $(grep -E '^stat::number_of_executed_units' "$dir/$t.log" | awk '{print $2}') runs in ${fuzz_seconds} s, no finding" >"$dir/$t.report"
        return 0
    fi
    {
        tail -n 60 "$dir/$t.log"
        echo "$t: FOUND A FAULT; the input is in $artifacts (copy it to tests/corpus/$name/ once fixed)"
    } >"$dir/$t.report"
    return 1
}

check_fuzz() {
    dir=$src/build-fuzz
    configure "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTROBZ_FUZZ=ON \
        -DTROBZ_SANITIZE=address,undefined -DTROBZ_TESTS=OFF -DTROBZ_BENCH=OFF || return 1
    targets=""
    for f in "$src"/tests/fuzz/fuzz_*.cpp; do
        targets="$targets $(basename "$f" .cpp)"
    done
    # shellcheck disable=SC2086
    build "$dir" $targets || return 1
    # two at a time, one on each core
    failed=0
    # shellcheck disable=SC2086
    set -- $targets
    while [ $# -gt 0 ]; do
        first=$1
        second=${2:-}
        shift
        [ -n "$second" ] && shift
        fuzz_one "$dir" "$first" &
        pid1=$!
        pid2=""
        if [ -n "$second" ]; then
            fuzz_one "$dir" "$second" &
            pid2=$!
        fi
        wait "$pid1" || failed=1
        [ -z "$pid2" ] || wait "$pid2" || failed=1
        cat "$dir/$first.report"
        [ -z "$second" ] || cat "$dir/$second.report"
    done
    return "$failed"
}

check_e2e() {
    configure "$src/build" || return 1
    build "$src/build" trobz3 e2e_look assets stage-testmap || return 1
    "$src/tests/e2e/xvfb_test.sh" "$src/build"
}

check_deb() {
    script=$src/scripts/ci/deb_check.sh
    if [ ! -x "$script" ]; then
        echo "deb: $script is missing or not executable; the Debian package is not checked"
        return 1
    fi
    # The release check has run the whole suite on this very tree, so the package is built
    # without its tests (they would add the compiling of every test program, minutes on a
    # clean machine); `scripts/ci/deb_check.sh` alone builds it with them.
    DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}" "$script"
}

# The C++ sources follow .clang-format (clang-format -i on a file puts it right).
check_format() {
    (cd "$src" && git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror)
}

gate="format release asan tsan m32 fuzz e2e deb"
known="everyday $gate"
checks=${*:-$gate}
for c in $checks; do
    case " $known " in
        *" $c "*) ;;
        *) echo "unknown check: $c (known: $known)" >&2; exit 2 ;;
    esac
done
# CPU seconds (user and system) of every program this script has started so far, as the
# shell's `times` wrote them to $cpu_file (in this shell: a subshell would know of none): on
# a shared machine a fairer figure than the seconds on the clock
cpu_seconds() {
    awk 'NR == 2 { t = 0; for (i = 1; i <= 2; i++) { split($i, p, "m"); t += p[1] * 60 + p[2] } printf "%d", t }' "$cpu_file"
}
cpu_file=$(mktemp)
trap 'rm -f "$cpu_file"' EXIT
summary=""
failed=0
npassed=0
nfailed=0
for c in $checks; do
    echo "======== $c"
    start=$(date +%s)
    times >"$cpu_file"
    cpu_start=$(cpu_seconds)
    not_run=0 # a check that could only build sets it
    if "check_$c"; then
        result=passed
        [ "$not_run" = 0 ] || result=built
        npassed=$((npassed + 1))
    else
        result=FAILED
        failed=1
        nfailed=$((nfailed + 1))
    fi
    seconds=$(($(date +%s) - start))
    times >"$cpu_file"
    cpu=$(($(cpu_seconds) - cpu_start))
    echo "======== $c: $result in ${seconds} s (${cpu} s of CPU)"
    summary="$summary$(printf '%-8s %-7s %5d s %6d s of CPU' "$c" "$result" "$seconds" "$cpu")
"
done
if [ "$checks" != everyday ]; then
    echo
    echo "Summary (load average now $(cut -d' ' -f1-3 /proc/loadavg))"
    printf '%s' "$summary"
    echo "checks: $npassed passed, $nfailed failed"
fi
exit $failed
