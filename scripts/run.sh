#!/usr/bin/env bash
# Installs what is missing, builds, and opens Vantor on the demo installation.
# The run keeps its settings and log in build/demo-home, never in the user's own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake --preset dev >/dev/null
cmake --build --preset dev
home="$PWD/build/demo-home"
mkdir -p "$home/config/Vantor" "$home/state"
settings="$home/config/Vantor/Vantor.conf"
if [ ! -f "$settings" ]; then
  printf '[Settings]\nMSTSDir=%s\nMainLeft=600\nMainTop=600\nMainWidth=15000\nMainHeight=11000\n' \
    "$PWD/demo" > "$settings"
fi
export XDG_CONFIG_HOME="$home/config" XDG_STATE_HOME="$home/state"
exec build/dev/bin/Vantor "$@"
