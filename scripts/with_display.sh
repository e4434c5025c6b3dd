#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a virtual one
# started for the command and stopped after it.
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
  local_number="${DISPLAY#:}"
  local_number="${local_number%%.*}"
  # A local display whose socket is gone is stale; anything else is used as is.
  if [[ "$DISPLAY" != :* ]] || [ -e "/tmp/.X11-unix/X$local_number" ]; then
    exec "$@"
  fi
fi
display=:$(( 90 + RANDOM % 100 ))
while [ -e "/tmp/.X11-unix/X${display#:}" ]; do display=:$(( 90 + RANDOM % 100 )); done
# -noreset: without it the server resets whenever its last client leaves, and
# the next test that connects during the reset is refused.
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY="$display"
"$@"
