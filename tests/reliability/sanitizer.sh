#!/usr/bin/env bash
# The sanitizer stages, each in its preset's build directory under the
# source tree (CMakePresets.json):
#   sanitizer.sh build PRESET  configures PRESET and builds its targets
#   sanitizer.sh unit          the unit tests under ASan and UBSan
#   sanitizer.sh show          under ASan and UBSan: a capture of the whole
#                              show, and the real show in its window closed
#                              mid-show by the request a window manager
#                              sends (WM_DELETE_WINDOW): exit 0 at once
#   sanitizer.sh tsan          builds the platform tests under ThreadSanitizer
#                              and runs them: the device and decoder threads
#                              race the main thread's play and mute calls
# Each process writes its reports to files of its own, so a report counts
# even where a test looks only at a child's status; there must be none.
set -uo pipefail
. "$(dirname "$0")/lib.sh"
reports=$work/reports
export ASAN_OPTIONS="log_path=$reports/asan:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1"
export TSAN_OPTIONS="log_path=$reports/tsan:second_deadlock_stack=1"
export LSAN_OPTIONS="suppressions=$repo/tests/support/leaks.supp:print_suppressions=0"
export SDL_AUDIODRIVER=dummy
no_reports() {
    check "no sanitizer report ($(ls "$reports" 2>/dev/null | wc -l))" [ -z "$(ls "$reports" 2>/dev/null)" ]
    head -n 40 "$reports"/* 2>/dev/null
    finish
}
build() {  # The asset generator runs in the build; its font library keeps its caches.
    (cd "$repo" && cmake --preset "$1" && ASAN_OPTIONS=detect_leaks=0 cmake --build --preset "$1" -j2) >"$work/build.log" 2>&1 ||
        { tail -n 40 "$work/build.log"; exit 1; }
}

case $1 in
build) build "$2" ;;
unit) check "the unit tests" eval '(cd "$repo" && ctest --preset asan)'; no_reports ;;
tsan)
    build tsan
    check "the platform tests" "$(find "$repo/build-tsan" -name vesk_platform_tests -type f | head -n 1)" --gtest_brief=1
    no_reports ;;
show)
    build=$repo/build-asan
    # Mesa's driver stays loaded to the end, so that its blocks carry its name.
    export LD_PRELOAD=$(ls /usr/lib/*/dri/swrast_dri.so | head -n 1) ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0
    copy_data "$work/capture"
    (cd "$work/capture" && "$build/vesk-capture" --fps 2 --size 32x32 --audio sound.wav 2>stderr)
    status=$?
    boxes=$(grep '^Error' "$work/capture/stderr")
    check "a capture of the whole show: status $status, boxes: $boxes" [ $status -eq 0 -a -z "$boxes" ]
    start_own_xvfb
    copy_data "$work/show"
    export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/show/sound.raw
    # In real time: under faketime's fast clock the sanitized show's exit
    # aborts in a futex wait whose timeout faketime converted.
    start_show "$work/show" env
    window=$(wait_window VESK 60)
    until audible "$work/show/sound.raw" || ! kill -0 "$show_pid" 2>/dev/null; do sleep 0.1; done
    sleep 47  # 47 s of show from the music's start: the blood, the tolvane and the juice sample are alive
    asked=$(now)
    check "the close request is sent" "$build/vesk-close-window" "$window"
    wait_show 20
    check "exit status 0 ($show_status) at once ($(since "$asked") s)" eval '[ "$show_status" -eq 0 ] && between "$(since "$asked")" 0 5'
    said=$(grep -v -e '^CRITICAL: ' -e '^$' "$work/show/stderr")
    check "nothing on stderr: $said" [ -z "$said" ]
    no_reports ;;
esac
