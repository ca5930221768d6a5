#!/bin/sh
# The checks CI runs, one build directory each, beside the source tree:
#   release  build/         the game, tools, tests and benchmarks; the whole test suite
#                           (with the install test and the 200 000-frame soak)
#   asan     build-asan/    the test suite under AddressSanitizer, UndefinedBehaviorSanitizer
#                           and LeakSanitizer
#   tsan     build-tsan/    the audio player tests under ThreadSanitizer
#   m32      build-m32/     the 32-bit x86 build and its test suite
#   fuzz     build-fuzz/    every libFuzzer target for FUZZ_SECONDS (60) from its seed corpus
#   e2e      build/         the real game in a real X window, driven by keys, checked on
#                           screenshots (needs the release build)
# Usage: scripts/ci/checks.sh [check ...]   (no argument: all of them, in this order)
# Every check runs even when an earlier one failed; the exit status is 1 if any failed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
jobs=${JOBS:-$(nproc)}
fuzz_seconds=${FUZZ_SECONDS:-60}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

# configure <dir> <cmake options...>: only when the directory has no build yet, so a
# second run builds incrementally
configure() {
    dir=$1
    shift
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$src" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$dir.configure.log" 2>&1 ||
            { cat "$dir.configure.log"; return 1; }
    fi
}

run_ctest() { # dir [ctest options]
    dir=$1
    shift
    (cd "$dir" && ctest --output-on-failure -j"$jobs" --timeout 900 "$@")
}

check_release() {
    configure "$src/build" || return 1
    cmake --build "$src/build" -j"$jobs" || return 1
    run_ctest "$src/build"
}

check_asan() {
    dir=$src/build-asan
    mkdir -p "$dir"
    configure "$dir" -DTROBZ_SANITIZE=address,undefined -DTROBZ_BENCH=OFF || return 1
    cmake --build "$dir" -j"$jobs" || return 1
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_ctest "$dir"
}

check_tsan() {
    dir=$src/build-tsan
    mkdir -p "$dir"
    configure "$dir" -DTROBZ_SANITIZE=thread -DTROBZ_BENCH=OFF || return 1
    cmake --build "$dir" -j"$jobs" --target test_audio || return 1
    # the player's own tests: the mixer's audio thread against the game's
    (cd "$dir" && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ./test_audio)
}

check_m32() {
    dir=$src/build-m32
    mkdir -p "$dir"
    "$src/scripts/setup-m32.sh" "$dir/i386-dev" || return 1
    configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/i386-linux-gnu.cmake" \
        -DTROBZ_I386_DEV="$dir/i386-dev" -DTROBZ_BENCH=OFF || return 1
    cmake --build "$dir" -j"$jobs" || return 1
    # ELF class 1 (32-bit) and machine 3 (x86)
    if [ "$(od -An -tu1 -j4 -N1 "$dir/trobz3" | tr -d ' ')$(od -An -tu2 -j18 -N2 "$dir/trobz3" | tr -d ' ')" != 13 ]; then
        echo "build-m32/trobz3 is not a 32-bit x86 program"
        return 1
    fi
    run_ctest "$dir"
}

check_fuzz() {
    dir=$src/build-fuzz
    mkdir -p "$dir"
    configure "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTROBZ_FUZZ=ON \
        -DTROBZ_SANITIZE=address,undefined -DTROBZ_TESTS=OFF -DTROBZ_BENCH=OFF || return 1
    targets=""
    for f in "$src"/tests/fuzz/fuzz_*.cpp; do
        targets="$targets $(basename "$f" .cpp)"
    done
    # shellcheck disable=SC2086
    cmake --build "$dir" -j"$jobs" --target $targets || return 1
    failed=0
    for t in $targets; do
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
            echo "$t: $(grep -E '^stat::number_of_executed_units' "$dir/$t.log" | awk '{print $2}') runs in ${fuzz_seconds} s, no finding"
        else
            failed=1
            tail -n 60 "$dir/$t.log"
            echo "$t: FOUND A FAULT; the input is in $artifacts (copy it to tests/corpus/$name/ once fixed)"
        fi
    done
    return $failed
}

check_e2e() {
    [ -x "$src/build/trobz3" ] || check_release_build || return 1
    "$src/tests/e2e/xvfb_test.sh" "$src/build"
}
check_release_build() {
    configure "$src/build" && cmake --build "$src/build" -j"$jobs"
}

all="release asan tsan m32 fuzz e2e"
checks=${*:-$all}
summary=""
failed=0
npassed=0
nfailed=0
for c in $checks; do
    case " $all " in
        *" $c "*) ;;
        *) echo "unknown check: $c (known: $all)" >&2; exit 2 ;;
    esac
    echo "======== $c"
    start=$(date +%s)
    if "check_$c"; then
        result=passed
        npassed=$((npassed + 1))
    else
        result=FAILED
        failed=1
        nfailed=$((nfailed + 1))
    fi
    seconds=$(($(date +%s) - start))
    echo "======== $c: $result in ${seconds} s"
    summary="$summary$(printf '%-8s %-7s %5d s' "$c" "$result" "$seconds")
"
done
echo
echo "Summary"
printf '%s' "$summary"
echo "checks: $npassed passed, $nfailed failed"
exit $failed
