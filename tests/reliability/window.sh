#!/usr/bin/env bash
# The real show with no audio device (SDL is asked for a driver that does
# not exist) and its window resized on the way: 1 x 1, 4096 x 256, minimised
# and restored, 1024 x 256, then hidden to the end. It must say once that it
# plays silently, go on through every size, keep the shorter-side rule in
# the wide window (the tank, x from -1 to 1, fills the middle 256 of 1024
# columns and the sides stay black), end on time while hidden, when no frame
# is drawn, without growing, and exit 0. The show's clock runs five times
# fast (faketime).
set -uo pipefail
. "$(dirname "$0")/lib.sh"
speed=5
start_own_xvfb
copy_data "$work/show"
export SDL_AUDIODRIVER=no-such-driver
alive() { kill -0 "$show_pid" 2>/dev/null; }
start_show "$work/show" /usr/bin/time -o "$work/memory" -f %M faketime -f "+0 x$speed"
window=$(wait_window VESK 60) || { check "a window titled VESK (show $(alive && echo running || echo ended): $(cat "$work/show/stderr"))" false; finish; }
mapped=$(now)  # the window is up just before the show's clock starts

resize() { xdotool windowsize "$window" "$1" "$2"; sleep 0.5; check "${1}x$2: the show goes on" alive; }
resize 1 1
resize 4096 256
xdotool windowunmap "$window" && sleep 0.5 && xdotool windowmap "$window"
check "minimised and restored: the show goes on" alive
resize 1024 256
# From 26 s to 30 s of show time the fish swims inside the tank (|x| < 1)
# and nothing else is drawn; before 23 s it comes in from beyond the left
# edge. 28.5 s after the window came up the show is a little short of that.
until between "$(since "$mapped")" "$(awk -v x=$speed 'BEGIN { print 28.5 / x }')" 1000; do sleep 0.1; done
read -r x y < <(xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 } END { print x, y }')
ffmpeg -loglevel error -f x11grab -video_size 1024x256 -i "$DISPLAY+$x,$y" -frames:v 1 -f rawvideo -pix_fmt gray "$work/wide.raw"
read -r middle sides < <(od -An -v -tu1 -w1024 "$work/wide.raw" | awk '
    { for (i = 1; i <= 1024; ++i) if (i > 400 && i <= 624) { sum += $i; n++ } else if ((i <= 300 || i > 724) && $i > side) side = $i }
    END { printf "%.0f %d\n", n ? sum / n : 0, side }')
check "1024x256: the tank in the middle (mean grey $middle)" [ "$middle" -gt 10 ]
check "1024x256: black beyond x = +-1.2 (largest grey $sides)" [ "$sides" -le 8 ]
xdotool windowunmap "$window"
hidden=$(now)

# Hidden from 24 s or later, there are at most 44.5 s of show left.
wait_show 60
seconds=$(awk -v s="$show_seconds" -v x=$speed 'BEGIN { print s * x }')
hidden=$(awk -v s="$(since "$hidden")" -v x=$speed 'BEGIN { print s * x }')
check "exit status 0 ($show_status) after $seconds s, $hidden s hidden" \
    eval '[ "$show_status" -eq 0 ] && between "$seconds" 68.5 200 && between "$hidden" 0 60'
memory=$(tail -n 1 "$work/memory")
check "at most 200 MB ($((memory / 1024)) MB)" [ "$memory" -lt 204800 ]
said=$(cat "$work/show/stderr")
check "one line on stderr: $said" [ "$said" == "vesk: no audio device, playing silently" ]
finish
