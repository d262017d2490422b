#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quorvane (arguments are passed on).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
binary="${QUORVANE_BUILD_DIR:-$root/build}/src/quorvane/quorvane"

# The menu entry and the document types, for this user, so the desktop opens maps with this build.
data="${XDG_DATA_HOME:-$HOME/.local/share}"
mkdir -p "$data/applications" "$data/mime/packages"
sed "s|^Exec=quorvane|Exec=\"$binary\"|" "$root/resources/linux/quorvane.desktop" >"$data/applications/quorvane.desktop"
cp "$root/resources/linux/quorvane-mime.xml" "$data/mime/packages/quorvane-mime.xml"
if command -v update-mime-database >/dev/null; then update-mime-database "$data/mime" >/dev/null 2>&1 || true; fi
if command -v update-desktop-database >/dev/null; then update-desktop-database -q "$data/applications" >/dev/null 2>&1 || true; fi

exec "$binary" "$@"
