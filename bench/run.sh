#!/usr/bin/env bash
# Runs every benchmark of the build (they are built by scripts/test.sh but not run in CI).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUORVANE_BUILD_DIR:-$root/build}"
"$root/scripts/deps.sh" --bench
export QT_QPA_PLATFORM=offscreen
for b in "$build"/bench/*/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
