# Sourced by the tests that drive the application case by case under X.

# Each case runs as a process group of its own within a time limit: one that hangs (a window
# that never shows, a focus that never comes, an application that never quits) fails at once
# with its name and the step it was at, and takes its processes with it, rather than keeping
# the whole test waiting for ctest's own limit.
case_time_limit=${CASE_TIME_LIMIT:-60}

# Notes what the case is doing now, for its runner to tell when the case hangs.
note_step() { [ -z "${case_step_file:-}" ] || echo "$*" >"$case_step_file"; }

# Whether a status from run_within_limit is that of a case it stopped.
was_stopped() { [ "$1" -eq 124 ] || [ "$1" -eq 137 ]; }

# run_within_limit NAME COMMAND...: runs COMMAND (which says "ok" or "FAIL" itself) and answers
# its status; one still running after the limit is stopped and reported as a failure.
run_within_limit() {
  local name=$1 status=0 case_step_file
  shift
  case_step_file=$(mktemp)
  echo "starting" >"$case_step_file"
  # timeout puts the command in a group of its own and signals the whole group.
  case_step_file=$case_step_file timeout --kill-after=5 "$case_time_limit" "$@" || status=$?
  if was_stopped "$status"; then
    echo "FAIL $name (stopped after $case_time_limit s, at: $(cat "$case_step_file"))"
  fi
  rm -f "$case_step_file"
  return "$status"
}
