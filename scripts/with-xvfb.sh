#!/usr/bin/env bash
# Runs a command under a virtual X server of its own and returns its
# status: with-xvfb.sh COMMAND [ARG...]
set -uo pipefail
. "$(dirname "$0")/lib.sh"
dir=$(mktemp -d /tmp/vesk-xvfb-XXXXXX)
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$dir"' EXIT
start_xvfb "$dir" || { echo "with-xvfb: Xvfb did not start: $(tail -3 "$dir/xvfb.log")" >&2; exit 1; }
"$@"
