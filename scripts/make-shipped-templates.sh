#!/usr/bin/env bash
# Writes the shipped map templates into resources/bundle/"Quorvane Templates" with the
# application's own document writer. Run it after changing the templates' program, then commit
# the folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QUORVANE_BUILD_DIR:-$root/build}"
cmake --build "$build" --target make_shipped_templates
QT_QPA_PLATFORM=offscreen "$build/tools/shipped-templates/make_shipped_templates" \
  "$root/resources/bundle/Quorvane Templates"
