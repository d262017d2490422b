#!/usr/bin/env bash
# Builds the application and the tests of its windows, cursors and help with the address and
# undefined-behaviour sanitizers in build-asan/, then runs those tests and the quit tests (the
# application started and quit as a user would, tests/quorvane/quit-tests.sh, and ended by its X
# server going away, tests/quorvane/display-ends-test.sh). Not run by CI: the instrumented build
# takes most of an hour on four cores.
#   scripts/asan-app-tests.sh [gtest filter]
# Then, for random input under the same build:
#   tools/random-input/random_input.py --app build-asan/src/quorvane/quorvane --minutes 30
# Qt itself is not instrumented. Leaks are looked for in the application, not in the test executables
# (their shared controllers live as long as the process does); what the system libraries keep is
# not ours (scripts/system-leaks.supp).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"
filter="${1:-CursorStack*:RulerTool*:HelpWindow*:PickerTest*:ApplicationSingleton*:PackagePanel*}"
"$root/scripts/deps.sh"
export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true
# QUORVANE_ASAN_LIBRARIES="platform/ui;app;library" instruments those library folders only: the
# others come from the compiler cache of an ordinary build.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_ASAN=ON \
  -DQUORVANE_BUILD_BENCH=OFF -DQUORVANE_ASAN_LIBRARIES="${QUORVANE_ASAN_LIBRARIES:-}" >/dev/null
tests=(ui_tests vantrix_tests furniture_tests windows_tests library_tests)
cmake --build "$build" --parallel "${QUORVANE_BUILD_JOBS:-3}" --target quorvane "${tests[@]}"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1 ${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$root/scripts/system-leaks.supp ${LSAN_OPTIONS:-}"
status=0
for test in "${tests[@]}"; do
  ASAN_OPTIONS="detect_leaks=0 ${ASAN_OPTIONS:-}" \
    "$(find "$build/tests" -name "$test" -type f -executable | head -1)" --gtest_filter="$filter" || status=1
done
# Whole allocation stacks, through Qt too, so that the suppressions can name what they leave out.
export ASAN_OPTIONS="detect_leaks=1 fast_unwind_on_malloc=0 ${ASAN_OPTIONS:-}"
"$root/tests/quorvane/quit-tests.sh" "$build/src/quorvane/quorvane" || status=1
"$root/tests/quorvane/display-ends-test.sh" "$build/src/quorvane/quorvane" || status=1
exit $status
