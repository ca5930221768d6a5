#!/bin/sh
# Measures the game and writes a short report in Markdown:
#   - each 2x scaler against a memcpy of the same output (bench_scalers): instructions per
#     frame counted by callgrind, and CPU time per frame,
#   - one busy stage frame against the 16.7 ms a frame may take (bench_stage), in time and
#     in instructions counted by callgrind,
#   - the music player's buffer against the audio period (bench_audio),
#   - start-up time to the first presented frame (the real game, dummy drivers),
#   - peak memory of a whole game run (/usr/bin/time -v of the real game in an X window:
#     intro, title, a new game with its story, stage 1 played for a while, quit).
# Times on a shared machine vary by up to 2x from one run to the next, so every timed figure
# is taken BENCH_RUNS times (default 5) and reported as the median with the smallest and
# largest value; instruction counts do not depend on the load and are taken once.
#
# Usage: bench/report.sh [build dir (build)] [report file (docs/performance.md)]
#        BENCH_RUNS=7 bench/report.sh   more runs of every timed figure
# The build should be RelWithDebInfo or Release with the benchmarks (TROBZ_BENCH=ON).
set -u
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
report=${2:-$src/docs/performance.md}
runs=${BENCH_RUNS:-5}
starts=7
case $runs in '' | *[!0-9]*) echo "BENCH_RUNS must be a whole number" >&2; exit 2 ;; esac
[ "$runs" -ge 5 ] || { echo "BENCH_RUNS must be 5 or more" >&2; exit 2; }
for b in bench_scalers bench_stage bench_audio trobz3 e2e_look; do
    [ -x "$build/$b" ] || { echo "$build/$b is missing: build the game with its benchmarks" >&2; exit 1; }
done
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
work=$(mktemp -d "${TMPDIR:-/tmp}/trobz3-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
note() { echo "== $*" >&2; }
load() { cut -d' ' -f1 /proc/loadavg; }

# The median of the numbers on standard input and their range, each with the printf format
# $1: "median (smallest–largest)".
spread() {
    sort -g | awk -v f="$1" '{ v[NR] = $1 } END {
        if (NR == 0) { printf "-"; exit }
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf f " (" f "–" f ")", m, v[1], v[NR] }'
}

# A counter of a Google Benchmark console line as a plain number (it writes 1.5k, 2.3M ...).
counter() { # name line
    echo "$2" | tr ' ' '\n' | sed -n "s/^$1=//p" | awk '{
        v = $1; f = 1; u = substr(v, length(v), 1)
        if (u == "k") f = 1e3; else if (u == "M") f = 1e6; else if (u == "m") f = 1e-3; else if (u == "u") f = 1e-6
        if (f != 1) v = substr(v, 1, length(v) - 1)
        printf "%.6g\n", v * f }'
}

# A whole number with its digits in groups of three: 1 234 567.
group() {
    awk '{ s = sprintf("%d", $1); out = ""
        while (length(s) > 3) { out = " " substr(s, length(s) - 2) out; s = substr(s, 1, length(s) - 3) }
        print s out }'
}

