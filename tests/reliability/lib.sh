# Shared by the reliability scripts: where the builds are, how a check
# passes or fails, and the closing count. Sourced, not run.
#
# A script calls pass/fail/skip once per check and ends with `finish`,
# which prints "N passed, N failed, N skipped" and exits non-zero when any
# check failed.

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
reliability_dir=$repo/tests/reliability
# The main build: the show, vesk-capture, the helpers and data/.
build=${VESK_BUILD:-$repo/build}
case $build in /*) ;; *) build=$repo/$build ;; esac

passed=0
failed=0
skipped=0

pass() { passed=$((passed + 1)); echo "  ok    $*"; }
fail() { failed=$((failed + 1)); echo "  FAIL  $*"; }
skip() { skipped=$((skipped + 1)); echo "  skip  $*"; }

# check NAME CONDITION...: runs the condition (a command) and passes or
# fails NAME by its status.
check() {
    local name=$1
    shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}

finish() {
    echo "$(basename "$0" .sh): $passed passed, $failed failed, $skipped skipped"
    [ "$failed" -eq 0 ]
    exit
}

need_program() {
    if [ ! -x "$1" ]; then
        echo "$(basename "$0"): $1 is missing: build it first (cmake --build ${build#"$repo"/})" >&2
        exit 2
    fi
}

# At exit: a show still running is ended, then the X server, then the work
# directory is removed.
cleanup() {
    if [ -n "${show_pid:-}" ] && kill -0 "$show_pid" 2>/dev/null; then
        kill -9 "$show_pid" 2>/dev/null
        wait "$show_pid" 2>/dev/null
    fi
    if [ -n "${xvfb_pid:-}" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    [ -n "${work:-}" ] && rm -rf "$work"
}

# A fresh directory under the system's temporary one, removed at exit.
make_work_dir() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/vesk-$(basename "$0" .sh).XXXXXX")
    trap cleanup EXIT
}

# Starts a virtual X server for this script alone and exports DISPLAY; it
# is stopped at exit (cleanup). Sets xvfb_pid.
start_xvfb() {
    local n
    for n in $(seq 70 99); do
        [ -e /tmp/.X$n-lock ] && continue
        Xvfb :$n -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        local i
        for i in $(seq 50); do
            if DISPLAY=:$n xdotool getdisplaygeometry >/dev/null 2>&1; then
                export DISPLAY=:$n
                return 0
            fi
            kill -0 $xvfb_pid 2>/dev/null || break
            sleep 0.1
        done
        kill $xvfb_pid 2>/dev/null
        wait $xvfb_pid 2>/dev/null
    done
    echo "$(basename "$0"): cannot start Xvfb" >&2
    return 1
}

# The show, for the real-time runs: the main build's unless VESK_PROGRAM
# names another (a sanitizer build's, say).
show_program=${VESK_PROGRAM:-$build/vesk}

# A directory $1 holding a copy of the main build's data/.
make_show_dir() {
    mkdir -p "$1"
    cp -r "$build/data" "$1/data"
}

# Starts the show in directory $1 with its stderr in $1/stderr; sets
# show_pid and show_started (seconds since the epoch, with fraction).
start_show() {
    (cd "$1" && exec "$show_program" 2>"$1/stderr" >"$1/stdout") &
    show_pid=$!
    show_started=$(now)
}

# Waits up to $2 seconds (default 20) for a window named $1 and prints its
# id.
wait_for_window() {
    local name=$1 limit=${2:-20} i id
    for i in $(seq $((limit * 10))); do
        id=$("$build/vesk-x-window" find "$name" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits up to $1 seconds for the show to end; sets show_status (128 + n for
# a signal, 124 when it did not end in time and was killed) and
# show_seconds, the wall-clock time since start_show.
wait_for_show() {
    local limit=$1 i
    for i in $(seq $((limit * 10))); do
        kill -0 "$show_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$show_pid" 2>/dev/null; then
        kill -9 "$show_pid" 2>/dev/null
        wait "$show_pid" 2>/dev/null
        show_status=124
    else
        wait "$show_pid"
        show_status=$?
    fi
    show_seconds=$(elapsed_since "$show_started")
}

# Whether $1 lies between $2 and $3 (decimals).
between() { awk -v x="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(x >= lo && x <= hi) }'; }
# Seconds since the epoch, with fraction.
now() { date +%s.%N; }
elapsed_since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.1f", a - b }'; }

# Grabs the screen's rectangle W x H at X, Y into file $1 as 8-bit grey
# pixels, rows top first.
grab_grey() {
    local file=$1 x=$2 y=$3 w=$4 h=$5
    ffmpeg -hide_banner -loglevel error -y -f x11grab -video_size "${w}x$h" -i "$DISPLAY+$x,$y" -frames:v 1 \
        -f rawvideo -pix_fmt gray "$file"
}

# The mean and the largest grey value of columns [$3, $4) of the W-wide
# picture in file $1 ($2 = W), as "mean max".
column_brightness() {
    od -An -v -tu1 -w"$2" "$1" | awk -v from="$3" -v to="$4" '
        { for (i = from + 1; i <= to; ++i) { sum += $i; n++; if ($i > max) max = $i } }
        END { printf "%.1f %d\n", n ? sum / n : 0, max }'
}

# The window's position and size as "X Y W H", from xdotool.
window_geometry() {
    xdotool getwindowgeometry --shell "$1" 2>/dev/null |
        awk -F= '/^X=/ { x = $2 } /^Y=/ { y = $2 } /^WIDTH=/ { w = $2 } /^HEIGHT=/ { h = $2 } END { print x, y, w, h }'
}

# For sanitizer runs: keeps Mesa's software driver loaded to the end of the
# process. Mesa unloads it at exit before the leak check runs, and then the
# blocks it keeps can no longer be told apart by their library's name, which
# is all lsan.supp can match. The sanitizer runtime then no longer comes
# first among the libraries, which is harmless here.
hold_gl_driver() {
    local driver
    driver=$(ls /usr/lib/*/dri/swrast_dri.so /usr/lib/dri/swrast_dri.so 2>/dev/null | head -n 1)
    [ -n "$driver" ] || return 0
    export LD_PRELOAD=$driver${LD_PRELOAD:+:$LD_PRELOAD}
    export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
}
