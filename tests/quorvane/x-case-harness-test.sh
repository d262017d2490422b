#!/usr/bin/env bash
# Checks what the application tests under X stand on: their X server keeps what a client left on
# it after the client goes (it never resets, so no reset can close a connection being accepted),
# and a case that hangs is stopped within its share of the test's time limit, named with the
# step it was at, its processes gone, so that every case of a test whose cases all hang is named.
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
output=$(X_TEST_TIME_LIMIT=7 X_CASE_KILL_AFTER=1 bash -c \
  "source '$here/cases-within-a-time-limit.sh'; share_time_limit 2; run_within_limit stuck bash -c hang") || status=$?
if [ "$output" = "FAIL stuck (stopped after 2 s, at: waiting for nothing)" ] && [ "$status" -ne 0 ] \
  && [ $((SECONDS - started)) -lt 10 ] && ! ps -o stat= -p "$(cat "$scratch/sleeper")" | grep -qv Z; then
  echo "ok   stuck-case-stopped-with-its-name"
else
  echo "FAIL stuck-case-stopped-with-its-name (status $status after $((SECONDS - started)) s: $output)"
  failures=$((failures + 1))
fi

# Cases that shrug off the stop and wait out their kill, the longest a case can take, still end
# within the test's limit, each named.
stubborn() {
  trap '' TERM
  sleep 1000
}
export -f stubborn
started=$SECONDS
status=0
output=$(X_TEST_TIME_LIMIT=12 X_CASE_KILL_AFTER=1 bash -c "
  source '$here/cases-within-a-time-limit.sh'
  share_time_limit 3
  for name in first second third; do run_within_limit \$name bash -c stubborn || true; done" 2>&1) || status=$?
took=$((SECONDS - started))
if [ "$(grep -c '^FAIL .* (stopped after 2 s' <<<"$output")" -eq 3 ] && [ "$took" -lt 12 ]; then
  echo "ok   stubborn-cases-end-within-the-test-limit"
else
  echo "FAIL stubborn-cases-end-within-the-test-limit (after $took s of 12: $output)"
  failures=$((failures + 1))
fi
if ! X_TEST_TIME_LIMIT=30 bash -c "source '$here/cases-within-a-time-limit.sh'; share_time_limit 6" 2>/dev/null; then
  echo "ok   a-limit-too-short-for-the-cases-is-refused"
else
  echo "FAIL a-limit-too-short-for-the-cases-is-refused (six cases were given 30 s)"
  failures=$((failures + 1))
fi

# Each application test, its application never showing a window: every case is stopped and named
# within the test's limit, however many cases the test has.
never_shows=$scratch/never-shows
printf '#!/bin/sh\nexec sleep 1000\n' >"$never_shows"
chmod +x "$never_shows"
for test in "quit-tests 24 image-on-command-line svg-on-command-line styles-and-symbols-palette ruler-then-another-tool quit-answered-in-a-window-with-a-sheet map-with-its-contour-layer-active" \
  "display-ends-test 12 image-shown import-running contours-running"; do
  read -r script limit names <<<"$test"
  started=$SECONDS
  status=0
  output=$(X_TEST_TIME_LIMIT=$limit X_CASE_KILL_AFTER=1 "$here/$script.sh" "$never_shows" 2>&1) || status=$?
  took=$((SECONDS - started))
  named=0
  for name in $names; do grep -q "^FAIL $name (stopped after" <<<"$output" && named=$((named + 1)); done
  if [ "$status" -ne 0 ] && [ "$named" -eq "$(wc -w <<<"$names")" ] && [ "$took" -lt "$limit" ]; then
    echo "ok   $script-names-every-hung-case-within-its-limit"
  else
    echo "FAIL $script-names-every-hung-case-within-its-limit (status $status, $named named, after $took s of $limit: $output)"
    failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ]
