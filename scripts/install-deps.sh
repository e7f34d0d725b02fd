#!/usr/bin/env bash
# Installs the Debian packages that building, testing and the demo need.
# Safe to run again: packages already present are not reinstalled, and apt is
# only consulted when something is missing.
# --bench installs instead what the side-by-side benchmark needs on top: the
# launcher it is compared with (rofi) and the X tools it drives both with. They
# stay out of the default set, since nothing but `make bench` uses them.
set -euo pipefail

packages=(
  # build
  cmake g++ ninja-build pkg-config make clang-format
  # fuzzing (make fuzz)
  clang libfuzzer-14-dev libclang-rt-14-dev
  qt6-base-dev qt6-declarative-dev qt6-image-formats-plugins libqt6svg6 qt6-svg-dev
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
  qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtqml
  qml6-module-qtqml-workerscript qml6-module-qtqml-models qml6-module-qttest
  # translations: lupdate/lrelease and their CMake functions (qt_add_translations)
  qt6-tools-dev qt6-l10n-tools
  libplist-dev libplist-utils libglib2.0-dev libxcb1-dev libxcb-keysyms1-dev
  # tests, end-to-end runs and the demo
  xvfb xauth libgl1-mesa-dri libegl1 imagemagick x11-utils xdotool dbus
  python3 python3-pil
  # the Wayland flow: a nested compositor and Qt's Wayland platform
  weston qt6-wayland
  # installation and the Debian package (make install, make package), and their checks
  librsvg2-bin desktop-file-utils appstream groff-base man-db dpkg-dev fakeroot file lintian
)

bench_packages=(xvfb xauth x11-utils xdotool python3 python3-pil python3-xlib rofi)
if [ "${1:-}" = "--bench" ]; then
  packages=("${bench_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
