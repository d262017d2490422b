#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorvane (arguments are passed on).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
exec "${QUORVANE_BUILD_DIR:-$root/build}/src/quorvane/quorvane" "$@"
