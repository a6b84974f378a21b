#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Usage: scripts/deps.sh [build|test|ci|windows]
set -euo pipefail

profile=${1:-build}
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev libsquish-dev
          nlohmann-json3-dev libmimalloc-dev zlib1g-dev qt6-base-dev qt6-base-dev-tools libqt6svg6 libqt6opengl6-dev libgl1-mesa-dev libglx-mesa0
          libgl1-mesa-dri)
case "$profile" in
  build) ;;
  test) packages+=(xvfb xauth poppler-utils) ;;
  ci) packages+=(xvfb xauth poppler-utils clang libclang-rt-14-dev clang-format clang-tidy) ;;
  # The cross-build for Windows and Wine to run its tests (scripts/windows.sh).
  windows) packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 googletest
                     nlohmann-json3-dev) ;;
  *) echo "usage: $0 [build|test|ci|windows]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
