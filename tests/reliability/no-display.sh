#!/usr/bin/env bash
# The show with no display to open: DISPLAY unset, and naming a server that
# is not there. It must end at once by exiting (status 1, not a signal, no
# core) with the window toolkit's one line: "freeglut (<program>): failed to
# open display '<name>'".
set -uo pipefail
. "$(dirname "$0")/lib.sh"
absent=:$((200 + RANDOM % 1000))
for display in "" "$absent"; do
    copy_data "$work/$display"
    DISPLAY=$display start_show "$work/$display" timeout -k 1 20
    wait_show 30
    said=$(cat "$work/$display/stderr")
    check "DISPLAY '$display': status $show_status in $show_seconds s" eval '[ "$show_status" -eq 1 ] && between "$show_seconds" 0 10'
    check "DISPLAY '$display': one line: $said" [ "$(wc -l <<<"$said")" -eq 1 -a -n "$(grep -F "failed to open display '$display'" <<<"$said")" ]
    check "DISPLAY '$display': no core" [ -z "$(find "$work/$display" -maxdepth 1 -name 'core*')" ]
done
finish
