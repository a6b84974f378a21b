#!/usr/bin/env bash
# Runs clang-tidy on the product's sources (library, app, cli) on every processor,
# with every warning an error. Needs a configured build for its compile commands.
# Usage: scripts/tidy.sh [BUILD_FOLDER]   (default build/dev)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
git ls-files -- 'library/*.cpp' 'app/*.cpp' 'cli/*.cpp' |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet --warnings-as-errors='*'
