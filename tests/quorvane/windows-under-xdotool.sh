# Sourced by the tests that drive the application under a virtual X server with xdotool (after
# cases-within-a-time-limit.sh, whose note_step tells what each waits for).

# The first shown window of process PID whose title matches NAME, within SECONDS (a minute by
# default: plenty even for an instrumented build). Polls rather than waits in xdotool: a window
# that goes while xdotool looks through them all (a menu closing) ends that search with BadWindow.
shown_window() {
  local tries found
  note_step "waiting for the window “$2”"
  for tries in $(seq $((${3:-60} * 5))); do
    found=$(xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null | head -1) || true
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.2
  done
  return 1
}
# On a first launch the welcome window comes a moment after the map's and takes the keys: a case
# that types into the map lets it come first (process PID).
after_welcome() { shown_window "$1" "Welcome To Quorvane" 20 >/dev/null || true; }
keys_to() {
  local window=$1
  shift
  note_step "typing $* into window $window"
  xdotool windowfocus --sync "$window" key --delay 100 "$@"
}
window_exists() { xdotool getwindowname "$1" >/dev/null 2>&1; }
# Waits until WINDOW has gone, as when its application has quit, within SECONDS (20 by default).
window_gone() {
  local tries
  note_step "waiting for window $1 to go"
  for tries in $(seq $((${2:-20} * 5))); do
    window_exists "$1" || return 0
    sleep 0.2
  done
  return 1
}
