#!/usr/bin/env bash
# Every asset under data/, broken every way we can think of, rendered through
# the whole show with vesk-capture: missing, empty, cut to half, random
# bytes, a valid file of the other kind, a picture header claiming 60000 x
# 60000 pixels, WAV headers whose sizes lie, an unreadable file, and data/
# missing altogether.
#
# Each case must: end within its time limit with status 0 after the show's
# last frame; stay under 200 MB; print exactly the "Error" boxes expected,
# naming the broken file with the show's own texts; and play the rest of the
# show as normal: with a broken picture the sound is identical to an intact
# run; with a broken sound every frame is identical, and so is the music up
# to the first sample's cue (or, without the music, the samples still sound).
#
# A broken sound that still decodes (a WAV cut short, whose header claims
# more than the file holds) plays what is there, without a box.
#
# Usage: bad-assets.sh        (VESK_BUILD names the build, default build/)
set -uo pipefail
. "$(dirname "$0")/lib.sh"

fps=5
size=32x32
case_seconds=120   # a case normally takes about a second
memory_limit_kb=$((200 * 1024))
images=(fishtank.png spinefin-256-transparent.png spinefin-open.png tolvane-transparent.png
        kelpwake-filled.png by-vesk.png outro.png outro2.png bubble.png blood.png)
samples=(spinefin.wav juice.wav tolvane.wav carcrash.wav)
music=kelpwake.mp3
# The order in which the show loads them, so the order of its boxes.
load_order=(spinefin.wav juice.wav tolvane.wav carcrash.wav fishtank.png spinefin-256-transparent.png
            spinefin-open.png tolvane-transparent.png kelpwake-filled.png by-vesk.png outro.png outro2.png
            bubble.png blood.png kelpwake.mp3)
# The first sample's cue is at 31 s: until then the mix is the music alone.
music_alone_bytes=$((44 + 30 * 44100 * 4))

capture=$build/vesk-capture
breaker=$build/vesk-break-asset

box_for() {
    case $1 in
    *.png) echo "Error: unable to load texture: data/$1" ;;
    *) echo "Error: unable to load sound: data/$1" ;;
    esac
}

# The boxes a case must show, one a line.
expected_boxes() {
    local file=$1 way=$2
    case $way in
    no-data) for f in "${load_order[@]}"; do box_for "$f"; done ;;
    half) [[ $file == *.png ]] && box_for "$file" ;;
    wav-huge) ;;
    *) box_for "$file" ;;
    esac
    return 0
}

# Breaks data/$file in directory $1 the way $2.
break_file() {
    local dir=$1 file=$2 way=$3
    local target=$dir/data/$file source=$build/data/$file
    case $way in
    missing) rm -f "$target" ;;
    empty) : >"$target" ;;
    no-data) rm -rf "$dir/data" ;;
    unreadable) chmod 000 "$target" ;;
    other-kind)
        if [[ $file == *.png ]]; then cp "$build/data/juice.wav" "$target"; else cp "$build/data/bubble.png" "$target"; fi ;;
    wav-*)
        [[ $file == *.wav ]] || source=$build/data/juice.wav  # the music slot gets a lying WAV
        "$breaker" "$way" "$source" "$target" ;;
    *) "$breaker" "$way" "$source" "$target" ;;
    esac
}

