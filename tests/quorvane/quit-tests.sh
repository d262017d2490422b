#!/usr/bin/env bash
# Starts the application as a user would, under a virtual X server, and quits it with Ctrl+Q: with an
# image and with an SVG named on the command line, after opening the Styles & Symbols palette, after
# the Ruler then another tool over repositioned content, and with a map whose contour layer is active
# (its panel shows), and with an unsaved map in Reposition Content answered through keys typed into
# the map's window while its question and Save As panel show. A case fails when a step fails, the
# application does not end with status 0, its error output holds a sanitizer report, or it has not
# ended within the case time limit (see cases-within-a-time-limit.sh).
#   tests/quorvane/quit-tests.sh path/to/quorvane
# Needs Xvfb and xdotool (apt-get install -y xvfb xdotool).
set -euo pipefail
app=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=xcb
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
source "$here/cases-within-a-time-limit.sh"
source "$here/windows-under-xdotool.sh"
source "$here/x-server-of-its-own.sh"

nothing_more() { :; }
open_styles_and_symbols() {
  after_welcome "$2"
  keys_to "$1" alt+w Down Return
  shown_window "$2" "Styles & Symbols" >/dev/null
}
contour_panel_shown() { shown_window "$2" "Contours" >/dev/null; }
ruler_then_selection_tool() {
  after_welcome "$2"
  keys_to "$1" alt+v Down Down Down Down Return
  xdotool mousemove --window "$1" 300 300 click 1
  keys_to "$1" m v
}

shown_windows() { xdotool search --all --onlyvisible --pid "$1" --name '' 2>/dev/null || true; }
# The first window of process PID shown that is not among BEFORE (its shown windows, one a line)
# within SECONDS, a minute by default.
newly_shown_window() {
  local tries found
  for tries in $(seq $((${3:-60} * 5))); do
    found=$(shown_windows "$1" | grep -vxF -- "$2" | head -1) || true
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.2
  done
  return 1
}

# An unsaved map in Reposition Content, quit: its question and then its Save As panel are sheets
# of the map's window, and Return typed into that window (as where no window manager moves the
# focus to a sheet) answers each: Save, then save into the panel's folder, which ends the quit.
keys_typed_into_a_window_with_a_sheet() {
  after_welcome "$2"
  keys_to "$1" alt+l Return
  keys_to "$1" alt+v Down Down Down Down Return
  local before
  before=$(shown_windows "$2")
  keys_to "$1" ctrl+q
  newly_shown_window "$2" "$before" >/dev/null || return 1
  keys_to "$1" Return
  shown_window "$2" "Save As" 20 >/dev/null || return 1
  keys_to "$1" Return
  window_gone "$1"
}

# run_case NAME FILE STEPS [TITLE]: starts the application with FILE (which opens as a new map
# unless it is one), runs STEPS on the map's window (titled TITLE, "Untitled" by default), and quits.
# Runs as a process of its own (the script with QUIT_CASE set), within the case time limit.
run_case() {
  local name=$1 file=$2 steps=$3 title=${4:-Untitled}
  local home="$scratch/$name" log="$scratch/$name.log"
  mkdir -p "$home"
  cp -R "$file" "$home/"
  local opened="$home/$(basename "$file")"
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" "$app" "$opened" >"$log" 2>&1 &
  local pid=$!
  local window status=0 stepped=0
  window=$(shown_window "$pid" "$title") || true
  if [ -n "$window" ]; then
    "$steps" "$window" "$pid" || stepped=$?
    # Steps that saw their own quit through leave no window to type into.
    if window_exists "$window"; then keys_to "$window" ctrl+q || true; fi
  fi
  note_step "waiting for the application to quit"
  wait "$pid" || status=$?
  if [ -z "$window" ] || [ "$stepped" -ne 0 ] || [ "$status" -ne 0 ] || grep -qE "Sanitizer|runtime error:" "$log"; then
    echo "FAIL $name (exit status $status${window:+, window $window shown}, steps $stepped)"
    tail -40 "$log"
    return 1
  fi
  echo "ok   $name"
}

if [ -n "${QUIT_CASE:-}" ]; then
  run_case "$QUIT_CASE" "${@:2}"
  exit
fi

# NAME FILE STEPS [TITLE], one case a line, each run as this script with QUIT_CASE set.
cases=(
  "image-on-command-line field.png nothing_more"
  "svg-on-command-line field.svg nothing_more"
  "styles-and-symbols-palette field.png open_styles_and_symbols"
  "ruler-then-another-tool field.svg ruler_then_selection_tool"
  "quit-answered-in-a-window-with-a-sheet field.png keys_typed_into_a_window_with_a_sheet"
  "map-with-its-contour-layer-active terrain.qvnl contour_panel_shown terrain"
)
share_time_limit "${#cases[@]}"
scratch=$(mktemp -d)
export scratch
start_x_server
stop_x_server_and_remove_on_exit "$scratch"
failures=0
for line in "${cases[@]}"; do
  read -r name file steps title <<<"$line"
  status=0
  QUIT_CASE=$name run_within_limit "$name" "$0" "$app" "$here/$file" "$steps" ${title:+"$title"} || status=$?
  [ "$status" -eq 0 ] && continue
  failures=$((failures + 1))
  # A case stopped from outside could not show its application's output.
  if was_stopped "$status"; then tail -40 "$scratch/$name.log"; fi
done
[ "$failures" -eq 0 ]