# Instructions of a whole run under callgrind; prints nothing when valgrind fails.
instructions() { # program arguments...
    (cd "$work" && valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" "$@" \
        >/dev/null 2>"$work/cg.log") || return 0
    sed -n 's/^summary: *//p;s/^totals: *//p' "$work/cg.out" | head -n 1 | cut -d' ' -f1
}
have_valgrind=0
command -v valgrind >/dev/null && have_valgrind=1

scalers="memcpy zoom2 scale2x scale2x-portable antialias"
pictures="flat stage noise"

# ---- scalers: instructions per frame (the difference between a run of 12 frames and one of
# 4, so that start-up and the painting of the picture drop out)
load_count=$(load)
: >"$work/counts.txt"
if [ $have_valgrind = 1 ]; then
    note "scalers under callgrind"
    for bpp in 16 24; do
        for pic in $pictures; do
            for s in $scalers; do
                a=$(instructions "$build/bench_scalers" --frames=4 "$s" "$bpp" "$pic")
                b=$(instructions "$build/bench_scalers" --frames=12 "$s" "$bpp" "$pic")
                [ -n "$a" ] && [ -n "$b" ] && echo "$s $bpp $pic $(((b - a) / 8))" >>"$work/counts.txt"
            done
        done
    done
fi
count_of() { awk -v s="$1" -v b="$2" -v p="$3" '$1 == s && $2 == b && $3 == p { print $4 }' "$work/counts.txt"; }

# ---- scalers: CPU time per frame, $runs runs of the whole benchmark
load_scalers=$(load)
r=1
while [ $r -le "$runs" ]; do
    note "scalers, timed run $r of $runs"
    "$build/bench_scalers" --benchmark_color=false --benchmark_min_time=0.2 2>/dev/null |
        sed -n '/^scaler /,$p' >"$work/scalers.$r.txt"
    r=$((r + 1))
done
times_of() { # column scaler bpp picture: that column of every timed run
    cat "$work"/scalers.*.txt | awk -v c="$1" -v s="$2" -v b="$3" -v p="$4" \
        '$1 == s && $2 == b && $3 == p { print $c }'
}

scaler_rows=$(for bpp in 16 24; do
    for pic in $pictures; do
        floor=$(count_of zoom2 "$bpp" "$pic")
        for s in $scalers; do
            n=$(count_of "$s" "$bpp" "$pic")
            if [ -n "$n" ] && [ -n "$floor" ] && [ "$floor" -gt 0 ]; then
                per_pixel=$(awk -v a="$n" 'BEGIN { printf "%.2f", a / (640 * 480) }')
                per_zoom=$(awk -v a="$n" -v b="$floor" 'BEGIN { printf "%.2f", a / b }')
                counts="$(echo "$n" | group) | $per_pixel | $per_zoom"
            else
                counts="- | - | -"
            fi
            us=$(times_of 4 "$s" "$bpp" "$pic" | awk '{ print $1 / 1000 }' | spread "%.1f")
            x=$(times_of 5 "$s" "$bpp" "$pic" | spread "%.2f")
            echo "| $s | $bpp | $pic | $counts | $us | $x |"
        done
    done
done)

# Scale2X on noise against the same scaler on stage-like tiles.
noise_rows=$(for bpp in 16 24; do
    for s in scale2x scale2x-portable; do
        n=$(count_of "$s" "$bpp" noise)
        t=$(count_of "$s" "$bpp" stage)
        counted=-
        [ -n "$n" ] && [ -n "$t" ] && counted=$(awk -v a="$n" -v b="$t" 'BEGIN { printf "%.2f", a / b }')
        timed=$(cat "$work"/scalers.*.txt | sed -n "s/^$s at $bpp bits: noise \/ stage = //p" | spread "%.2f")
        echo "| $s | $bpp | $counted | $timed |"
    done
done)

# ---- one stage frame: $runs timed runs, then instructions
load_stage=$(load)
: >"$work/stage.txt"
r=1
while [ $r -le "$runs" ]; do
    note "stage frame, timed run $r of $runs"
    "$build/bench_stage" --benchmark_color=false --benchmark_filter=BM_StageFrame \
        --benchmark_format=console 2>/dev/null | grep '^BM_StageFrame' | head -n 1 >>"$work/stage.txt"
    r=$((r + 1))
done
stage_figure() { # counter scale format
    while read -r line; do counter "$1" "$line"; done <"$work/stage.txt" |
        awk -v k="$2" '{ print $1 * k }' | spread "$3"
}
median_ms=$(stage_figure median_ns 1e-6 "%.3f")
p99_ms=$(stage_figure p99_ns 1e-6 "%.3f")
median_pct=$(stage_figure median_pct 1 "%.2f")
p99_pct=$(stage_figure p99_pct 1 "%.2f")
frames=300
instr="(valgrind missing)"
if [ $have_valgrind = 1 ]; then
    note "stage frame under callgrind"
    (cd "$work" && valgrind --tool=callgrind --callgrind-out-file="$work/cg.out" \
        --toggle-collect='*measuredFrames*' "$build/bench_stage" --frames=$frames \
        >/dev/null 2>"$work/cg.log")
    total=$(sed -n 's/^summary: *//p;s/^totals: *//p' "$work/cg.out" | head -n 1 | cut -d' ' -f1)
    [ -n "$total" ] && instr=$(echo $((total / frames)) | group)
fi

# ---- the audio callback: $runs timed runs
load_audio=$(load)
r=1
while [ $r -le "$runs" ]; do
    note "audio, timed run $r of $runs"
    "$build/bench_audio" --benchmark_color=false --benchmark_min_time=0.3 2>/dev/null |
        grep '^BM_' >"$work/audio.$r.txt"
    r=$((r + 1))
done
audio_rows=$(for track in $(awk '{ print $1 }' "$work/audio.1.txt"); do
    # wall time per buffer in microseconds, whatever unit Google Benchmark chose
    wall=$(cat "$work"/audio.*.txt | awk -v t="$track" '$1 == t {
        f = $3 == "ns" ? 1e-3 : $3 == "ms" ? 1e3 : $3 == "s" ? 1e6 : 1; print $2 * f }' | spread "%.1f")
    pct=$(cat "$work"/audio.*.txt | grep "^$track " | while read -r line; do
        counter percent_of_period "$line"; done | spread "%.3f")
    echo "| $track | $wall µs | $pct % |"
done)

# ---- start-up to the first presented frame
note "start-up"
load_startup=$(load)
cc -O2 -shared -fPIC $(pkg-config --cflags sdl) -o "$work/firstflip.so" "$src/bench/firstflip.c" -ldl
mkdir -p "$work/game"
ln -s "$build/data" "$work/game/data"
startup() { # mode options: "median (min–max)" of $starts starts in ms
    i=1
    while [ $i -le $starts ]; do
        t0=$(date +%s%N)
        (cd "$work/game" && LD_PRELOAD="$work/firstflip.so" "$build/trobz3" "$@" >/dev/null 2>&1)
        t1=$(date +%s%N)
        echo $(((t1 - t0) / 100000)) | awk '{ print $1 / 10 }'
        i=$((i + 1))
    done | spread "%.1f"
}
startup_1x=$(startup -w)
startup_2x=$(startup -x2)

# ---- peak memory of a whole game run in an X window
note "a whole game under /usr/bin/time -v"
load_memory=$(load)
peak="(not measured)"
if command -v Xvfb >/dev/null && [ -x /usr/bin/time ]; then
    look="$build/e2e_look --data $build/data --bpp 16 --window x2"
    . "$src/tests/e2e/xsession.sh"
    trap 'stop_all; rm -rf "$work"' EXIT
    start_display
    # the game under /usr/bin/time, which is $game_pid
    game_process() { cat "/proc/$game_pid/task/$game_pid/children" 2>/dev/null; }
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
        # quit: yes in the quit dialog, then Escape on the title; a game that has not gone
        # after that is ended, and time still reports on it
        key Escape
        see 10 "the quit dialog" text big 96 "SURE TO QUIT?" >/dev/null && key Left
        see 10 "the title" image logo 160 64 >/dev/null && key Escape
        i=0
        while [ -n "$(game_process)" ] && [ $i -lt 50 ]; do
            sleep 0.2
            i=$((i + 1))
        done
        for child in $(game_process); do
            kill -TERM "$child" 2>/dev/null
        done
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
build type $(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt").

The machine is shared, and a time measured on it can vary by 2x from one run to the next.
Two kinds of figures are given, and each table says which it holds:

- **instruction counts** (callgrind), which do not depend on the load: the scalers' ratios
  and the stage frame's cost are given this way first;
- **times** (CPU or wall clock), each taken in $runs runs (start-up: $starts starts) and written
  as the median with the smallest and largest value in brackets, "median (min–max)".

The load average (1 minute, on $(nproc) cores) when each part began is given with it.

## Scalers: 320x240 into 640x480, per frame, against memcpy of the output

Three pictures (flat colour, stage-like tiles, noise); scale2x-portable is the path without
SSE2. Instructions per frame are counted by callgrind (load $load_count), also per pixel of
the 640x480 output and as a multiple of the plain doubling zoom2. The CPU time per frame
comes from $runs runs of \`bench_scalers\` (load $load_scalers); its "x memcpy" is the time
against a memcpy of the same output, taken within each run. memcpy has no useful
instruction count: the C library copies with a string instruction that callgrind counts
once per byte, however fast it runs.

| scaler | bpp | picture | instructions per frame | per output pixel | x zoom2 (instructions) | CPU time per frame, µs | x memcpy (time) |
|---|---|---|---|---|---|---|---|
$scaler_rows

Scale2X on noise against the same scaler on stage-like tiles:

| scaler | bpp | noise / stage (instructions) | noise / stage (time) |
|---|---|---|---|
$noise_rows

## One stage frame against the 16.7 ms budget

A busy frame (32 monsters, 16 animations, 64 platforms, the view scrolling), updated and
drawn into the 320x240 picture, not presented.

Instructions per frame (callgrind, $frames frames): **$instr**.

Wall time, each frame timed on its own; the median and 99th percentile of the frames of a
run, over $runs runs (load $load_stage):

| | time, ms | share of 16.7 ms, % |
|---|---|---|
| median frame | $median_ms | $median_pct |
| 99th percentile | $p99_ms | $p99_pct |

## Music player: one 1024-frame buffer against its 46.4 ms period

Wall time per buffer, over $runs runs (load $load_audio):

| track | wall time | share of the period |
|---|---|---|
$audio_rows

## Start-up

Wall time from starting the program to its first presented frame, $starts starts each
(dummy video and audio drivers, archives in ./data; load $load_startup):

| window | time, ms |
|---|---|
| 320x240 (-w) | $startup_1x |
| 640x480 (-x2) | $startup_2x |

## Memory

Peak resident memory of a whole game run in an X window (intro, title, a new game with its
story pages, stage 1 played for about 12 seconds, quit), from \`/usr/bin/time -v\`, one run
(load $load_memory): **$peak**.

The soak test (\`tests/release/soak_test.cpp\`) checks that the heap in use does not grow
over 200 000 frames of the title and stage 1.
EOF
echo "wrote $report"
