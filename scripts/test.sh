#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
cmake --preset dev >/dev/null
cmake --build --preset dev
# Tests that draw need a display; the others run on Qt's offscreen platform.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
if command -v xvfb-run >/dev/null && [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset dev "$@"
else
  ctest --preset dev "$@"
fi
