#!/usr/bin/env bash
# The show with no audio device (SDL is asked for an audio driver that does
# not exist, so it cannot open one): it says so in one line, plays silently
# on its own clock — the picture moves on as the show goes — and exits 0 at
# its end.
set -uo pipefail
. "$(dirname "$0")/lib.sh"

need_program "$show_program"
need_program "$build/vesk-x-window"
make_work_dir
start_xvfb || { fail "no X server"; finish; }
echo "== No audio device"

dir=$work/show
make_show_dir "$dir"
export SDL_AUDIODRIVER=no-such-driver
start_show "$dir"
window=$(wait_for_window VESK 20)
check "the window comes up" [ -n "$window" ]
# The title card is held from 5 to 15 s, the tank is in full view from 20 s.
sleep 10
read -r x y w h <<<"$(window_geometry "$window")"
grab_grey "$work/at10.raw" "$x" "$y" "$w" "$h"
sleep 15
grab_grey "$work/at25.raw" "$x" "$y" "$w" "$h"
read -r title_mean _ <<<"$(column_brightness "$work/at10.raw" "$w" 0 "$w")"
read -r tank_mean _ <<<"$(column_brightness "$work/at25.raw" "$w" 0 "$w")"
check "the title shows at 10 s (mean grey $title_mean)" between "$title_mean" 2 255
check "the picture has moved on at 25 s (mean grey $tank_mean)" \
    awk -v a="$title_mean" -v b="$tank_mean" 'BEGIN { exit !(b - a > 5 || a - b > 5) }'

wait_for_show 100
check "the show exits with status 0 (status $show_status)" [ "$show_status" -eq 0 ]
check "after its 68.5 s ($show_seconds s)" between "$show_seconds" 68.5 80
said=$(cat "$dir/stderr")
check "it says once that it plays silently (said: ${said:-nothing})" [ "$said" == "vesk: no audio device, playing silently" ]
finish
