#!/usr/bin/env bash
# Installs what is missing, builds, and opens the program on the demo installation.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake --preset dev >/dev/null
cmake --build --preset dev
# Until the application exists this shows the item tree of a demo consist.
exec build/dev/bin/corvane tree "demo/Trains/Consists/Demo Freight.con"
