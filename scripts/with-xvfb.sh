#!/usr/bin/env bash
# Runs a command inside an X server of its own: Xvfb picks a free display
# number itself and names it only once it accepts connections, so parallel
# runs and leftover servers or sockets of earlier runs cannot get in the way.
# -noreset: the server would otherwise reset when a test closes its last
# connection, refusing the next test's connection while it does.
set -euo pipefail
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$fifo"' EXIT
if ! read -r -t 60 display <"$fifo"; then
  echo "with-xvfb: Xvfb did not start" >&2
  exit 1
fi
DISPLAY=":$display" "$@"
