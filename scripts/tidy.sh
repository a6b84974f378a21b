#!/usr/bin/env bash
# Runs clang-tidy on the product's sources (library, app, cli) on every processor,
# with every warning an error. Needs a configured build for its compile commands.
# Usage: scripts/tidy.sh [BUILD_FOLDER]   (default build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
run-clang-tidy -p "$build" -j "$(nproc)" -quiet -warnings-as-errors='*' \
  "$PWD/(library|app|cli)/.*\\.cpp\$"
