#!/usr/bin/env bash
# The show with no display to open: DISPLAY unset, and DISPLAY naming a
# server that is not there. It must end at once with a clear one-line
# message and a non-zero status, by exiting, not by a signal (no core dump).
# The message is the window toolkit's own: "freeglut (<program>): failed to
# open display '<name>'", and the status 1.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

need_program "$show_program"
make_work_dir
echo "== No display"

# A display number that no server holds.
absent=200
while [ -e /tmp/.X$absent-lock ] || [ -e /tmp/.X11-unix/X$absent ]; do absent=$((absent + 1)); done

one_line_naming_the_display() { [ "$(grep -c . "$1")" -eq 1 ] && grep -q "failed to open display '$2'" "$1"; }

for display in unset :$absent; do
    dir=$work/$display
    make_show_dir "$dir"
    started=$(now)
    if [ "$display" == unset ]; then
        (cd "$dir" && env -u DISPLAY timeout -k 5 20 "$show_program" >"$dir/stdout" 2>"$dir/stderr")
    else
        (cd "$dir" && DISPLAY=$display timeout -k 5 20 "$show_program" >"$dir/stdout" 2>"$dir/stderr")
    fi
    status=$?
    seconds=$(elapsed_since "$started")
    message=$(head -n 1 "$dir/stderr")
    check "DISPLAY $display: exits with a status of its own ($status), not by a signal" \
        between "$status" 1 123
    check "DISPLAY $display: at once ($seconds s)" between "$seconds" 0 10
    name=$display
    [ "$display" == unset ] && name=""
    check "DISPLAY $display: one line that names the display ($message)" \
        one_line_naming_the_display "$dir/stderr" "$name"
    check "DISPLAY $display: no core file" [ -z "$(find "$dir" -maxdepth 1 -name 'core*')" ]
done
finish
