#!/usr/bin/env bash
# Takes the user manual's pictures again from the real windows on the demo
# installation and puts them in docs/manual/images.
# Usage: scripts/screenshots.sh [BUILD_FOLDER]   (default build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
[ -d "$build" ] || cmake --preset dev
cmake --build "$build" --target vantor_screenshots
mkdir -p docs/manual/images
# The pictures show Qt's own style, with a home of their own so that no user setting
# shows, and the demo installation in a folder whose name reads well in a picture.
home=${TMPDIR:-/tmp}/vantor-manual
rm -rf "$home"
mkdir -p "$home"
trap 'rm -rf "$home"' EXIT
install="$home/drive_c/Program Files/Microsoft Games/Train Simulator"
mkdir -p "$(dirname "$install")"
cp -r demo "$install"
HOME="$home" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
  "$build/bin/vantor_screenshots" docs/manual/images "$install" "$home/drive_c"
