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

# A fresh directory under the system's temporary one, removed at exit.
make_work_dir() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/vesk-$(basename "$0" .sh).XXXXXX")
    trap 'rm -rf "$work"' EXIT
}

# Starts a virtual X server for this script alone and exports DISPLAY; it
# is stopped at exit. Sets xvfb_pid.
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
                trap 'kill $xvfb_pid 2>/dev/null; wait $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
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
