#!/usr/bin/env bash
# Checks what the application tests under X stand on: their X server keeps what a client left on
# it after the client goes (it never resets, so no reset can close a connection being accepted),
# and a case that hangs is stopped within its time limit, named with the step it was at, its
# processes gone.
#   tests/quorvane/x-case-harness-test.sh
# Needs Xvfb and xdotool.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/x-server-of-its-own.sh"
failures=0
scratch=$(mktemp -d)
start_x_server
stop_x_server_and_remove_on_exit "$scratch"

# Each xdotool is a client that comes and goes: the name one gives the root window outlives it.
root=$(xdotool search --maxdepth 0 --name '')
xdotool set_window --name "left by a client" "$root"
if [ "$(xdotool getwindowname "$root")" = "left by a client" ]; then
  echo "ok   server-keeps-what-a-client-left"
else
  echo "FAIL server-keeps-what-a-client-left (the server reset when its last client left)"
  failures=$((failures + 1))
fi

hang() {
  source "$here/cases-within-a-time-limit.sh"
  note_step "waiting for nothing"
  sleep 1000 &
  echo $! >"$scratch/sleeper"
  wait
}
export -f hang
export here scratch
started=$SECONDS
status=0
# A process ended but not yet reaped counts as gone.
output=$(CASE_TIME_LIMIT=2 bash -c "source '$here/cases-within-a-time-limit.sh'; run_within_limit stuck bash -c hang") || status=$?
if [ "$output" = "FAIL stuck (stopped after 2 s, at: waiting for nothing)" ] && [ "$status" -ne 0 ] \
  && [ $((SECONDS - started)) -lt 10 ] && ! ps -o stat= -p "$(cat "$scratch/sleeper")" | grep -qv Z; then
  echo "ok   stuck-case-stopped-with-its-name"
else
  echo "FAIL stuck-case-stopped-with-its-name (status $status after $((SECONDS - started)) s: $output)"
  failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
