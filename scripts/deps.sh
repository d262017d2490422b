#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quorvane need.
# Idempotent: does nothing when all packages are present. --bench adds the benchmarks' peer tools.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git lld
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins libgl-dev
  qt6-pdf-dev  # the shared map picture is read from the drawing's PDF
  libplist-dev libpotrace-dev libgif-dev libfontconfig-dev  # fontconfig: the installed faces with their PostScript names
  libzip-dev zip unzip  # library export; zip and unzip are what the tests and the benchmark check it against
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-dejavu-core fonts-urw-base35 poppler-utils  # fonts-urw-base35 answers "Helvetica" and the other named families
  libshp-dev shapelib
  libxml2-dev  # its HTML parser reads pasted HTML
  adwaita-icon-theme libwacom-common librsvg2-bin  # real SVG files and the renderer the import tests compare with
  xdg-utils  # sharing a map picture: xdg-email and the desktop image viewer
  imagemagick giflib-tools  # with poppler-utils, independent readers of exported images and PDF files
  libxcb1-dev  # a window showing a sheet passes it the keys typed into it
  xvfb xauth xdotool  # the quit tests start the application under a virtual X server and type into it
)
# Peer tools that only the benchmarks compare against.
if [ "${1:-}" = "--bench" ]; then
  packages+=(gdal-bin libtiff-tools wamerican)  # wamerican: the word list of the sounds-like benchmark
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
