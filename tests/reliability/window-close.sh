#!/usr/bin/env bash
# The window closed by the user in the middle of the show, by the request a
# window manager sends for its close button (WM_DELETE_WINDOW). The window
# toolkit then ends the process: it must exit at once with status 0, its
# exit handlers closing the sound system while the scene still exists,
# without a crash and, in a sanitizer build (VESK_PROGRAM naming its vesk),
# without a report of a leak or a bad access.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

need_program "$show_program"
need_program "$build/vesk-x-window"
make_work_dir
start_xvfb || { fail "no X server"; finish; }
echo "== Window closed mid-show ($show_program)"

reports=$work/reports
mkdir -p "$reports"
export SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="log_path=$reports/asan:detect_leaks=1"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$reliability_dir/lsan.supp:print_suppressions=0"
hold_gl_driver

# During the title, and while the fish speaks (samples and bubbles).
for at in 3 31; do
    dir=$work/at$at
    make_show_dir "$dir"
    rm -f "$reports"/*
    start_show "$dir"
    window=$(wait_for_window VESK 30)
    sleep "$at"
    asked=$(now)
    "$build/vesk-x-window" close VESK
    check "at $at s: the close request is taken" [ $? -eq 0 -a -n "$window" ]
    wait_for_show 30
    after=$(elapsed_since "$asked")
    check "at $at s: exits with status 0 (status $show_status)" [ "$show_status" -eq 0 ]
    check "at $at s: at once ($after s)" between "$after" 0 5
    count=$(find "$reports" -type f | wc -l)
    check "at $at s: no sanitizer report ($count)" [ "$count" -eq 0 ]
    if [ "$count" -ne 0 ]; then
        for f in "$reports"/*; do head -n 30 "$f"; done
    fi
    said=$(grep -v '^$' "$dir/stderr")
    check "at $at s: nothing on stderr${said:+: $said}" [ -z "$said" ]
done
finish
