#!/usr/bin/env bash
# Every file under data/ broken every way, each time the whole show rendered
# through vesk-capture (16 x 16 at 1 fps, two cases at a time): missing,
# empty, cut to half, random bytes, a valid file of the other kind,
# unreadable, a PNG header claiming 60000 x 60000 pixels with a valid
# checksum, WAV headers whose sizes lie, and data/ missing altogether.
#
# Each case must end with status 0 after the show's last frame, under 200 MB,
# with exactly the expected "Error" boxes (vesk-capture prints them), and
# play the rest of the show as normal: with a broken picture the sound is
# byte for byte that of an intact run; with a broken sound every frame is,
# and the music up to the first sample's cue too (without the music the
# samples still sound). A sound that still decodes (cut short, or claiming
# more than the file holds) plays what is there, without a box.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
# The show's files, in the order it loads them (so the order of its boxes).
mapfile -t assets < <(grep -v '^#' "$repo/assets.txt")
check "${#assets[@]} asset files listed" [ ${#assets[@]} -ge 10 ]
first_cue=$((44 + 30 * 44100 * 4))  # WAV bytes of the first 30 s: the music alone
cp "$build/vesk-capture" "$work/" && chmod 755 "$work"  # where the user nobody reaches it

capture() {  # in directory $1, as user $2 when given
    local as=()
    [ -n "${2:-}" ] && as=(setpriv --reuid="$2" --regid="$(id -g "$2")" --clear-groups)
    (cd "$1" && timeout -k 5 120 /usr/bin/time -o memory -f %M "${as[@]}" "$work/vesk-capture" \
        --fps 1 --size 16x16 --frames frames --audio sound.wav >/dev/null 2>stderr)
}
# From 52 to 54 s a move and a scale of one sprite share a layer, and each
# draws it: their order, by address, follows the run's allocations. So the
# frame at 53 s may differ between two sound runs; every other frame may not.
digest() { find "$1/frames" -name '*.png' ! -name 000053.png | sort | xargs cat | md5sum; }
samples_alone() { silent <(head -c $first_cue "$1" | tail -c +45) && audible <(tail -c +$first_cue "$1"); }
poke() { printf "$(sed 's/../\\x&/g' <<<"$3")" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }

break_file() {  # data/$1 in directory $2, the way $3
    local f=$2/data/$1 size
    size=$(stat -c %s "$build/data/$1" 2>/dev/null)
    case $3 in
    missing) rm "$f" ;;
    empty) : >"$f" ;;
    half) head -c $((size / 2)) "$build/data/$1" >"$f" ;;
    random) perl -e 'srand(7); print map { chr int rand 256 } 1 .. shift' "$size" >"$f" ;;
    other-kind) if [[ $1 == *.png ]]; then cp "$build/data/juice.wav" "$f"; else cp "$build/data/bubble.png" "$f"; fi ;;
    unreadable) chmod 000 "$f" ;;
    no-data) rm -r "$2/data" ;;
    huge-png)  # width and height at 16, IHDR's CRC at 29 (gzip's trailer holds the same CRC-32)
        poke "$f" 16 0000ea600000ea60
        poke "$f" 29 "$(head -c 29 "$f" | tail -c 17 | gzip -c | tail -c 8 | od -An -tx4 -N4 | tr -d ' ')" ;;
    wav-*)  # the music's slot gets a WAV; sizes at 4 (RIFF), 16 (fmt) and 40 (data)
        [[ $1 == *.wav ]] || cp "$build/data/juice.wav" "$f"
        [ "$(head -c 40 "$f" | tail -c 4)" == data ] || { echo "FAIL  $f has no plain WAV header"; return 1; }
        case $3 in
        wav-huge) poke "$f" 4 ffffffff && poke "$f" 40 ffffffff ;;
        wav-short) poke "$f" 40 01000000 ;;
        wav-fmt) poke "$f" 16 f0ffff7f ;;
        esac ;;
    esac
}

box() { if [[ $1 == *.png ]]; then echo "Error: unable to load texture: data/$1"; else echo "Error: unable to load sound: data/$1"; fi; }
boxes_expected() {
    case $2 in
    no-data) for a in "${assets[@]}"; do box "$a"; done ;;
    wav-huge) ;;
    half) [[ $1 == *.png ]] && box "$1" ;;
    *) box "$1" ;;
    esac
}

run_case() {  # file, way
    local dir=$work/$2-$1 as="" name="$2 ${1:-data/}"
    mkdir -p "$dir" && cp -r "$build/data" "$dir/"
    break_file "$1" "$dir" "$2" || return
    [ "$2" == unreadable ] && [ "$(id -u)" -eq 0 ] && as=nobody && chown -R nobody "$dir"
    capture "$dir" "$as"
    local status=$? memory boxes expected
    memory=$(tail -n 1 "$dir/memory")
    boxes=$(grep '^Error' "$dir/stderr")
    expected=$(boxes_expected "$1" "$2")
    check "$name: status $status, $((memory / 1024)) MB" [ $status -eq 0 -a "$memory" -lt 204800 ]
    check "$name: boxes [${boxes//$'\n'/; }]" [ "$boxes" == "$expected" ]
    check "$name: $(ls "$dir/frames" | wc -l) frames" [ "$(ls "$dir/frames" | wc -l)" -eq "$frames" ]
    if [[ $1 == *.png ]]; then
        check "$name: the sound of an intact run" cmp -s "$dir/sound.wav" "$work/intact/sound.wav"
    elif [ -n "$1" ]; then
        check "$name: the pictures of an intact run" [ "$(digest "$dir")" == "$(digest "$work/intact")" ]
        if [ "$1" != kelpwake.mp3 ] || [ "$2" == half ]; then
            check "$name: the music of an intact run" cmp -s -n $first_cue "$dir/sound.wav" "$work/intact/sound.wav"
        elif [ -n "$expected" ]; then
            check "$name: silence, then the samples" samples_alone "$dir/sound.wav"
        fi
    fi
    rm -rf "$dir"
}

mkdir -p "$work/intact" && cp -r "$build/data" "$work/intact/"
capture "$work/intact"
frames=$(ls "$work/intact/frames" | wc -l)
boxes=$(grep -c '^Error' "$work/intact/stderr")
check "intact: $frames frames, $boxes boxes" [ "$frames" -ge 69 -a "$boxes" -eq 0 ]
[ $failed -eq 0 ] || finish

n=0
for f in "${assets[@]}"; do
    ways=(missing empty half random other-kind unreadable)
    if [[ $f == *.png ]]; then ways+=(huge-png); else ways+=(wav-huge wav-short wav-fmt); fi
    for way in "${ways[@]}"; do
        n=$((n + 1))
        run_case "$f" "$way" >"$work/$n.log" &
        while [ "$(jobs -rp | wc -l)" -ge 2 ]; do wait -n; done
    done
done
run_case "" no-data >"$work/0.log"
wait
cat "$work"/*.log
failed=$(cat "$work"/*.log | grep -c '^FAIL')
finish
