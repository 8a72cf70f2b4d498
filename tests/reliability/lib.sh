# Shared by the reliability stages, sourced. CTest runs each stage in the
# main build directory (which holds the show, vesk-capture and data/).
# A stage calls `check NAME COMMAND...` for each check and ends with
# `finish`, whose status fails the CTest test when any check failed.
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$repo/scripts/lib.sh"
build=$PWD
failed=0
work=$(mktemp -d "${TMPDIR:-/tmp}/vesk-$(basename "$0" .sh).XXXXXX")
trap 'kill -9 ${show_pid:-} 2>/dev/null; kill ${xvfb_pid:-} 2>/dev/null; wait; rm -rf "$work"' EXIT

check() {
    local name=$1
    shift
    if "$@"; then echo "ok    $name"; else echo "FAIL  $name"; failed=$((failed + 1)); fi
}
finish() { echo "$(basename "$0" .sh): $failed failed"; exit $((failed > 0)); }
between() { awk -v x="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(x >= lo && x <= hi) }'; }
# Whether file $1 holds nothing but zero bytes.
silent() { [ "$(tr -d '\0' <"$1" | head -c 1 | wc -c)" -eq 0 ]; }
audible() { ! silent "$1"; }

# A virtual X server of the stage's own, so that no other test's window
# covers ours.
start_own_xvfb() { start_xvfb "$work" && xdpyinfo >/dev/null 2>&1 || { echo "FAIL  no X server"; exit 1; }; }

copy_data() { mkdir -p "$1" && cp -r "$build/data" "$1/"; }
# Starts the show in directory $1 (which holds data/) through the command
# words that follow: a clock that runs fast, valgrind...
start_show() {
    local dir=$1
    shift
    (cd "$dir" && exec "$@" "$build/vesk" >stdout 2>stderr) &
    show_pid=$!
    show_started=$(now)
}
# Waits up to $1 seconds for the show to end; sets show_status (124 when it
# had to be killed) and show_seconds.
wait_show() {
    for _ in $(seq $(($1 * 10))); do kill -0 "$show_pid" 2>/dev/null || break; sleep 0.1; done
    if kill -9 "$show_pid" 2>/dev/null; then wait "$show_pid"; show_status=124; else wait "$show_pid"; show_status=$?; fi
    show_seconds=$(since "$show_started")
}
# Prints the id of the first window titled $1 (exactly) within $2 seconds.
# xwininfo matches the UTF-8 titles of SDL's message boxes too.
wait_window() {
    for _ in $(seq $(($2 * 10))); do
        xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" '$2 == t { print $1; f = 1; exit } END { exit !f }' && return
        sleep 0.1
    done
    return 1
}
