#!/usr/bin/env bash
# A PulseAudio server of the caller's own with a null sink, as a desktop's
# sound server runs. Sourced, it offers:
#   start_pulse DIR  `pulseaudio --system` with its socket in DIR (which the
#                    pulse user must be able to enter), the sink, and the
#                    server's threads real-time as rtkit would make them;
#                    exports PULSE_SERVER and sets pulse_pid. Returns 1 when
#                    the server does not start.
#   null_sink        for any server that answers PulseAudio clients: waits
#                    until it answers, adds the 44.1 kHz stereo sink "vesk"
#                    and makes it the default. Returns 1 when it never does.
# Run, `pulse-server.sh COMMAND [ARG...]` runs the command with such a
# server whose sink already runs, and returns its status.

null_sink() {
  # Until the server answers and its modules are in (WirePlumber's last). A
  # PipeWire graph still starting now and then takes the module but makes
  # no sink (its core connection broken): then it is loaded again.
  local module
  for _ in $(seq 50); do
    module=$(pactl load-module module-null-sink sink_name=vesk rate=44100 channels=2 2>/dev/null) &&
      for _ in $(seq 10); do pactl list short sinks 2>/dev/null | grep -q -w vesk && break 2; sleep 0.1; done
    [ -z "$module" ] || pactl unload-module "$module" 2>/dev/null
    sleep 0.1
  done
  # A graph whose session manager is still starting refuses a default sink
  # ("Not supported").
  for _ in $(seq 50); do pactl set-default-sink vesk 2>/dev/null && return 0; sleep 0.1; done
  return 1
}

start_pulse() {
  pulseaudio --system -n --high-priority=no --daemonize=no --exit-idle-time=-1 --disallow-exit --log-target=stderr \
    --load="module-native-protocol-unix socket=$1/native auth-anonymous=1" 2>"$1/server.log" &
  pulse_pid=$!
  export PULSE_SERVER=unix:$1/native
  null_sink || return 1
  # PulseAudio resets any nice value it is started with.
  chrt -a -r -p 5 "$pulse_pid" >/dev/null
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  dir=$(mktemp -d /tmp/vesk-pulse-XXXXXX)
  chmod 777 "$dir"
  trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$dir"' EXIT
  start_pulse "$dir" || { echo "pulse-server: the server did not start: $(tail -3 "$dir/server.log")" >&2; exit 1; }
  # A null sink left idle renders in blocks of 2 s, and a stream that
  # arrives waits for the rest of the block. A client with short fragments
  # shortens them once the block under way has passed.
  parec -d vesk.monitor --latency-msec=20 >/dev/null &
  sleep 2.5
  "$@"
fi
