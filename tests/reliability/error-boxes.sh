#!/usr/bin/env bash
# The real show on its own X server with a broken picture and an empty
# sample: its two real "Error" boxes come up in turn during start-up and are
# answered as a person would, with Return, after a moment's reading. Then
# the show must play its 68.5 s and exit 0 with nothing printed, its music
# still sounding at the end (SDL's disk driver records it).
#
# The show's clock runs five times fast (faketime), so the show takes about
# 14 s; each box stays open for 2 s of real time, 10 s to the show, which
# would end the show that much early if its clock had counted them. (At ten
# times, a loaded machine left the sound device's thread seconds behind.)
set -uo pipefail
. "$(dirname "$0")/lib.sh"
speed=5
start_own_xvfb
copy_data "$work/show"
head -c 20000 "$build/data/fishtank.png" >"$work/show/data/fishtank.png"
: >"$work/show/data/juice.wav"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/show/sound.raw
start_show "$work/show" faketime -f "+0 x$speed"

answered=0
for _ in 1 2; do
    id=$(wait_window Error 30) || break
    sleep 2
    xdotool key --window "$id" Return 2>/dev/null
    for _ in $(seq 50); do xwininfo -id "$id" >/dev/null 2>&1 || break; sleep 0.1; done
    answered=$((answered + 1))
    answered_at=$(now)
done
check "two Error boxes came up and closed on Return ($answered)" [ $answered -eq 2 ]
wait_show 60
after=$(awk -v s="$(since "${answered_at:-$show_started}")" -v x=$speed 'BEGIN { print s * x }')
check "exit status 0 ($show_status)" [ "$show_status" -eq 0 ]
check "the show plays its 68.5 s after the last box ($after s)" between "$after" 68.5 90
check "the music sounds in its last ten seconds" audible <(tail -c 1764000 "$work/show/sound.raw")
said=$(grep -v -e '^CRITICAL: ' -e '^$' "$work/show/stderr")
check "nothing on stderr: $said" [ -z "$said" ]
finish
