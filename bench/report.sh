#!/bin/sh
# Measures the game and writes a short report in Markdown:
#   - each 2x scaler against a memcpy of the same output (bench_scalers),
#   - one busy stage frame against the 16.7 ms a frame may take (bench_stage), in time and
#     in instructions counted by callgrind,
#   - the music player's buffer against the audio period (bench_audio),
#   - start-up time to the first presented frame (the real game, dummy drivers),
#   - peak memory of a whole game run (/usr/bin/time -v of the real game in an X window:
#     intro, title, a new game with its story, stage 1 played for a while, quit).
# Usage: bench/report.sh [build dir (build)] [report file (docs/performance.md)]
# The build should be RelWithDebInfo or Release with the benchmarks (TROBZ_BENCH=ON).
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
report=${2:-$src/docs/performance.md}
for b in bench_scalers bench_stage bench_audio trobz3 e2e_look; do
    [ -x "$build/$b" ] || { echo "$build/$b is missing: build the game with its benchmarks" >&2; exit 1; }
done
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
work=$(mktemp -d "${TMPDIR:-/tmp}/trobz3-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
note() { echo "== $*" >&2; }

# ---- scalers
note "scalers"
"$build/bench_scalers" --benchmark_color=false --benchmark_min_time=0.5 >"$work/scalers.txt" 2>/dev/null
scaler_table=$(sed -n '/^scaler /,$p' "$work/scalers.txt")

# ---- one stage frame: time and instructions
note "stage frame"
"$build/bench_stage" --benchmark_color=false --benchmark_filter=BM_StageFrame \
    --benchmark_format=console >"$work/stage.txt" 2>/dev/null
frame_line=$(grep '^BM_StageFrame' "$work/stage.txt" | head -n 1)
# a counter of that line as a plain number (Google Benchmark writes 1.5k, 2.3m, ...)
counter() {
    echo "$frame_line" | tr ' ' '\n' | sed -n "s/^$1=//p" | awk '{
        v = $1; f = 1; u = substr(v, length(v), 1)
        if (u == "k") f = 1e3; else if (u == "M") f = 1e6; else if (u == "m") f = 1e-3; else if (u == "u") f = 1e-6
        if (f != 1) v = substr(v, 1, length(v) - 1)
        printf "%.6g", v * f }'
}
median_ms=$(counter median_ns | awk '{ printf "%.3f", $1 / 1e6 }')
p99_ms=$(counter p99_ns | awk '{ printf "%.3f", $1 / 1e6 }')
median_pct=$(counter median_pct | awk '{ printf "%.2f", $1 }')
p99_pct=$(counter p99_pct | awk '{ printf "%.2f", $1 }')
frames=300
instr="(valgrind missing)"
if command -v valgrind >/dev/null; then
    note "stage frame under callgrind"
    (cd "$work" && valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" \
        --toggle-collect='*measuredFrames*' "$build/bench_stage" --frames=$frames \
        >/dev/null 2>"$work/cg.log")
    total=$(sed -n 's/^summary: *//p;s/^totals: *//p' "$work/cg.out" | head -n 1 | cut -d' ' -f1)
    [ -n "$total" ] && instr=$((total / frames))
fi

# ---- the audio callback
note "audio"
"$build/bench_audio" --benchmark_color=false --benchmark_min_time=0.5 >"$work/audio.txt" 2>/dev/null
audio_rows=$(grep '^BM_' "$work/audio.txt" | awk '{
    pct = ""; for (i = 1; i <= NF; i++) if ($i ~ /^percent_of_period=/) { split($i, a, "="); pct = a[2] }
    printf "| %s | %s %s | %s %s | %.2f %% |\n", $1, $2, $3, $4, $5, pct }')

# ---- start-up to the first presented frame
note "start-up"
cc -O2 -shared -fPIC $(pkg-config --cflags sdl) -o "$work/firstflip.so" "$src/bench/firstflip.c" -ldl
mkdir -p "$work/game"
ln -s "$build/data" "$work/game/data"
startup() { # mode options: prints the median of 7 starts in ms
    for i in 1 2 3 4 5 6 7; do
        t0=$(date +%s%N)
        (cd "$work/game" && LD_PRELOAD="$work/firstflip.so" "$build/trobz3" "$@" >/dev/null 2>&1)
        t1=$(date +%s%N)
        echo $(((t1 - t0) / 100000))
    done | sort -n | sed -n 4p | awk '{ printf "%.1f", $1 / 10 }'
}
startup_1x=$(startup -w)
startup_2x=$(startup -x2)

# ---- peak memory of a whole game run in an X window
note "a whole game under /usr/bin/time -v"
peak="(not measured)"
if command -v Xvfb >/dev/null && [ -x /usr/bin/time ]; then
    look="$build/e2e_look --data $build/data --bpp 16 --window x2"
    . "$src/tests/e2e/xsession.sh"
    trap 'stop_all; rm -rf "$work"' EXIT
    start_display
    cd "$work/game" || exit 1
    unset SDL_VIDEODRIVER
    if start_game run /usr/bin/time -v -o "$work/time.txt" "$build/trobz3" -x2 >/dev/null; then
        see 20 "the warning page" page warning x2 >/dev/null && key space
        see 5 "the credits page" page credits x2 >/dev/null && key space
        see 10 "the title" image logo 160 64 >/dev/null && key Return
        see 5 "the menu" text big 104 "NEW GAME" >/dev/null && key Return
        for page in storya storyb storyc; do
            see 10 "a story page" image $page 160 100 >/dev/null && key space
        done
        see 10 "stage 1" block 16 128 2 "24,65,68" >/dev/null
        for i in 1 2 3 4 5 6; do # run and jump about for a while
            xdotool keydown Right
            sleep 1
            key space
            sleep 1
            xdotool keyup Right
        done
        key Escape
        sleep 0.5
        key Left
        sleep 2
        kill -0 "$game_pid" 2>/dev/null && key Escape
        wait "$game_pid"
        game_pid=""
        kb=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$work/time.txt")
        [ -n "$kb" ] && peak="$kb kB ($((kb / 1024)) MB)"
    fi
    stop_all
    cd "$src" || exit 1
fi

# ---- the report
cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
cat >"$report" <<EOF
# Performance figures

Measured by \`bench/report.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC').
Machine: $cpu, $(nproc) cores, $(awk '/MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo) of memory,
$(. /etc/os-release && echo "$PRETTY_NAME"), Linux $(uname -r), $(c++ --version | head -n 1),
build type $(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt"), load average
$(cut -d' ' -f1-3 /proc/loadavg) when the report began (the machine is shared: wall times
vary by run, the instruction counts do not).

## Scalers: 320x240 into 640x480, per frame, against memcpy of the output

CPU time per frame on three pictures (flat colour, stage-like tiles, noise) and as a
multiple of a plain memcpy of the 640x480 output; scale2x-portable is the path without SSE2.

\`\`\`
$scaler_table
\`\`\`

## One stage frame against the 16.7 ms budget

A busy frame (32 monsters, 16 animations, 64 platforms, the view scrolling), updated and
drawn into the 320x240 picture, not presented; each frame timed on the wall clock:

| | time | share of 16.7 ms |
|---|---|---|
| median | $median_ms ms | $median_pct % |
| 99th percentile | $p99_ms ms | $p99_pct % |

Instructions per frame (callgrind, $frames frames): **$instr**.

## Music player: one 1024-frame buffer against its 46.4 ms period

| track | wall time | CPU time | share of the period |
|---|---|---|---|
$audio_rows

## Start-up

Time from starting the program to its first presented frame (median of 7 starts, dummy
video and audio drivers, archives in ./data):

| window | time |
|---|---|
| 320x240 (-w) | $startup_1x ms |
| 640x480 (-x2) | $startup_2x ms |

## Memory

Peak resident memory of a whole game run in an X window (intro, title, a new game with its
story pages, stage 1 played for about 12 seconds, quit), from \`/usr/bin/time -v\`:
**$peak**.

The soak test (\`tests/release/soak_test.cpp\`) checks that the heap in use does not grow
over 200 000 frames of the title and stage 1.
EOF
echo "wrote $report"
