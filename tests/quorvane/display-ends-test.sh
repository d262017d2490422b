#!/usr/bin/env bash
# Starts the application with an image under a virtual X server of its own, then ends that server, as
# when a remote session drops: Qt's display connection then ends the process at once with exit(1),
# without quitting. It passes when the process ends with that status and its error output holds no
# sanitizer report (nothing that outlives the exit may reach what the exit has destroyed).
#   tests/quorvane/display-ends-test.sh path/to/quorvane
# Needs xvfb-run and xdotool (apt-get install -y xvfb xauth xdotool).
set -euo pipefail
app=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY_ENDS_TEST_SERVER:-}" ]; then
  # xvfb-run fails in its own clean-up when its server has gone already: the verdict is the line printed.
  output=$(DISPLAY_ENDS_TEST_SERVER=1 xvfb-run -a -s "-screen 0 1600x1000x24" "$0" "$@" 2>&1) || true
  echo "$output"
  grep -qx "ok   display-ends" <<<"$output"
  exit
fi
export QT_QPA_PLATFORM=xcb
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$here/field.png" "$scratch/"
HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config" XDG_DATA_HOME="$scratch/.local/share" \
  "$app" "$scratch/field.png" >"$scratch/log" 2>&1 &
pid=$!
# xvfb-run started the X server beside this script.
server=$(pgrep -P "$PPID" -x Xvfb)
window=$(timeout 60 xdotool search --sync --all --onlyvisible --pid "$pid" --name Untitled | head -1) || true
kill "$server"
status=0
timeout 120 tail --pid="$pid" -f /dev/null || kill -9 "$pid"
wait "$pid" || status=$?
if [ -z "$window" ] || [ "$status" -ne 1 ] || grep -qE "Sanitizer|runtime error:" "$scratch/log"; then
  echo "FAIL display-ends (exit status $status${window:+, window $window shown})"
  tail -40 "$scratch/log"
  exit 1
fi
echo "ok   display-ends"
