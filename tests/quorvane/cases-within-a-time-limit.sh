# Sourced by the tests that drive the application case by case under X.

# Each case runs as a process group of its own within a time limit: one that hangs (a window
# that never shows, a focus that never comes, an application that never quits) fails at once
# with its name and the step it was at, and takes its processes with it, rather than keeping
# the whole test waiting for ctest's own limit.

# The test's own limit, which tests/CMakeLists.txt gives ctest and this script alike: should
# every case hang, each is still stopped and named before ctest ends the test.
test_time_limit=${X_TEST_TIME_LIMIT:-300}
# What a case stopped at its limit is given to end before it is killed.
case_kill_after=${X_CASE_KILL_AFTER:-5}

# share_time_limit COUNT: gives each of COUNT cases an equal share of the test's limit, less a
# tenth kept for the X server's start and the test's own end, and less its kill time.
share_time_limit() {
  case_time_limit=$((test_time_limit * 9 / 10 / $1 - case_kill_after))
  if [ "$case_time_limit" -lt 1 ]; then
    echo "FAIL the test's limit of $test_time_limit s leaves its $1 cases no time" >&2
    return 1
  fi
}

# Notes what the case is doing now, for its runner to tell when the case hangs.
note_step() { [ -z "${case_step_file:-}" ] || echo "$*" >"$case_step_file"; }

# Whether a status from run_within_limit is that of a case it stopped.
was_stopped() { [ "$1" -eq 124 ] || [ "$1" -eq 137 ]; }

# run_within_limit NAME COMMAND...: runs COMMAND (which says "ok" or "FAIL" itself) and answers
# its status; one still running after its share of the limit is stopped and reported as a failure.
run_within_limit() {
  local name=$1 status=0 case_step_file
  shift
  case_step_file=$(mktemp)
  echo "starting" >"$case_step_file"
  # timeout puts the command in a group of its own and signals the whole group.
  case_step_file=$case_step_file timeout --kill-after="$case_kill_after" "${case_time_limit:?share_time_limit first}" "$@" \
    || status=$?
  if was_stopped "$status"; then
    echo "FAIL $name (stopped after $case_time_limit s, at: $(cat "$case_step_file"))"
  fi
  rm -f "$case_step_file"
  return "$status"
}
