# What the scripts and the test stages share, sourced: a virtual X server
# and wall-clock timing.
#
#   start_xvfb DIR   starts an X server of the caller's own (-displayfd
#                    picks a free display without a race), exports DISPLAY
#                    and sets xvfb_pid; DIR receives its log. The caller
#                    kills $xvfb_pid when done. Returns 1 when no server
#                    answers.
#   now              seconds since the epoch, with nanoseconds
#   since T          seconds from T (a `now`) to now, one decimal

start_xvfb() {
  local dir=$1
  rm -f "$dir/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
  [ -s "$dir/display" ] || return 1
  export DISPLAY=":$(cat "$dir/display")"
}

now() { date +%s.%N; }
since() { awk -v a="$(now)" -v b="$1" 'BEGIN { printf "%.1f", a - b }'; }
