#!/usr/bin/env bash
# Runs every benchmark of the build (built by scripts/test.sh, never run in CI), one after another.
# A failing benchmark does not stop the others; the exit status is non-zero if any failed.
#   bench/run.sh [--dry-run]   --dry-run lists the benchmarks it would run and installs nothing.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUORVANE_BUILD_DIR:-$root/build}"
dry_run=false
[ "${1:-}" = "--dry-run" ] && dry_run=true

# Executable regular files only: the build also leaves moc folders named bench_*_autogen.
mapfile -t benchmarks < <(find "$build/bench" -mindepth 2 -maxdepth 2 -type f -name 'bench_*' -perm -u+x 2>/dev/null | sort)
if [ ${#benchmarks[@]} -eq 0 ]; then
  echo "no benchmarks in $build/bench: build first (scripts/test.sh)" >&2
  exit 1
fi
if $dry_run; then
  printf '%s\n' "${benchmarks[@]}"
  exit 0
fi

"$root/scripts/deps.sh" --bench || exit 1
export QT_QPA_PLATFORM=offscreen
failed=()
for b in "${benchmarks[@]}"; do
  echo "== $(basename "$b")"
  "$b" || { echo "!! $(basename "$b") failed with status $?"; failed+=("$(basename "$b")"); }
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
