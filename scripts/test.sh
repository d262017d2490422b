#!/usr/bin/env bash
# Installs what is missing, builds everything (tests and benchmarks) and runs the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${QUORVANE_BUILD_DIR:-$root/build}"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
