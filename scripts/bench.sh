#!/usr/bin/env bash
# Builds the show, its capture tool and the benchmarks, measures them and
# prints every figure in one table. Takes a few minutes: each real-time run
# plays the whole 68.5 s show.
#
# Environment:
#   BUILD_DIR     build directory (default build); the show runs from there
#   SHOW_RUNS     real-time runs of the whole show (default 1)
#   STARTUP_RUNS  start-up runs, cut off at the first frame (default 5)
#   CAPTURE_RUNS  runs of each capture (default 1)
#   BARE_SECONDS  how long the bare window runs (default 20)
#   CALLGRIND=0   skip the instruction counts of the timeline (valgrind)
#   CAPTURE=0     skip the runs of vesk-capture
#   CAPTURE_TIMEOUT  seconds after which a capture run counts as failed (600)
#   KEEP=1        keep the work directory with every raw result
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib.sh
./scripts/install-deps.sh --test
if [ ! -x /usr/bin/time ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends time
fi

build=${BUILD_DIR:-build}
show_runs=${SHOW_RUNS:-1}
startup_runs=${STARTUP_RUNS:-5}
capture_runs=${CAPTURE_RUNS:-1}
bare_seconds=${BARE_SECONDS:-20}
show_seconds=68.5

work=$(mktemp -d /tmp/vesk-bench-XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  if [ "${KEEP:-0}" = 1 ]; then echo "raw results kept in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

targets=(vesk vesk_data vesk_bench vesk_swap_shim vesk_timed_exec vesk_bare_window vesk-cue-check)
echo "== Build ($build, log in $work/build.log)"
if ! { cmake --preset test -B "$build" &&
       cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"; } >"$work/build.log" 2>&1; then
  tail -40 "$work/build.log"
  exit 1
fi
# The capture tool is optional: without it the capture figures are left out.
capture=no
if [ "${CAPTURE:-1}" != 0 ] && [ -f tools/capture/CMakeLists.txt ]; then
  if cmake --build "$build" -j"$(nproc)" --target vesk-capture >>"$work/build.log" 2>&1; then
    capture=yes
  else
    echo "vesk-capture did not build (see $work/build.log): no capture figures"
  fi
fi
cd "$build"
shim=$PWD/bench/libvesk_swap_shim.so

# One virtual X server for every windowed run, so the show and the bare
# window are compared under the same conditions.
start_xvfb "$work" || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

# --- helpers ----------------------------------------------------------------

# The median of the numbers in file $1 (one a line; "nan" when there are none).
median() { { grep -E '^-?[0-9.]+(e[-+]?[0-9]+)?$' "$1" 2>/dev/null || true; } | sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Each of these prints nothing for a run that left no file.
field() { [ -s "$1" ] || return 0; awk -v key="$2" '{ for (i = 1; i < NF; ++i) if ($i == key) print $(i + 1) }' "$1"; }
# Frames per second between the first and the last swap of a shim report.
swap_rate() { [ -s "$1" ] || return 0; awk '{ printf "%.1f\n", ($2 - 1) / (($6 - $4) / 1e9) }' "$1"; }
# The largest cue error of a vesk-cue-check report, in ms.
worst_cue() { [ -s "$1" ] || return 0; awk '$1 == "cue" && $4 != "not_found" { v = $4 < 0 ? -$4 : $4 + 0; if (v > m) m = v; n++ } END { if (n == 4) print m }' "$1"; }
peak_mb() { [ -s "$1" ] || return 0; awk -F': ' '/Maximum resident set size/ { printf "%.1f\n", $2 / 1024 }' "$1"; }
# Runs the command after $1 and appends to $1 the largest private memory
# (Private_Dirty of /proc/PID/smaps_rollup, in MB) of the program that
# /usr/bin/time starts, sampled every 0.2 s; returns the command's status.
sample_private() {
  local out=$1 pid child kb peak=0 status
  shift
  "$@" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    child=$(pgrep -P "$pid" | head -1)
    kb=$(awk '/^Private_Dirty/ { print $2 }' "/proc/${child:-$pid}/smaps_rollup" 2>/dev/null || true)
    [ -n "$kb" ] && [ "$kb" -gt "$peak" ] && peak=$kb
    sleep 0.2
  done
  wait "$pid" && status=0 || status=$?
  awk -v kb="$peak" 'BEGIN { if (kb > 0) printf "%.1f\n", kb / 1024 }' >>"$out"
  return "$status"
}
# Show seconds per wall second since $1.
speed() { awk -v from="$1" -v to="$(now)" -v show="$show_seconds" 'BEGIN { printf "%.3f\n", show / (to - from) }'; }

# Google Benchmark's JSON as lines "name cpu_time_ns counter".
bench_lines() {
  awk '
    /"name":/ { gsub(/[",]/, "", $2); name = $2; cpu = ""; counter = "" }
    /"cpu_time":/ { gsub(/,/, "", $2); cpu = $2 }
    /"time_unit":/ { gsub(/[",]/, "", $2); unit = $2 }
    /"(per_effect|per_event|active)":/ { gsub(/,/, "", $2); counter = $2 }
    /^ *}/ && name != "" {
      scale = unit == "us" ? 1e3 : unit == "ms" ? 1e6 : unit == "s" ? 1e9 : 1
      print name, cpu * scale, counter; name = ""
    }' "$1"
}
bench_value() { awk -v n="$1" -v c="$2" '$1 == n { print (c == "cpu" ? $2 : $3) }' "$work/timeline.lines"; }

# --- the timeline and effects per frame -------------------------------------

echo "== Timeline benchmarks (5 repetitions, medians)"
./bench/vesk_bench --benchmark_filter='BM_ShowFrame|BM_FrameWith' --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_out_format=json --benchmark_out="$work/timeline.json" \
  >"$work/timeline.txt" 2>&1 || { cat "$work/timeline.txt"; exit 1; }
bench_lines "$work/timeline.json" >"$work/timeline.lines"

# Instructions per Timeline::run call, counted by callgrind: the work itself,
# free of cache misses and of the other processes on the machine. Only the
# calls made from the benchmark's own loop count.
run_instructions() {  # benchmark name -> instructions per run() call
  local out="$work/callgrind.$(echo "$1" | tr '/' '_')"
  valgrind --tool=callgrind --callgrind-out-file="$out" --compress-strings=no --compress-pos=no \
    ./bench/vesk_bench --benchmark_filter="^$1\$" --benchmark_min_time=0.1 >/dev/null 2>&1
  awk -v caller="${1%%/*}(" '
    /^fn=/ { fn = substr($0, 4) }
    /^cfn=/ { target = substr($0, 5) }
    /^calls=/ { if (target == "Timeline::run()" && index(fn, caller)) { split($1, c, "="); calls += c[2]; want = 1 } next }
    want { ir += $2; want = 0 }
    END { if (calls) printf "%.0f\n", ir / calls; else print "nan" }' "$out"
  rm -f "$out"
}
if [ "${CALLGRIND:-1}" != 0 ]; then
  echo "== Timeline instruction counts (callgrind)"
  run_instructions BM_ShowFrame >"$work/ir.show"
  for n in 100 1000 10000 100000; do
    echo "$n $(run_instructions BM_FrameWithActiveEffects/$n) $(run_instructions BM_FrameWithActiveHolds/$n)" \
      "$(run_instructions BM_FrameWithDueEvents/$n)" >>"$work/ir.growth"
  done
fi

# --- start-up -----------------------------------------------------------------

echo "== Start-up: $startup_runs runs of the show and of the bare window, each cut off at its first frame"
for i in $(seq "$startup_runs"); do
  VESK_SWAP_REPORT="$work/startup$i" VESK_EXIT_AT_FIRST_SWAP=1 SDL_AUDIODRIVER=dummy LD_PRELOAD="$shim" \
    ./bench/vesk_timed_exec ./vesk || echo "start-up run $i of vesk failed" >&2
  field "$work/startup$i" startup_ns | awk '{ printf "%.1f\n", $1 / 1e6 }' >>"$work/startup.ms"
  field "$work/startup$i" mainloop_ns | awk '{ printf "%.1f\n", $1 / 1e6 }' >>"$work/startup-loop.ms"
done

for i in $(seq "$startup_runs"); do
  VESK_SWAP_REPORT="$work/bare-startup$i" VESK_EXIT_AT_FIRST_SWAP=1 LD_PRELOAD="$shim" \
    ./bench/vesk_timed_exec ./bench/vesk_bare_window || echo "start-up run $i of the bare window failed" >&2
  field "$work/bare-startup$i" startup_ns | awk '{ printf "%.1f\n", $1 / 1e6 }' >>"$work/bare-startup.ms"
  field "$work/bare-startup$i" mainloop_ns | awk '{ printf "%.1f\n", $1 / 1e6 }' >>"$work/bare-startup-loop.ms"
done

# --- real-time runs: frame rate, sync, memory ------------------------------------

for i in $(seq "$show_runs"); do
  echo "== Real-time show run $i of $show_runs (68.5 s), then the bare window ($bare_seconds s)"
  sample_private "$work/show.private" env VESK_SWAP_REPORT="$work/show$i" SDL_AUDIODRIVER=disk \
    SDL_DISKAUDIOFILE="$work/show$i.raw" /usr/bin/time -v -o "$work/show$i.time" env LD_PRELOAD="$shim" ./vesk \
    2>"$work/show$i.err" || echo "real-time run $i failed: $(tail -2 "$work/show$i.err")" >&2
  swap_rate "$work/show$i" >>"$work/show.fps"
  peak_mb "$work/show$i.time" >>"$work/show.mb"
  ./vesk-cue-check "$work/show$i.raw" >"$work/show$i.cues" || true
  worst_cue "$work/show$i.cues" >>"$work/show.sync"
  rm -f "$work/show$i.raw"

  sample_private "$work/bare.private" env VESK_SWAP_REPORT="$work/bare$i" /usr/bin/time -v -o "$work/bare$i.time" \
    env LD_PRELOAD="$shim" ./bench/vesk_bare_window "$bare_seconds" || echo "bare window run $i failed" >&2
  swap_rate "$work/bare$i" >>"$work/bare.fps"
  peak_mb "$work/bare$i.time" >>"$work/bare.mb"
done

# --- capture ----------------------------------------------------------------------

if [ "$capture" = yes ]; then
  # A capture that fails or hangs counts as no figure.
  capture_run() {  # name, then the capture's options
    local name=$1 start
    shift
    start=$(now)
    if timeout -k 10 "${CAPTURE_TIMEOUT:-600}" /usr/bin/time -v -o "$work/$name.time" ./vesk-capture --fps 60 "$@" \
         >/dev/null 2>"$work/$name.err"; then
      speed "$start"
    else
      echo "nan"
      echo "vesk-capture $* failed: $(tail -2 "$work/$name.err")" >&2
    fi
  }
  for i in $(seq "$capture_runs"); do
    echo "== Capture run $i of $capture_runs: PNG frames, MP4, WAV at 60 fps"
    rm -rf "$work/frames"
    capture_run "png$i" --frames "$work/frames" >>"$work/png.speed"
    peak_mb "$work/png$i.time" >>"$work/capture-png.mb"
    rm -rf "$work/frames"

    capture_run "mp4$i" --video "$work/show.mp4" >>"$work/mp4.speed"
    peak_mb "$work/mp4$i.time" >>"$work/capture-mp4.mb"
    rm -f "$work/show.mp4"

    capture_run "wav$i" --audio "$work/capture.wav" >/dev/null
    ./vesk-cue-check "$work/capture.wav" >"$work/capture$i.cues" || true
    worst_cue "$work/capture$i.cues" >>"$work/capture.sync"
  done
fi

# --- the tables -------------------------------------------------------------------

# "yes" or "no": whether $1 meets "< $3", "<= $3" or ">= $3" ($2 is <, <= or >=).
met() { awk -v v="$1" -v op="$2" -v t="$3" 'BEGIN { if (v == "nan" || v == "") print "-"; else print ((op == "<" ? v + 0 < t + 0 : op == "<=" ? v + 0 <= t + 0 : v + 0 >= t + 0) ? "yes" : "no") }'; }
# $1 / $2 and $1 - $2, "nan" when either is missing.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "nan" || b == "nan" || a == "" || b + 0 == 0) print "nan"; else printf "%.2f\n", a / b }'; }
excess() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "nan" || b == "nan" || a == "" || b == "") print "nan"; else printf "%.1f\n", a - b }'; }
row() { printf '| %-46s | %16s | %-8s | %-4s |\n' "$1" "$2" "$3" "$4"; }
fmt() { awk -v f="$1" '{ if ($1 ~ /^-?[0-9.]+(e[-+]?[0-9]+)?$/) printf f "\n", $1; else print "n/a" }'; }
ns_of() { bench_value "$1" "$2" | awk '{ if ($1 == "") print "n/a"; else printf "%.1f", $1 * ('"${3:-1}"') }'; }

show_ns=$(bench_value BM_ShowFrame_median cpu)
startup_ms=$(median "$work/startup.ms")
show_fps=$(median "$work/show.fps")
bare_fps=$(median "$work/bare.fps")
sync_ms=$(median "$work/show.sync")
show_mb=$(median "$work/show.mb")

echo
echo "VESK benchmarks: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end," \
  "$(date -u '+%Y-%m-%d %H:%M UTC'), build $build. [n]: median of n runs."
row "Figure" "Measured" "Target" "Met"
row "---" "---:" "---" "---"
row "Show frame, timeline work, drawing stubbed [5]" "$(echo "$show_ns" | fmt '%.0f ns')" "< 1 us" "$(met "$show_ns" '<' 1000)"
[ -s "$work/ir.show" ] && row "  the same in instructions (callgrind)" "$(fmt '%.0f' <"$work/ir.show")" "" ""
row "  effects active per frame, mean" "$(bench_value BM_ShowFrame_median counter | fmt '%.2f')" "" ""
row "Start-up to first frame swapped [$startup_runs]" "$(echo "$startup_ms" | fmt '%.0f ms')" "< 150 ms" "$(met "$startup_ms" '<' 150)"
row "  of which up to glutMainLoop (init done)" "$(median "$work/startup-loop.ms" | fmt '%.0f ms')" "" ""
bare_startup_ms=$(median "$work/bare-startup.ms")
startup_ratio=$(ratio "$startup_ms" "$bare_startup_ms")
row "  bare window, to its first frame swapped" "$(echo "$bare_startup_ms" | fmt '%.0f ms')" "" ""
row "  show / bare window, to the first frame" "$(echo "$startup_ratio" | fmt '%.2f')" "<= 1.25" "$(met "$startup_ratio" '<=' 1.25)"
row "  bare window, up to glutMainLoop" "$(median "$work/bare-startup-loop.ms" | fmt '%.0f ms')" "" ""
row "Show frame rate over the whole run [$show_runs]" "$(echo "$show_fps" | fmt '%.0f fps')" "" ""
row "  bare window [$show_runs]" "$(echo "$bare_fps" | fmt '%.0f fps')" "" ""
row "  show / bare window" "$(echo "$show_fps $bare_fps" | awk '{ printf "%.2f", $1 / $2 }')" "" ""
if [ "$capture" = yes ]; then
  png=$(median "$work/png.speed")
  mp4=$(median "$work/mp4.speed")
  row "Capture at 60 fps to PNG frames [$capture_runs]" "$(echo "$png" | fmt '%.2f x')" "" ""
  row "Capture at 60 fps to MP4 [$capture_runs]" "$(echo "$mp4" | fmt '%.2f x')" ">= 4 x" "$(met "$mp4" '>=' 4)"
fi
row "Sync, real-time run, worst of 4 cues [$show_runs]" "$(echo "$sync_ms" | fmt '%.1f ms')" "< 15 ms" "$(met "$sync_ms" '<' 15)"
if [ "$capture" = yes ]; then
  cap_sync=$(median "$work/capture.sync")
  row "Sync, capture WAV, worst of 4 cues [$capture_runs]" "$(echo "$cap_sync" | fmt '%.2f ms')" "< 1 ms" "$(met "$cap_sync" '<' 1)"
fi
row "Peak resident memory, vesk [$show_runs]" "$(echo "$show_mb" | fmt '%.1f MB')" "< 80 MB" "$(met "$show_mb" '<' 80)"
row "  bare window [$show_runs]" "$(median "$work/bare.mb" | fmt '%.1f MB')" "" ""
show_private=$(median "$work/show.private")
bare_private=$(median "$work/bare.private")
private_excess=$(excess "$show_private" "$bare_private")
row "Private memory, peak Private_Dirty, vesk [$show_runs]" "$(echo "$show_private" | fmt '%.1f MB')" "" ""
row "  bare window [$show_runs]" "$(echo "$bare_private" | fmt '%.1f MB')" "" ""
row "  show - bare window" "$(echo "$private_excess" | fmt '%.1f MB')" "<= 10 MB" "$(met "$private_excess" '<=' 10)"
if [ "$capture" = yes ]; then
  row "  vesk-capture, PNG run [$capture_runs]" "$(median "$work/capture-png.mb" | fmt '%.1f MB')" "" ""
  row "  vesk-capture, MP4 run, with ffmpeg [$capture_runs]" "$(median "$work/capture-mp4.mb" | fmt '%.1f MB')" "" ""
else
  row "Capture" "no vesk-capture" "" ""
fi

echo
echo "Timeline growth, per active effect and per due event: CPU ns (median of 5) / instructions"
printf '| %7s | %22s | %22s | %22s |\n' "N" "no-op effect" "hold (sprite draw)" "due event"
printf '| %7s | %22s | %22s | %22s |\n' "---:" "---:" "---:" "---:"
for n in 100 1000 10000 100000; do
  ir=$(awk -v n="$n" '$1 == n { print $2, $3, $4 }' "$work/ir.growth" 2>/dev/null || true)
  read -r ir_effect ir_hold ir_run <<<"${ir:-nan nan nan}"
  ir_event=$(awk -v r="$ir_run" -v n="$n" 'BEGIN { if (r == "nan") print "nan"; else printf "%.0f", r / (2 * n) }')
  ir_effect=$(awk -v r="$ir_effect" -v n="$n" 'BEGIN { if (r == "nan") print "nan"; else printf "%.1f", r / n }')
  ir_hold=$(awk -v r="$ir_hold" -v n="$n" 'BEGIN { if (r == "nan") print "nan"; else printf "%.1f", r / n }')
  printf '| %7s | %22s | %22s | %22s |\n' "$n" \
    "$(ns_of "BM_FrameWithActiveEffects/${n}_median" counter 1e9) / $ir_effect" \
    "$(ns_of "BM_FrameWithActiveHolds/${n}_median" counter 1e9) / $ir_hold" \
    "$(ns_of "BM_FrameWithDueEvents/${n}_median" counter 1e9) / $ir_event"
done

echo
echo "Cue errors of the last real-time run:"
sed 's/^/  /' "$work/show$show_runs.cues"
if [ "$capture" = yes ]; then
  echo "Cue errors of the capture's WAV:"
  sed 's/^/  /' "$work/capture$capture_runs.cues"
fi
