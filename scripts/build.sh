#!/usr/bin/env bash
# Configures and builds Quorvane in build/ (shared by run.sh and test.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

export CCACHE_BASEDIR="$root"
# Worktrees and clean clones build in different folders: share their cache entries.
export CCACHE_NOHASHDIR=true
export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
build="${QUORVANE_BUILD_DIR:-$root/build}"

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$build" --parallel "${QUORVANE_BUILD_JOBS:-$(nproc)}"
