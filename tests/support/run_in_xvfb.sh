#!/usr/bin/env bash
# Runs a command inside a private virtual X server of the given screen size, which is stopped
# when the command ends: run_in_xvfb.sh WIDTHxHEIGHTxDEPTH command [args...]
#
# The server picks a free display number itself (-displayfd) and reports it once it accepts
# connections, so two runs started together can neither take the same display nor talk to
# another run's server (which picking a number by looking for lock files, as xvfb-run -a does,
# allows). -noreset keeps the server from resetting when its last client leaves: during a reset
# it refuses connections, so a test that closes its window and opens another would find no X
# server about half the time.
set -euo pipefail
screen="$1"
shift

fifo_dir="$(mktemp -d)"
trap 'rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/display"

Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$fifo_dir/display" 2>"$fifo_dir/xvfb.log" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$fifo_dir"' EXIT

if ! read -r -t 30 number <"$fifo_dir/display" || [ -z "$number" ]; then
  echo "run_in_xvfb.sh: the virtual X server did not start" >&2
  cat "$fifo_dir/xvfb.log" >&2
  exit 1
fi
DISPLAY=":$number" "$@"