frames_digest() { cat "$1"/frames/*.png | md5sum | cut -d' ' -f1; }
frame_count() { find "$1/frames" -name '*.png' | wc -l; }
# Whether every sample after the WAV header up to byte $2 is zero.
silent_until() { [ "$(head -c "$2" "$1" | tail -c +45 | tr -d '\0' | head -c 1 | wc -c)" -eq 0 ]; }
silent_after() { [ "$(tail -c +"$2" "$1" | tr -d '\0' | head -c 1 | wc -c)" -eq 0 ]; }

# Runs the capture in $1 (which holds data/), as user $2 when given.
run_capture() {
    local dir=$1 user=${2:-}
    local -a as=()
    local program=$capture
    if [ -n "$user" ]; then
        chown -R "$user" "$dir"
        as=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups --reset-env)
        program=$work/bin/vesk-capture  # a copy the other user can reach
    fi
    (cd "$dir" && timeout -k 5 "$case_seconds" /usr/bin/time -o "$dir/memory" -f %M \
        "${as[@]}" env HOME="$dir" "$program" --fps $fps --size $size --frames frames --audio sound.wav \
        >"$dir/stdout" 2>"$dir/stderr")
}

# One case: prints "ok LABEL" or "FAIL LABEL: reasons".
run_case() {
    local file=$1 way=$2 user=${3:-}
    local label="$way ${file:-data/}"
    local dir=$work/cases/${way}-${file:-all}
    mkdir -p "$dir"
    cp -r "$build/data" "$dir/data"
    break_file "$dir" "$file" "$way" || { echo "FAIL $label: could not break the file"; return; }
    run_capture "$dir" "$user"
    local status=$? problems=()
    [ "$status" -eq 0 ] || problems+=("exit status $status$([ $status -eq 124 ] && echo ' (time limit)')")
    local memory
    memory=$(tail -n 1 "$dir/memory" 2>/dev/null)
    [[ $memory =~ ^[0-9]+$ ]] && [ "$memory" -lt $memory_limit_kb ] || problems+=("peak memory ${memory:-unknown} KB")
    local boxes wanted
    boxes=$(grep '^Error' "$dir/stderr")
    wanted=$(expected_boxes "$file" "$way")
    [ "$boxes" == "$wanted" ] || problems+=("boxes were [${boxes//$'\n'/; }], expected [${wanted//$'\n'/; }]")
    if [ -d "$dir/frames" ]; then
        [ "$(frame_count "$dir")" -eq "$baseline_frames" ] || problems+=("$(frame_count "$dir") frames, not $baseline_frames")
    else
        problems+=("no frames written")
    fi
    local sound=$dir/sound.wav
    if [ ${#problems[@]} -eq 0 ] && [ "$way" != no-data ]; then
        if [[ $file == *.png ]]; then
            cmp -s "$sound" "$work/baseline/sound.wav" || problems+=("the sound differs from an intact run")
        else
            [ "$(frames_digest "$dir")" == "$baseline_digest" ] || problems+=("the pictures differ from an intact run")
            if [ "$file" != "$music" ]; then
                cmp -s -n $music_alone_bytes "$sound" "$work/baseline/sound.wav" || problems+=("the music differs from an intact run")
            elif [ -n "$wanted" ]; then
                silent_until "$sound" $music_alone_bytes || problems+=("sound before the first cue without the music")
                ! silent_after "$sound" $music_alone_bytes || problems+=("the samples are silent without the music")
            elif [ "$way" == half ]; then
                cmp -s -n $music_alone_bytes "$sound" "$work/baseline/sound.wav" || problems+=("the first half of the music differs")
            fi
        fi
    fi
    if [ ${#problems[@]} -eq 0 ]; then
        echo "ok $label ($((memory / 1024)) MB)"
    else
        local IFS=';'
        echo "FAIL $label: ${problems[*]}"
        sed 's/^/        stderr: /' "$dir/stderr" | grep -v ' frames in ' | head -n 20
    fi
    rm -rf "$dir"
}

# Internal: one case, run by xargs below.
if [ "${1:-}" == --case ]; then
    work=$2 baseline_frames=$3 baseline_digest=$4
    shift 4
    run_case "$@"
    exit 0
fi

need_program "$capture"
need_program "$breaker"
[ -d "$build/data" ] || { echo "bad-assets: $build/data is missing" >&2; exit 2; }
make_work_dir

echo "== Broken assets through vesk-capture ($size at $fps fps)"
mkdir -p "$work/baseline" "$work/cases"
chmod 755 "$work" "$work/cases"  # the unreadable cases run as another user
cp -r "$build/data" "$work/baseline/data"
run_capture "$work/baseline"
baseline_status=$?
baseline_frames=$(frame_count "$work/baseline")
if [ $baseline_status -ne 0 ] || grep -q '^Error' "$work/baseline/stderr" || [ "$baseline_frames" -lt 300 ]; then
    fail "intact run: status $baseline_status, $baseline_frames frames"
    cat "$work/baseline/stderr"
    finish
fi
baseline_digest=$(frames_digest "$work/baseline")
pass "intact run: $baseline_frames frames, no box, $(cat "$work/baseline/memory") KB"

# Who can be denied a file: root reads mode 000 files, so as root the
# unreadable cases run the capture as nobody.
unreadable_user=""
unreadable_ok=yes
if [ "$(id -u)" -eq 0 ]; then
    if id nobody >/dev/null 2>&1 && command -v setpriv >/dev/null; then
        unreadable_user=nobody
        # The build may lie where nobody cannot go (under /root, say).
        mkdir -p "$work/bin"
        cp "$capture" "$work/bin/vesk-capture"
        chmod 755 "$work/bin"
        if ! setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups test -x "$work/bin/vesk-capture"; then
            unreadable_ok="nobody cannot run programs from $work"
        fi
    else
        unreadable_ok="running as root without the user nobody or setpriv"
    fi
fi

cases=$work/case-list
{
    for f in "${images[@]}" "${samples[@]}" "$music"; do
        for way in missing empty half random other-kind; do echo "$f $way"; done
        [ "$unreadable_ok" == yes ] && echo "$f unreadable $unreadable_user"
    done
    for f in "${images[@]}"; do echo "$f huge-png"; done
    for f in "${samples[@]}" "$music"; do
        for way in wav-huge wav-short wav-fmt; do echo "$f $way"; done
    done
    echo "'' no-data"
} >"$cases"
[ "$unreadable_ok" == yes ] || skip "unreadable files: $unreadable_ok"

results=$work/results
jobs=${VESK_JOBS:-$(nproc)}
xargs -P "$jobs" -L 1 "$0" --case "$work" "$baseline_frames" "$baseline_digest" <"$cases" >"$results"

largest=0
while IFS= read -r line; do
    case $line in
    "ok "*)
        pass "${line#ok }"
        megabytes=${line##*(}
        megabytes=${megabytes%% MB)}
        [ "$megabytes" -gt "$largest" ] && largest=$megabytes ;;
    "FAIL "*) fail "${line#FAIL }" ;;
    *) echo "$line" ;;
    esac
done <"$results"
echo "  the largest peak memory of a case: $largest MB"
finish
