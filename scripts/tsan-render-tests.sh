#!/usr/bin/env bash
# Builds the drawing-framework tests with ThreadSanitizer in build-tsan/ and runs the tests that
# render on several threads (tiled images, the view's background rendering). Not run by CI.
#   scripts/tsan-render-tests.sh [gtest filter]
# Qt itself is not instrumented: tsan.supp leaves out what happens inside Qt's own libraries.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-tsan"
filter="${1:-TiledRendering*:CachedView*:ImageOutput*:DrawingRender*:BackgroundTileQueue*:RenderGate*:RenderSteps*}"
"$root/scripts/deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVANE_TSAN=ON \
    -DQUORVANE_BUILD_BENCH=OFF
fi
cmake --build "$build" --parallel "${QUORVANE_BUILD_JOBS:-2}" --target vantrix_tests
export QT_QPA_PLATFORM=offscreen
# die_after_fork=0: a test paints in a forked child after threads have run.
export TSAN_OPTIONS="suppressions=$root/scripts/tsan.supp halt_on_error=0 second_deadlock_stack=1 die_after_fork=0 ${TSAN_OPTIONS:-}"
start=$(date +%s)
"$build/tests/platform/vantrix/vantrix_tests" --gtest_filter="$filter"
echo "ThreadSanitizer run took $(( $(date +%s) - start )) s"
