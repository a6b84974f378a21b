#!/usr/bin/env bash
# Takes the user manual's pictures again from the real windows on the demo
# installation and puts them in docs/manual/images.
# Usage: scripts/screenshots.sh [BUILD_FOLDER]   (default build/dev)
# Needs xvfb-run (scripts/deps.sh test installs it). A second run gives the same files.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v xvfb-run >/dev/null || { echo "$0: xvfb-run is missing (scripts/deps.sh test)" >&2; exit 2; }
build=${1:-build/dev}
[ -d "$build" ] || cmake --preset dev
cmake --build "$build" --target vantor_screenshots
mkdir -p docs/manual/images
# The pictures show Qt's own style, with a home of their own so that no user setting
# shows, and the demo installation in a folder whose name reads well in a picture.
home=${TMPDIR:-/tmp}/vantor-manual
rm -rf "$home"
mkdir -p "$home/runtime"
chmod 700 "$home/runtime"
trap 'rm -rf "$home"' EXIT
install="$home/drive_c/Program Files/Microsoft Games/Train Simulator"
mkdir -p "$(dirname "$install")"
cp -r demo "$install"
# Every picture is taken on a virtual X display of its own, where the 3D window can
# draw with OpenGL (Mesa's software renderer) and no desktop's theme applies.
# No printer of this machine shows in the print dialog: it offers printing to PDF only.
env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION \
  -u QT_QPA_PLATFORMTHEME -u QT_STYLE_OVERRIDE -u QT_SCALE_FACTOR \
  CUPS_SERVER="$home/no-printers" HOME="$home" XDG_CONFIG_HOME="$home/.config" \
  XDG_RUNTIME_DIR="$home/runtime" QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 \
  xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bin/vantor_screenshots" docs/manual/images "$install" "$home/drive_c"
